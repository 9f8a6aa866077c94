#include "sections/type_conversion.h"

#include <string>

#include "source/expect.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeConversionLimit = EntriesOf(&TableBlock::typeConversions);

// Row `row` gets the three words (the third may be empty).
void AddTypeConversion(ParseState& s, TypeConversionTable& table, int32_t row,
                       std::string_view first, std::string_view second, std::string_view third) {
  // The message without a line end is the console output other tools read.
  AddEntry(
      s, table, row, kTypeConversionLimit, "Exceed number of pin type conversion.",
      [&](TypeConversionRow& entry) {
        s.pool.AddTo(entry.first, first);
        s.pool.AddTo(entry.second, second);
        s.pool.AddTo(entry.third, third);
      },
      [&](TypeConversionRow& entry) {
        s.pool.AddTo(entry.first, "");
        s.pool.AddTo(entry.second, "");
        s.pool.AddTo(entry.third, "");
      });
}

// conversion -> word ':' word [':' word] ';'
void ReadConversion(ParseState& s, TypeConversionTable& table, int32_t row) {
  std::string first = TakeWord(s);
  ExpectText(s, ":");
  std::string second = TakeWord(s);
  std::string third;
  if (SkipIf(s, ":")) third = TakeWord(s);
  AddTypeConversion(s, table, row, first, second, third);
  ExpectText(s, ";");
}

}  // namespace

void ReadTypeConversionBody(ParseState& s, TypeConversionTable& table) {
  for (int32_t row = 0; !TokenIs(s, "}");) {
    if (ReadEntry(s, AfterSeparator<';'>, [&] { ReadConversion(s, table, row); })) ++row;
  }
}

void EmptyTypeConversions(ParseState& s, TypeConversionTable& table) {
  AddTypeConversion(s, table, 0, "", "", "");
}

void DumpTypeConversions(ParseState& s, const TypeConversionTable& table) {
  for (const TypeConversionRow& row : table) {
    if (s.pool.IsEmpty(row.first)) break;
    s.dump.Put<"   <%s>:<%s>:<%s>\n">(s.pool.String(row.first), s.pool.String(row.second),
                                      s.pool.String(row.third));
  }
}

}  // namespace qelc
