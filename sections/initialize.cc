#include "sections/initialize.h"

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

constexpr int32_t kInitializeConditions = 50;
constexpr int32_t kInitializeRows = 80;

void SetDefaults(InitializeRow& row, std::string_view pin) {
  PoolAddTo(row.pin, pin);
  PoolAddTo(row.signal, "");
  row.changeable = 1;
  row.reserved = 0;
  PoolAddTo(row.reservedName, "");
  PoolAddTo(row.displayName, "");
}

// line -> target '=' value [':' mark] ';'
void ReadInitializeLine(int32_t conditionIndex) {
  std::string target = TakeWord();
  ExpectText("=");
  std::string value = TakeWord();
  int32_t reserveMark = 0;
  if (TokenIs(":")) {
    ExpectText(":");
    reserveMark = StartsWithNoCase(TokenText(), "RSV") ? 1 : 0;
    SkipToken();
  }
  ExpectText(";");
  SetInitializeAttribute(conditionIndex, target, value, reserveMark);
}

}  // namespace

void SecInitialize() {
  std::fputs("Parsing Section Initialize\n", stdout);
  ExpectText("Initialize");
  ExpectText("{");
  for (int32_t conditionIndex = 0; TokenIs("When"); ++conditionIndex) {
    ReadWhen();
    AddInitializeCondition(conditionIndex, ConditionText());
    do {
      ReadInitializeLine(conditionIndex);
    } while (!TokenIs("When") && !TokenIs("}"));
  }
  ExpectText("}");
  DumpInitialize();
}

void AddInitializeCondition(int32_t index, std::string_view condition) {
  AddEntry(
      Tables().initialize, index, kInitializeConditions,
      "Exceed number of initialize conditions.\n",
      [&](InitializeCondition& entry) {
        PoolAddTo(entry.condition, condition);
        SetDefaults(entry.rows[0], "");
      },
      [](InitializeCondition& next) { PoolAddTo(next.condition, ""); });
}

int32_t FindOrAddInitializeRow(int32_t conditionIndex, std::string_view pin) {
  InitializeRow (&rows)[kInitializeRows] = Tables().initialize[conditionIndex].rows;
  int32_t index = 0;
  while (index < kInitializeRows && !PoolStringIsEmpty(rows[index].pin) &&
         PoolCompare(rows[index].pin, pin) != 0) {
    ++index;
  }
  // The scan stopped at the pin's row, at the first empty row or after the last
  // row. An empty pin name takes the first empty row as its own and leaves it as
  // it is.
  if (index < kInitializeRows && PoolCompare(rows[index].pin, pin) == 0) return index;
  AddEntry(
      rows, index, kInitializeRows, "Exceed number of initializes.\n",
      [&](InitializeRow& row) { SetDefaults(row, pin); },
      [](InitializeRow& next) { SetDefaults(next, ""); });
  return index;
}

void SetInitializeAttribute(int32_t conditionIndex, std::string_view target,
                            std::string_view value, int32_t reserveMark) {
  size_t dot = target.find('.');
  if (dot == std::string_view::npos) return;
  std::string_view attribute = target.substr(dot + 1);
  // The row exists from here on, whatever the attribute.
  InitializeRow& row =
      Tables().initialize[conditionIndex].rows[FindOrAddInitializeRow(conditionIndex,
                                                                       target.substr(0, dot))];
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
  }
}

void DumpInitialize() {
  // Two blanks before the parenthesis: part of the dump's format.
  Dump("\nInitialize  ([xx] is not part of DAF)\n");
  for (int32_t index = 0; index < kInitializeConditions; ++index) {
    const InitializeCondition& entry = Tables().initialize[index];
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
