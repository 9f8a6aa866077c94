#include "sections/type_conversion.h"

#include <string>

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeConversionLimit = EntriesOf(&TableBlock::typeConversions);

// Row `row` gets the three words (the third may be empty).
void AddTypeConversion(TypeConversionTable& table, int32_t row, std::string_view first,
                       std::string_view second, std::string_view third) {
  // The message without a line end is the console output other tools read.
  AddEntry(
      table, row, kTypeConversionLimit, "Exceed number of pin type conversion.",
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

// conversion -> word ':' word [':' word] ';'
void ReadConversion(TypeConversionTable& table, int32_t row) {
  std::string first = TakeWord();
  ExpectText(":");
  std::string second = TakeWord();
  std::string third;
  if (SkipIf(":")) third = TakeWord();
  AddTypeConversion(table, row, first, second, third);
  ExpectText(";");
}

}  // namespace

void ReadTypeConversionBody(TypeConversionTable& table) {
  for (int32_t row = 0; !TokenIs("}"); ++row) ReadConversion(table, row);
}

void EmptyTypeConversions(TypeConversionTable& table) { AddTypeConversion(table, 0, "", "", ""); }

void DumpTypeConversions(const TypeConversionTable& table) {
  for (const TypeConversionRow& row : table) {
    if (PoolStringIsEmpty(row.first)) break;
    Dump("   <%s>:<%s>:<%s>\n", PoolString(row.first), PoolString(row.second),
         PoolString(row.third));
  }
}

}  // namespace qelc
