#include "sections/groups.h"

#include <string>

#include "sections/section_rules.h"
#include "sections/statements.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

constexpr int32_t kGroupConditions = EntriesOf(&TableBlock::groups);
constexpr int32_t kGroupsPerCondition = EntriesOf(&GroupCondition::groups);
constexpr int32_t kMembersPerGroup = EntriesOf(&GroupRecord::members);
constexpr char kConditionOverflow[] = "Exceed number of group conditions.\n";
constexpr char kGroupOverflow[] = "Exceed number of groups.\n";

using GroupList = decltype(GroupCondition::groups);
using MemberList = decltype(GroupRecord::members);

void AddGroupCondition(GroupTable& table, int32_t index, std::string_view condition) {
  AddCondition(table, index, kGroupConditions, kConditionOverflow, condition);
}

// The name and the text of a group are stored by two Adds on the same list;
// each empties its own field of the next record.
void AddGroupName(GroupList& groups, int32_t group, std::string_view name) {
  AddEntry(
      groups, group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { PoolAddTo(record.name, name); },
      [](GroupRecord& end) { PoolAddTo(end.name, ""); });
}

void AddGroupText(GroupList& groups, int32_t group, std::string_view text) {
  AddEntry(
      groups, group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { PoolAddTo(record.text, text); },
      [](GroupRecord& end) { PoolAddTo(end.text, ""); });
}

void AddGroupMember(MemberList& members, int32_t member, std::string_view item,
                    std::string_view value, int32_t alternative) {
  AddEntry(
      members, member, kMembersPerGroup, "Exceed number of group members.\n",
      [&](GroupMember& stored) {
        PoolAddTo(stored.item, item);
        PoolAddTo(stored.value, value);
        stored.alternative = alternative;
      },
      [](GroupMember& end) {
        PoolAddTo(end.item, "");
        PoolAddTo(end.value, "");
        end.alternative = 0;
      });
}

// members -> '{' (item ':' value ['|' | ','])+ '}'
// A '|' opens the next alternative. Separators may be left out, and one may
// stand before the '}'.
void ReadMembers(MemberList& members) {
  ExpectText("{");
  int32_t member = 0;
  int32_t alternative = 0;
  do {
    std::string item = TakeWord();
    ExpectText(":");
    AddGroupMember(members, member++, item, PeekWord(), alternative);
    SkipToken();
    if (SkipIf("|")) {
      ++alternative;
    } else {
      SkipIf(",");
    }
  } while (!TokenIs("}"));
  ExpectText("}");
}

// group -> name ':' [text ':'] members keyed statements
void ReadGroup(GroupList& groups, int32_t group) {
  AddGroupName(groups, group, PeekWord());
  SkipToken();
  ExpectText(":");
  if (!TokenIs("{")) {
    AddGroupText(groups, group, Unquote(PeekWord()));
    SkipToken();
    ExpectText(":");
  }
  ReadMembers(groups[group].members);
  ReadGroupStatements(groups[group].statements);
}

// groups -> group+, up to When or '}'
void ReadGroups(GroupList& groups) {
  int32_t group = 0;
  do {
    ReadGroup(groups, group++);
  } while (!TokenIs("When") && !TokenIs("}"));
}

}  // namespace

void ReadGroupBody(GroupTable& table) {
  ReadClauses(AlwaysClause::kStoredAfter, table, AddGroupCondition,
              [&](int32_t index) { ReadGroups(table[index].groups); });
}

void EmptyGroups(GroupTable& table) { AddGroupCondition(table, 0, ""); }

void DumpGroups(const GroupTable& table) {
  for (const GroupCondition& entry : table) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   When: <%s>\n", PoolString(entry.condition));
    for (const GroupRecord& record : entry.groups) {
      if (PoolStringIsEmpty(record.name)) break;
      Dump("      Group Name: <%s>", PoolString(record.name));
      if (!PoolStringIsEmpty(record.text)) {
        Dump(" : <%s>\n", PoolString(record.text));
      } else {
        Dump("\n");
      }
      for (const GroupMember& member : record.members) {
        if (PoolStringIsEmpty(member.item)) break;
        Dump("         <%s> <%s> %d\n", PoolString(member.item), PoolString(member.value),
             member.alternative);
      }
      DumpStatementsByKind(record.statements, StatementFamily::kGroup, 9);
    }
  }
}

}  // namespace qelc
