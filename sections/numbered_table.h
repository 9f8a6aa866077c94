#pragma once

// The numbered shape of the information tables: a section of rows, each a number
// and a text. Every member runs through the one piece of code below; a member is
// only the data of a NumberedTable.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {

// `Rows` rows: the size of the member's table. Every row can be used: the row
// after the last one added ends the list with the number -1, and a full table
// has no such row.
template <size_t Rows>
struct NumberedTable {
  NumberedRow (TableBlock::*table)[Rows];
  const char* keyword;
  const char* progressMessage;
  const char* dumpHeading;
  const char* overflow;
};

template <size_t Rows>
void AddNumberedRow(const NumberedTable<Rows>& table, int32_t row, int32_t number,
                    std::string_view text) {
  AddEntry(
      Tables().*table.table, row, int32_t(Rows), table.overflow,
      [&](NumberedRow& entry) {
        entry.number = number;
        PoolAddTo(entry.text, text);
      },
      [](NumberedRow& next) {
        next.number = -1;
        PoolAddTo(next.text, "");
      });
}

template <size_t Rows>
void DumpNumberedTable(const NumberedTable<Rows>& table) {
  Dump("%s", table.dumpHeading);
  for (const NumberedRow& row : Tables().*table.table) {
    if (PoolStringIsEmpty(row.text)) break;
    Dump("   %4d: <%s>\n", row.number, PoolString(row.text));
  }
}

// section -> keyword '{' (number ':' text [','])* '}'
// Numbers are stored as written: they need not ascend nor differ.
template <size_t Rows>
void ParseNumberedTable(const NumberedTable<Rows>& table) {
  std::fputs(table.progressMessage, stdout);
  int32_t row = 0;
  ExpectText(table.keyword);
  ExpectText("{");
  while (!TokenIs("}")) {
    std::string digits = TokenText();
    ExpectKind(kNumberToken);
    ExpectText(":");
    std::string text = Unquote(TakeWord());
    AddNumberedRow(table, row, LeadingDigitsValue(digits), text);
    ++row;
    if (TokenIs(",")) ExpectText(",");
  }
  ExpectText("}");
  DumpNumberedTable(table);
}

}  // namespace qelc
