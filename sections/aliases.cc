#include "sections/aliases.h"

#include <string>

#include "sections/cross_references.h"
#include "sections/section_rules.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

constexpr int32_t kAliasConditions = EntriesOf(&TableBlock::aliases);
constexpr int32_t kAliasRows = EntriesOf(&AliasCondition::rows);
constexpr char kConditionOverflow[] = "Exceed number of alias conditions.\n";

using AliasRows = decltype(AliasCondition::rows);

void AddAlias(ParseState& s, AliasRows& rows, int32_t index, std::string_view alias,
              std::string_view target) {
  AddEntry(
      s, rows, index, kAliasRows, "Exceed number of aliases.\n",
      [&](AliasRow& row) {
        s.pool.AddTo(row.alias, alias);
        s.pool.AddTo(row.target, target);
      },
      [&](AliasRow& next) {
        s.pool.AddTo(next.alias, "");
        s.pool.AddTo(next.target, "");
      });
}

void AddAliasCondition(ParseState& s, AliasTable& table, int32_t index,
                       std::string_view condition) {
  AddCondition(s, table, index, kAliasConditions, kConditionOverflow, condition);
}

// row -> alias ':' target; the alias keeps its quotes, the target loses them.
void ReadAliasRow(ParseState& s, AliasRows& rows, int32_t index) {
  TokenSpan aliasAt = CurrentSpan(s);
  std::string alias = TakeWord(s);
  ExpectText(s, ":");
  TokenSpan targetAt = CurrentSpan(s);
  std::string writtenTarget = TakeWord(s);
  std::string target = Unquote(writtenTarget);
  AddAlias(s, rows, index, alias, target);
  if (Linting(s)) {
    if (NameDefinition* defined = DefinePinName(s, NameKind::kAlias, aliasAt, alias)) {
      defined->target = target;
    }
    UsePinName(s, targetAt, writtenTarget, s.condition);
  }
}

}  // namespace

void ReadAliasBody(ParseState& s, AliasTable& table) {
  // Neither list gets a closing Add: each ends at the empty entry its last Add
  // wrote, or at its capacity when it is full.
  ReadClauses(s, AlwaysClause::kRefused, table, AddAliasCondition, [&](int32_t index) {
    ReadRows(s, [&](int32_t row) { ReadAliasRow(s, table[index].rows, row); });
  });
}

void EmptyAliases(ParseState& s, AliasTable& table) { AddAliasCondition(s, table, 0, ""); }

void DumpAliases(ParseState& s, const AliasTable& table) {
  for (const AliasCondition& entry : table) {
    if (s.pool.IsEmpty(entry.condition)) break;
    s.dump.Put<"   When: <%s>\n">(s.pool.String(entry.condition));
    for (const AliasRow& row : entry.rows) {
      if (s.pool.IsEmpty(row.alias)) break;
      s.dump.Put<"      <%s>:<%s>\n">(s.pool.String(row.alias), s.pool.String(row.target));
    }
  }
}

}  // namespace qelc
