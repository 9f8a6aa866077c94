#pragma once

// The rules that the section bodies share: the clause list of the conditional
// sections, the comma-separated list, and the condition entry that opens each
// clause's part of a table.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "source/condition.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"
#include "tables/string_pool.h"

namespace qelc {

// The linter's warning for a text stored empty where an empty text ends its
// list: every reader stops there, so the entry and all after it are lost. `at`
// is where the text was written, `what` names it ("the When condition").
void WarnIfEndsList(ParseState& s, TextPoint at, std::string_view stored, std::string_view what);

// A word or text that no rule around a list or a clause reads as its own (not
// a delimiter, a clause keyword or a section keyword): it may open an entry.
bool MayOpenEntry(const ParseState& s);

// While linting, a list that ends at the current token with no ',' before it:
// a token that may open an entry of its own (a word or a text, not a keyword of
// the section nor a section keyword) is noted as following a missing ','.
void NoteMissingComma(ParseState& s);

enum class AlwaysClause {
  kRefused,      // no `Always` clause: the word is left for the caller
  kStoredFirst,  // the condition "1" is stored before 'Always' ':' is read
  kStoredAfter,  // the condition "1" is stored once the ':' has been read
};

// While linting, a body that read no clause and stops at an entry (or at a
// '{', which opens a memory map): the entry lacks the clause it must stand under.
void NoteMissingClause(ParseState& s, AlwaysClause always);

struct Clauses {
  int32_t count;  // the clauses read: the index of the entry behind the last one
  bool sawWhen;   // at least one `When` clause was read
};

// clauses -> ['Always' ':' body] ('When' condition ':' body)*
// Each clause is one condition entry, numbered from 0; `Always` stands for the
// condition "1". `addCondition(index, text)` stores a clause's condition and
// `readBody(index)` reads the body behind it. Where an `Always` clause stores its
// condition decides which error a full string pool with a missing ':' reports, so
// each section keeps its own order.
template <typename AddCondition, typename ReadBody>
Clauses ReadClauses(ParseState& s, AlwaysClause always, AddCondition&& addCondition,
                    ReadBody&& readBody) {
  // A clause that fails (its condition, most often) is skipped whole by the
  // linter; the next clause takes its index.
  int32_t index = 0;
  if (always != AlwaysClause::kRefused && TokenIs(s, kAlwaysWord)) {
    bool read = ReadEntry(s, AtWhen, [&] {
      if (always == AlwaysClause::kStoredFirst) addCondition(index, "1");
      // The linter reads the condition of what the clause holds: none.
      if (Linting(s)) s.condition.clear();
      ExpectText(s, kAlwaysWord);
      ExpectText(s, ":");
      if (always == AlwaysClause::kStoredAfter) addCondition(index, "1");
      readBody(index);
    });
    if (read) ++index;
  }
  bool sawWhen = false;
  while (TokenIs(s, kWhenWord)) {
    bool read = ReadEntry(s, AtWhen, [&] {
      TextPoint clause = CurrentToken(s).start;
      ReadWhen(s);
      WarnIfEndsList(s, clause, s.condition, "the When condition");
      addCondition(index, s.condition);
      readBody(index);
    });
    if (read) ++index;
    sawWhen = true;
  }
  if (index == 0 && Linting(s)) NoteMissingClause(s, always);
  return {index, sawWhen};
}

// The same for a section that stores a clause's condition in `table` with
// `addCondition(s, table, index, text)`.
template <typename Table, typename ReadBody>
Clauses ReadClauses(ParseState& s, AlwaysClause always, Table& table,
                    void (*addCondition)(ParseState&, Table&, int32_t, std::string_view),
                    ReadBody&& readBody) {
  return ReadClauses(
      s, always,
      [&](int32_t index, std::string_view condition) { addCondition(s, table, index, condition); },
      readBody);
}

// list -> item (',' item)*
// `readItem(index)` reads item `index`; returns the number of items read. After
// an item that fails the linter resumes where `resume` says (by default at the
// next ',' or 'When'; see Recovering for `endsWithItsBrace`), and the next item
// takes the failed one's index.
template <typename ReadItem, typename Resume = ResumeAt (*)(const Parser&)>
int32_t ReadCommaList(ParseState& s, ReadItem&& readItem, Resume resume = AtCommaOrWhen,
                      bool endsWithItsBrace = false) {
  int32_t index = 0;
  do {
    if (ReadEntry(
            s, resume, [&] { readItem(index); }, endsWithItsBrace))
      ++index;
  } while (SkipIf(s, ","));
  if (Linting(s)) NoteMissingComma(s);
  return index;
}

// While the linter recovers: the current token opens its line after a list that
// ended without its ',' where only 'When' or the section's '}' may follow (the
// rows of a clause). Reports the missing ',' at the end of the entry before, as
// the section would report it, and returns true: the token starts the next row.
bool MissingCommaBeforeRow(ParseState& s);

// rows -> row (',' row)*, the rows of a clause; `readRow(index)` reads row
// `index`. The linter reads on over a missing ',' between two lines' rows.
template <typename ReadRow>
int32_t ReadRows(ParseState& s, ReadRow&& readRow) {
  int32_t count = 0;
  do {
    count += ReadCommaList(s, [&](int32_t row) { readRow(count + row); });
  } while (MissingCommaBeforeRow(s));
  return count;
}

// Stores the condition of entry `index`; the condition of the next entry becomes
// the empty text that ends the list, and the rest of that entry stays as it is.
template <typename Entry, size_t N>
void AddCondition(ParseState& s, Entry (&table)[N], int32_t index, int32_t limit,
                  const char* overflow, std::string_view condition) {
  AddEntry(
      s, table, index, limit, overflow,
      [&](Entry& entry) { s.pool.AddTo(entry.condition, condition); },
      [&](Entry& next) { s.pool.AddTo(next.condition, ""); });
}

}  // namespace qelc
