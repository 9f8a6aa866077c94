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
#include "source/token_stream.h"
#include "tables/row_convention.h"
#include "tables/string_pool.h"

namespace qelc {

// The linter's warning for a text stored empty where an empty text ends its
// list: every reader stops there, so the entry and all after it are lost. `at`
// is where the text was written, `what` names it ("the When condition").
void WarnIfEndsList(TextPoint at, std::string_view stored, std::string_view what);

enum class AlwaysClause {
  kRefused,      // no `Always` clause: the word is left for the caller
  kStoredFirst,  // the condition "1" is stored before 'Always' ':' is read
  kStoredAfter,  // the condition "1" is stored once the ':' has been read
};

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
Clauses ReadClauses(AlwaysClause always, AddCondition&& addCondition, ReadBody&& readBody) {
  int32_t index = 0;
  if (always != AlwaysClause::kRefused && TokenIs("Always")) {
    if (always == AlwaysClause::kStoredFirst) addCondition(index, "1");
    ExpectText("Always");
    ExpectText(":");
    if (always == AlwaysClause::kStoredAfter) addCondition(index, "1");
    readBody(index++);
  }
  bool sawWhen = false;
  while (TokenIs("When")) {
    TextPoint clause = CurrentToken().start;
    ReadWhen();
    WarnIfEndsList(clause, ConditionText(), "the When condition");
    addCondition(index, ConditionText());
    readBody(index++);
    sawWhen = true;
  }
  return {index, sawWhen};
}

// The same for a section that stores a clause's condition in `table` with
// `addCondition(table, index, text)`.
template <typename Table, typename ReadBody>
Clauses ReadClauses(AlwaysClause always, Table& table,
                    void (*addCondition)(Table&, int32_t, std::string_view), ReadBody&& readBody) {
  return ReadClauses(
      always,
      [&](int32_t index, std::string_view condition) { addCondition(table, index, condition); },
      readBody);
}

// list -> item (',' item)*
// `readItem(index)` reads item `index`; returns the number of items read.
template <typename ReadItem>
int32_t ReadCommaList(ReadItem&& readItem) {
  int32_t index = 0;
  do {
    readItem(index++);
  } while (SkipIf(","));
  return index;
}

// Stores the condition of entry `index`; the condition of the next entry becomes
// the empty text that ends the list, and the rest of that entry stays as it is.
template <typename Entry, size_t N>
void AddCondition(Entry (&table)[N], int32_t index, int32_t limit, const char* overflow,
                  std::string_view condition) {
  AddEntry(
      table, index, limit, overflow, [&](Entry& entry) { PoolAddTo(entry.condition, condition); },
      [](Entry& next) { PoolAddTo(next.condition, ""); });
}

}  // namespace qelc
