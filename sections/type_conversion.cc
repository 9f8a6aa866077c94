#include "sections/type_conversion.h"

#include <cstdio>
#include <string>

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kTypeConversionLimit = 50;

// conversion -> word ':' word [':' word] ';'
void ReadConversion(int32_t row) {
  std::string first = TakeWord();
  ExpectText(":");
  std::string second = TakeWord();
  std::string third;
  if (TokenIs(":")) {
    ExpectText(":");
    third = TakeWord();
  }
  AddTypeConversion(row, first, second, third);
  ExpectText(";");
}

}  // namespace

// TypeConversion -> 'TypeConversion' '{' conversion* '}'
void SecTypeConversion() {
  std::fputs("Parsing Section TypeConversion\n", stdout);
  ExpectText("TypeConversion");
  ExpectText("{");
  for (int32_t row = 0; !TokenIs("}"); ++row) ReadConversion(row);
  ExpectText("}");
  DumpTypeConversion();
}

void AddTypeConversion(int32_t row, std::string_view first, std::string_view second,
                       std::string_view third) {
  // The message without a line end is the console output other tools read.
  AddEntry(
      Tables().typeConversions, row, kTypeConversionLimit, "Exceed number of pin type conversion.",
      [&](TypeConversionRow& entry) {
        PoolAddTo(entry.first, first);
        PoolAddTo(entry.second, second);
        PoolAddTo(entry.third, third);
      },
      [](TypeConversionRow& entry) {
        PoolAddTo(entry.first, "");
        PoolAddTo(entry.second, "");
        PoolAddTo(entry.third, "");
      });
}

void DumpTypeConversion() {
  // No empty line before this heading, unlike every other dump: part of the Out.txt format.
  Dump("TypeConversion\n");
  for (const TypeConversionRow& row : Tables().typeConversions) {
    if (PoolStringIsEmpty(row.first)) break;
    Dump("   <%s>:<%s>:<%s>\n", PoolString(row.first), PoolString(row.second),
         PoolString(row.third));
  }
}

}  // namespace qelc
