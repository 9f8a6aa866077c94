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
#include "tables/row_convention.h"

namespace qelc {

struct NumberedTable {
  const char* overflow;
};

// Every row of a table can be used: the row after the last one added ends the
// list with the number -1, and a full table has no such row.
template <size_t Rows>
void AddNumberedRow(const NumberedTable& member, NumberedRow (&table)[Rows], int32_t row,
                    int32_t number, std::string_view text) {
  AddEntry(
      table, row, int32_t(Rows), member.overflow,
      [&](NumberedRow& entry) {
        entry.number = number;
        PoolAddTo(entry.text, text);
      },
      [](NumberedRow& next) {
        next.number = -1;
        PoolAddTo(next.text, "");
      });
}

// body -> (number ':' text [','])*
// Numbers are stored as written: they need not ascend nor differ.
template <size_t Rows>
void ReadListBody(const NumberedTable& member, NumberedRow (&table)[Rows]) {
  for (int32_t row = 0; !TokenIs("}"); ++row) {
    std::string digits = TokenText();
    ExpectKind(kNumberToken);
    ExpectText(":");
    TextPoint at = CurrentToken().start;
    std::string text = Unquote(TakeWord());
    WarnIfEndsList(at, text, "the row's text");
    AddNumberedRow(member, table, row, LeadingDigitsValue(digits), text);
    SkipIf(",");
  }
}

template <size_t Rows>
void EmptyList(const NumberedTable& member, NumberedRow (&table)[Rows]) {
  AddNumberedRow(member, table, 0, 0, "");
}

template <size_t Rows>
void DumpList(const NumberedTable&, const NumberedRow (&table)[Rows]) {
  for (const NumberedRow& row : table) {
    if (PoolStringIsEmpty(row.text)) break;
    Dump("   %4d: <%s>\n", row.number, PoolString(row.text));
  }
}

}  // namespace qelc
