#include "sections/pin_numbers.h"

#include <cstdio>
#include <string>

#include "source/ascii.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kPinNumberConditions = 10;
constexpr int32_t kPinNumberRows = 150;

// row -> package ':' pin [':' third]; the third word marks the row reserved
// (RSV, rsvd, ...), names the pin ('CLK') or is read and ignored.
void ReadPinNumberRow(int32_t conditionIndex, int32_t rowIndex) {
  std::string package = TakeWord();
  ExpectText(":");
  int32_t pinNumber = LeadingDigitsValue(TakeWord(kTokenLimit));
  int32_t reserved = 0;
  std::string name;
  if (TokenIs(":")) {
    ExpectText(":");
    if (StartsWithNoCase(TokenText(), "RSV")) {
      reserved = 1;
      SkipToken();
    } else if (TokenText().starts_with('\'')) {
      name = Unquote(TakeWord());
    } else {
      SkipToken();
    }
  }
  AddPinNumber(conditionIndex, rowIndex, package, pinNumber, reserved, name);
}

}  // namespace

void SecPinNumberByPackage() {
  std::fputs("Parsing Section PinNumberByPackage\n", stdout);
  ExpectText("PinNumberByPackage");
  ExpectText("{");
  int32_t conditionIndex = 0;
  for (; TokenIs("When"); ++conditionIndex) {
    ReadWhen();
    AddPinNumberCondition(conditionIndex, ConditionText());
    int32_t rowIndex = 0;
    ReadPinNumberRow(conditionIndex, rowIndex++);
    while (TokenIs(",")) {
      ExpectText(",");
      ReadPinNumberRow(conditionIndex, rowIndex++);
    }
    // Both lists are closed by an Add of their own, so each keeps one entry fewer
    // than it has room for: part of the file format.
    AddPinNumber(conditionIndex, rowIndex, "", 0, 0, "");
  }
  AddPinNumberCondition(conditionIndex, "");
  ExpectText("}");
  DumpPinNumberByPackage();
}

void AddPinNumberCondition(int32_t index, std::string_view condition) {
  AddEntry(
      Tables().pinNumbers, index, kPinNumberConditions,
      "Exceed number of pin number conditions.\n",
      [&](PinNumberCondition& entry) { PoolAddTo(entry.condition, condition); },
      [](PinNumberCondition& next) { PoolAddTo(next.condition, ""); });
}

void AddPinNumber(int32_t conditionIndex, int32_t rowIndex, std::string_view package,
                  int32_t pinNumber, int32_t reserved, std::string_view name) {
  // The message has no line end: the console output other tools read.
  AddEntry(
      Tables().pinNumbers[conditionIndex].rows, rowIndex, kPinNumberRows,
      "Exceed number of pin numbers.",
      [&](PinNumberRow& row) {
        PoolAddTo(row.package, package);
        row.pinNumber = pinNumber;
        row.reserved = reserved;
        PoolAddTo(row.name, name);
      },
      [](PinNumberRow& next) {
        PoolAddTo(next.package, "");
        next.pinNumber = 0;
        next.reserved = 0;
        PoolAddTo(next.name, "");
      });
}

void DumpPinNumberByPackage() {
  Dump("\nPinNumberByPackage\n");
  for (const PinNumberCondition& entry : Tables().pinNumbers) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("  When: <%6d> <%s>\n", entry.condition, PoolString(entry.condition));
    for (const PinNumberRow& row : entry.rows) {
      if (PoolStringIsEmpty(row.package)) break;
      Dump("    %5d:<%s>:%2d\n", row.pinNumber, PoolString(row.package), row.reserved);
    }
  }
}

}  // namespace qelc
