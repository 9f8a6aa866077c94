#include "sections/initialize.h"

#include <string>

#include "sections/section_rules.h"
#include "source/ascii.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

constexpr int32_t kInitializeConditions = EntriesOf(&TableBlock::initialize);
constexpr int32_t kInitializeRows = EntriesOf(&InitializeCondition::rows);

using InitializeRows = decltype(InitializeCondition::rows);

const std::string_view kInitializeAttribute = DeclareWarning(
    "initialize-attribute", true,
    "an Initialize line whose target is no pin.attribute the section knows, so its value is "
    "dropped");

void SetDefaults(InitializeRow& row, std::string_view pin) {
  PoolAddTo(row.pin, pin);
  PoolAddTo(row.signal, "");
  row.changeable = 1;
  row.reserved = 0;
  PoolAddTo(row.reservedName, "");
  PoolAddTo(row.displayName, "");
}

// Stores the condition of entry `index` and gives its row 0 the defaults with an
// empty pin, so the entry's row list starts again; the condition of entry
// index + 1 becomes the empty text that ends the list.
void AddInitializeCondition(InitializeTable& table, int32_t index, std::string_view condition) {
  AddEntry(
      table, index, kInitializeConditions, "Exceed number of initialize conditions.\n",
      [&](InitializeCondition& entry) {
        PoolAddTo(entry.condition, condition);
        SetDefaults(entry.rows[0], "");
      },
      [](InitializeCondition& next) { PoolAddTo(next.condition, ""); });
}

// The row of `pin` (letter case aside): the existing one, or the first empty row,
// which then gets the pin and the defaults.
InitializeRow& FindOrAddRow(InitializeRows& rows, std::string_view pin) {
  int32_t index = 0;
  while (index < kInitializeRows && !PoolStringIsEmpty(rows[index].pin) &&
         PoolCompare(rows[index].pin, pin) != 0) {
    ++index;
  }
  // The scan stopped at the pin's row, at the first empty row or after the last
  // row. An empty pin name takes the first empty row as its own and leaves it as
  // it is.
  if (index < kInitializeRows && PoolCompare(rows[index].pin, pin) == 0) return rows[index];
  return AddEntry(
      rows, index, kInitializeRows, "Exceed number of initializes.\n",
      [&](InitializeRow& row) { SetDefaults(row, pin); },
      [](InitializeRow& next) { SetDefaults(next, ""); });
}

// Applies one line: `target` is pin.attribute, `value` the word after '=' and
// `reserveMark` 1 when the line carried an RSV mark. A target without a dot
// changes nothing. Returns whether an attribute took the value.
bool SetAttribute(InitializeRows& rows, std::string_view target, std::string_view value,
                  int32_t reserveMark) {
  size_t dot = target.find('.');
  if (dot == std::string_view::npos) return false;
  std::string_view attribute = target.substr(dot + 1);
  // The row exists from here on, whatever the attribute.
  InitializeRow& row = FindOrAddRow(rows, target.substr(0, dot));
  std::string text = Unquote(value);
  if (EqualsNoCase(attribute, "name")) {
    PoolAddTo(row.signal, text);
    row.reserved = reserveMark;
  } else if (EqualsNoCase(attribute, "nchange") || EqualsNoCase(attribute, "PinEdit")) {
    row.changeable = LeadingDigitsValue(text);
  } else if (EqualsNoCase(attribute, "reserve")) {
    PoolAddTo(row.reservedName, text);
    row.reserved = 1;
  } else if (EqualsNoCase(attribute, "displayname")) {
    PoolAddTo(row.displayName, text);
  } else {
    return false;
  }
  return true;
}

// line -> target '=' value [':' mark] ';'
void ReadInitializeLine(InitializeRows& rows) {
  TextPoint at = CurrentToken().start;
  std::string target = TakeWord();
  ExpectText("=");
  std::string value = TakeWord();
  int32_t reserveMark = 0;
  if (SkipIf(":")) {
    reserveMark = StartsWithNoCase(TokenText(), "RSV") ? 1 : 0;
    SkipToken();
  }
  ExpectText(";");
  bool applied = SetAttribute(rows, target, value, reserveMark);
  if (!Linting()) return;
  if (!applied) {
    WarnAt(at, kInitializeAttribute,
           "'" + target + "' sets no attribute (pin.name, .nchange, .PinEdit, .reserve or "
           ".displayname): the value " + value + " is dropped");
  } else {
    WarnIfEndsList(at, std::string_view(target).substr(0, target.find('.')), "the pin name");
  }
}

}  // namespace

void ReadInitializeBody(InitializeTable& table) {
  ReadClauses(AlwaysClause::kRefused, table, AddInitializeCondition, [&](int32_t index) {
    do {
      ReadInitializeLine(table[index].rows);
    } while (!TokenIs("When") && !TokenIs("}"));
  });
}

void EmptyInitialize(InitializeTable& table) { AddInitializeCondition(table, 0, ""); }

void DumpInitialize(const InitializeTable& table) {
  for (int32_t index = 0; index < kInitializeConditions; ++index) {
    const InitializeCondition& entry = table[index];
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   [%02d] When: <%s>\n", index, PoolString(entry.condition));
    for (const InitializeRow& row : entry.rows) {
      if (PoolStringIsEmpty(row.pin)) break;
      Dump("      Pin: <%s> Sig: <%s> Changable: %d iReserved: %d Reserved Name <%s> "
           "Display Name <%s>\n",
           PoolString(row.pin), PoolString(row.signal), row.changeable, row.reserved,
           PoolString(row.reservedName), PoolString(row.displayName));
    }
  }
}

}  // namespace qelc
