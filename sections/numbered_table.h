#pragma once

// The numbered shape of the information tables: rows of a number and a text.
// Every member runs through the one piece of code below; a member is only the
// data of a NumberedTable.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

struct NumberedTable {
  const char* overflow;
};

// Every row of a table can be used: the row after the last one added ends the
// list with the number -1, and a full table has no such row.
template <size_t Rows>
void AddNumberedRow(ParseState& s, const NumberedTable& member, NumberedRow (&table)[Rows],
                    int32_t row, int32_t number, std::string_view text) {
  AddEntry(
      s, table, row, int32_t(Rows), member.overflow,
      [&](NumberedRow& entry) {
        entry.number = number;
        s.pool.AddTo(entry.text, text);
      },
      [&](NumberedRow& next) {
        next.number = -1;
        s.pool.AddTo(next.text, "");
      });
}

// A row ends at its ',' or where a number opens the next line.
inline ResumeAt AtNextRow(const Parser& p) {
  if (TokenIs(p, ",")) return ResumeAt::kAfter;
  return CurrentTokenKind(p) == kNumberToken && OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo;
}

// body -> (number ':' text [','])*
// Numbers are stored as written: they need not ascend nor differ.
template <size_t Rows>
void ReadListBody(ParseState& s, const NumberedTable& member, NumberedRow (&table)[Rows]) {
  for (int32_t row = 0; !TokenIs(s, "}");) {
    bool read = ReadEntry(s, AtNextRow, [&] {
      std::string digits(TokenText(s));
      ExpectKind(s, kNumberToken);
      ExpectText(s, ":");
      TextPoint at = CurrentToken(s).start;
      std::string text = Unquote(TakeTextValue(s));
      WarnIfEndsList(s, at, text, "the row's text");
      AddNumberedRow(s, member, table, row, LeadingDigitsValue(digits), text);
      SkipIf(s, ",");
    });
    if (read) ++row;
  }
}

template <size_t Rows>
void EmptyList(ParseState& s, const NumberedTable& member, NumberedRow (&table)[Rows]) {
  AddNumberedRow(s, member, table, 0, 0, "");
}

template <size_t Rows>
void DumpList(ParseState& s, const NumberedTable&, const NumberedRow (&table)[Rows]) {
  for (const NumberedRow& row : table) {
    if (s.pool.IsEmpty(row.text)) break;
    s.dump.Print("   %4d: <%s>\n", row.number, s.pool.String(row.text));
  }
}

}  // namespace qelc
