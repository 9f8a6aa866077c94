#include "sections/pin_numbers.h"

#include <set>
#include <string>
#include <utility>

#include "sections/checks.h"
#include "sections/cross_references.h"
#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/format.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

constexpr int32_t kPinNumberConditions = EntriesOf(&TableBlock::pinNumbers);
constexpr int32_t kPinNumberRows = EntriesOf(&PinNumberCondition::rows);
constexpr char kConditionOverflow[] = "Exceed number of pin number conditions.\n";

using PinNumberRows = decltype(PinNumberCondition::rows);

}  // namespace

const WarningCheck kPinNameUnquoted{
    "pin-name-unquoted", true,
    "a pin name not in single quotes after a pin number, read and dropped (the pin keeps no "
    "name)"};
const WarningCheck kPinNumberRepeated{
    "pin-number-repeated", true, "the same pin number twice for one package under one condition"};

namespace {

// The linter's record of the package and pin number of each row of one clause.
class SeenPinNumbers {
 public:
  void Note(ParseState& s, TextPoint at, const std::string& package, std::string_view pinWord,
            int32_t pin) {
    if (!Linting(s)) return;
    if (!IsWholeDecimal(pinWord)) {
      WarnAt(s, at, kNumberConversionCheck,
             Format("pin number '%.*s' is not stored as written: %d is stored", int(pinWord.size()),
                    pinWord.data(), pin));
    } else if (!seen_.emplace(package, pin).second) {
      WarnAt(
          s, at, kPinNumberRepeated,
          Format("pin %d of package %s is given twice under this condition", pin, package.c_str()));
    }
  }

 private:
  std::set<std::pair<std::string, int32_t>> seen_;
};

void AddPinNumber(ParseState& s, PinNumberRows& rows, int32_t index, std::string_view package,
                  int32_t pinNumber, int32_t reserved, std::string_view name) {
  // The message has no line end: the console output other tools read.
  AddEntry(
      s, rows, index, kPinNumberRows, "Exceed number of pin numbers.",
      [&](PinNumberRow& row) {
        s.pool.AddTo(row.package, package);
        row.pinNumber = pinNumber;
        row.reserved = reserved;
        s.pool.AddTo(row.name, name);
      },
      [&](PinNumberRow& next) {
        s.pool.AddTo(next.package, "");
        next.pinNumber = 0;
        next.reserved = 0;
        s.pool.AddTo(next.name, "");
      });
}

// row -> package ':' pin [':' third]; the third word marks the row reserved
// (RSV, rsvd, ...), names the pin ('CLK') or is read and ignored.
void ReadPinNumberRow(ParseState& s, PinNumberRows& rows, int32_t index, SeenPinNumbers& seen,
                      PackageClause& clause) {
  TextPoint packageAt = CurrentToken(s).start;
  std::string package = TakeWord(s);
  ExpectText(s, ":");
  TextPoint pinAt = CurrentToken(s).start;
  std::string pinWord = TakeWord(s, kTokenLimit);
  int32_t pinNumber = LeadingDigitsValue(pinWord);
  seen.Note(s, pinAt, package, pinWord, pinNumber);
  int32_t reserved = 0;
  std::string name;
  std::string writtenName;
  TokenSpan nameAt{pinAt, pinAt};
  if (SkipIf(s, ":")) {
    nameAt = CurrentSpan(s);
    if (StartsWithNoCase(TokenText(s), "RSV")) {
      reserved = 1;
      SkipToken(s);
    } else if (TokenText(s).starts_with('\'')) {
      writtenName = TakeWord(s);
      name = Unquote(writtenName);
    } else {
      if (Linting(s)) {
        Warn(s, kPinNameUnquoted,
             "the pin name " + QuotedToken(s) +
                 " is not in single quotes: it is dropped and the pin has no "
                 "name");
      }
      SkipToken(s);
    }
  }
  AddPinNumber(s, rows, index, package, pinNumber, reserved, name);
  if (Linting(s)) clause.NoteRow(s, packageAt, package, pinAt, pinNumber, nameAt, writtenName);
}

void AddPinNumberCondition(ParseState& s, PinNumberTable& table, int32_t index,
                           std::string_view condition) {
  AddCondition(s, table, index, kPinNumberConditions, kConditionOverflow, condition);
}

}  // namespace

void ReadPinNumberBody(ParseState& s, PinNumberTable& table) {
  // Both lists are closed by an Add of their own, so each keeps one entry fewer
  // than it has room for: part of the file format.
  Clauses clauses =
      ReadClauses(s, AlwaysClause::kRefused, table, AddPinNumberCondition, [&](int32_t index) {
        PinNumberRows& rows = table[index].rows;
        SeenPinNumbers seen;
        PackageClause clause(s);
        int32_t count =
            ReadRows(s, [&](int32_t row) { ReadPinNumberRow(s, rows, row, seen, clause); });
        AddPinNumber(s, rows, count, "", 0, 0, "");
      });
  AddPinNumberCondition(s, table, clauses.count, "");
}

void EmptyPinNumbers(ParseState& s, PinNumberTable& table) {
  AddPinNumberCondition(s, table, 0, "");
}

void DumpPinNumbers(ParseState& s, const PinNumberTable& table) {
  for (const PinNumberCondition& entry : table) {
    if (s.pool.IsEmpty(entry.condition)) break;
    s.dump.Put<"  When: <%6d> <%s>\n">(entry.condition, s.pool.String(entry.condition));
    for (const PinNumberRow& row : entry.rows) {
      if (s.pool.IsEmpty(row.package)) break;
      s.dump.Put<"    %5d:<%s>:%2d\n">(row.pinNumber, s.pool.String(row.package), row.reserved);
    }
  }
}

}  // namespace qelc
