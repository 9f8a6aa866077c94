#include "sections/aliases.h"

#include <string>

#include "sections/section_rules.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

constexpr int32_t kAliasConditions = EntriesOf(&TableBlock::aliases);
constexpr int32_t kAliasRows = EntriesOf(&AliasCondition::rows);
constexpr char kConditionOverflow[] = "Exceed number of alias conditions.\n";

using AliasRows = decltype(AliasCondition::rows);

void AddAlias(AliasRows& rows, int32_t index, std::string_view alias, std::string_view target) {
  AddEntry(
      rows, index, kAliasRows, "Exceed number of aliases.\n",
      [&](AliasRow& row) {
        PoolAddTo(row.alias, alias);
        PoolAddTo(row.target, target);
      },
      [](AliasRow& next) {
        PoolAddTo(next.alias, "");
        PoolAddTo(next.target, "");
      });
}

void AddAliasCondition(AliasTable& table, int32_t index, std::string_view condition) {
  AddCondition(table, index, kAliasConditions, kConditionOverflow, condition);
}

// row -> alias ':' target; the alias keeps its quotes, the target loses them.
void ReadAliasRow(AliasRows& rows, int32_t index) {
  std::string alias = TakeWord();
  ExpectText(":");
  std::string target = Unquote(TakeWord());
  AddAlias(rows, index, alias, target);
}

}  // namespace

void ReadAliasBody(AliasTable& table) {
  // Neither list gets a closing Add: each ends at the empty entry its last Add
  // wrote, or at its capacity when it is full.
  ReadClauses(AlwaysClause::kRefused, table, AddAliasCondition, [&](int32_t index) {
    ReadCommaList([&](int32_t row) { ReadAliasRow(table[index].rows, row); });
  });
}

void EmptyAliases(AliasTable& table) { AddAliasCondition(table, 0, ""); }

void DumpAliases(const AliasTable& table) {
  for (const AliasCondition& entry : table) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   When: <%s>\n", PoolString(entry.condition));
    for (const AliasRow& row : entry.rows) {
      if (PoolStringIsEmpty(row.alias)) break;
      Dump("      <%s>:<%s>\n", PoolString(row.alias), PoolString(row.target));
    }
  }
}

}  // namespace qelc
