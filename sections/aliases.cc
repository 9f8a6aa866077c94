#include "sections/aliases.h"

#include <cstdio>
#include <string>

#include "source/condition.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kAliasConditions = 10;
constexpr int32_t kAliasRows = 100;

// row -> alias ':' target; the alias keeps its quotes, the target loses them.
void ReadAliasRow(int32_t conditionIndex, int32_t rowIndex) {
  std::string alias = TakeWord();
  ExpectText(":");
  std::string target = Unquote(TakeWord());
  AddAlias(conditionIndex, rowIndex, alias, target);
}

}  // namespace

void SecAlias() {
  std::fputs("Parsing Section Alias\n", stdout);
  ExpectText("Alias");
  ExpectText("{");
  // Neither list gets a closing Add: each ends at the empty entry its last Add
  // wrote, or at its capacity when it is full.
  for (int32_t conditionIndex = 0; TokenIs("When"); ++conditionIndex) {
    ReadWhen();
    AddAliasCondition(conditionIndex, ConditionText());
    int32_t rowIndex = 0;
    ReadAliasRow(conditionIndex, rowIndex++);
    while (TokenIs(",")) {
      ExpectText(",");
      ReadAliasRow(conditionIndex, rowIndex++);
    }
  }
  ExpectText("}");
  DumpAlias();
}

void AddAliasCondition(int32_t index, std::string_view condition) {
  AddEntry(
      Tables().aliases, index, kAliasConditions, "Exceed number of alias conditions.\n",
      [&](AliasCondition& entry) { PoolAddTo(entry.condition, condition); },
      [](AliasCondition& next) { PoolAddTo(next.condition, ""); });
}

void AddAlias(int32_t conditionIndex, int32_t rowIndex, std::string_view alias,
              std::string_view target) {
  AddEntry(
      Tables().aliases[conditionIndex].rows, rowIndex, kAliasRows, "Exceed number of aliases.\n",
      [&](AliasRow& row) {
        PoolAddTo(row.alias, alias);
        PoolAddTo(row.target, target);
      },
      [](AliasRow& next) {
        PoolAddTo(next.alias, "");
        PoolAddTo(next.target, "");
      });
}

void DumpAlias() {
  Dump("\nAlias\n");
  for (const AliasCondition& entry : Tables().aliases) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   When: <%s>\n", PoolString(entry.condition));
    for (const AliasRow& row : entry.rows) {
      if (PoolStringIsEmpty(row.alias)) break;
      Dump("      <%s>:<%s>\n", PoolString(row.alias), PoolString(row.target));
    }
  }
}

}  // namespace qelc
