#include "sections/pin_numbers.h"

#include <set>
#include <string>
#include <utility>

#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/format.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

constexpr int32_t kPinNumberConditions = EntriesOf(&TableBlock::pinNumbers);
constexpr int32_t kPinNumberRows = EntriesOf(&PinNumberCondition::rows);
constexpr char kConditionOverflow[] = "Exceed number of pin number conditions.\n";

using PinNumberRows = decltype(PinNumberCondition::rows);

const std::string_view kPinNameUnquoted = DeclareWarning(
    "pin-name-unquoted", true,
    "a pin name not in single quotes after a pin number, read and dropped (the pin keeps no "
    "name)");
const std::string_view kPinNumberRepeated = DeclareWarning(
    "pin-number-repeated", true, "the same pin number twice for one package under one condition");

// The linter's record of the package and pin number of each row of one clause.
class SeenPinNumbers {
 public:
  void Note(TextPoint at, const std::string& package, std::string_view pinWord, int32_t pin) {
    if (!Linting()) return;
    if (!IsWholeDecimal(pinWord)) {
      WarnAt(at, kNumberConversionCheck,
             Format("pin number '%.*s' is not stored as written: %d is stored", int(pinWord.size()),
                    pinWord.data(), pin));
    } else if (!seen_.emplace(package, pin).second) {
      WarnAt(at, kPinNumberRepeated,
             Format("pin %d of package %s is given twice under this condition", pin,
                    package.c_str()));
    }
  }

 private:
  std::set<std::pair<std::string, int32_t>> seen_;
};

void AddPinNumber(PinNumberRows& rows, int32_t index, std::string_view package,
                  int32_t pinNumber, int32_t reserved, std::string_view name) {
  // The message has no line end: the console output other tools read.
  AddEntry(
      rows, index, kPinNumberRows, "Exceed number of pin numbers.",
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

// row -> package ':' pin [':' third]; the third word marks the row reserved
// (RSV, rsvd, ...), names the pin ('CLK') or is read and ignored.
void ReadPinNumberRow(PinNumberRows& rows, int32_t index, SeenPinNumbers& seen) {
  std::string package = TakeWord();
  ExpectText(":");
  TextPoint pinAt = CurrentToken().start;
  std::string pinWord = TakeWord(kTokenLimit);
  int32_t pinNumber = LeadingDigitsValue(pinWord);
  seen.Note(pinAt, package, pinWord, pinNumber);
  int32_t reserved = 0;
  std::string name;
  if (SkipIf(":")) {
    if (StartsWithNoCase(TokenText(), "RSV")) {
      reserved = 1;
      SkipToken();
    } else if (TokenText().starts_with('\'')) {
      name = Unquote(TakeWord());
    } else {
      if (Linting()) {
        Warn(kPinNameUnquoted, "the pin name " + QuotedToken() +
                                   " is not in single quotes: it is dropped and the pin has no "
                                   "name");
      }
      SkipToken();
    }
  }
  AddPinNumber(rows, index, package, pinNumber, reserved, name);
}

void AddPinNumberCondition(PinNumberTable& table, int32_t index, std::string_view condition) {
  AddCondition(table, index, kPinNumberConditions, kConditionOverflow, condition);
}

}  // namespace

void ReadPinNumberBody(PinNumberTable& table) {
  // Both lists are closed by an Add of their own, so each keeps one entry fewer
  // than it has room for: part of the file format.
  Clauses clauses =
      ReadClauses(AlwaysClause::kRefused, table, AddPinNumberCondition, [&](int32_t index) {
        PinNumberRows& rows = table[index].rows;
        SeenPinNumbers seen;
        int32_t count = ReadCommaList([&](int32_t row) { ReadPinNumberRow(rows, row, seen); });
        AddPinNumber(rows, count, "", 0, 0, "");
      });
  AddPinNumberCondition(table, clauses.count, "");
}

void EmptyPinNumbers(PinNumberTable& table) { AddPinNumberCondition(table, 0, ""); }

void DumpPinNumbers(const PinNumberTable& table) {
  for (const PinNumberCondition& entry : table) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("  When: <%6d> <%s>\n", entry.condition, PoolString(entry.condition));
    for (const PinNumberRow& row : entry.rows) {
      if (PoolStringIsEmpty(row.package)) break;
      Dump("    %5d:<%s>:%2d\n", row.pinNumber, PoolString(row.package), row.reserved);
    }
  }
}

}  // namespace qelc
