#include "sections/groups.h"

#include <cstdio>

#include "sections/statements.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kGroupConditions = 10;
constexpr int32_t kGroupsPerCondition = 40;
constexpr int32_t kMembersPerGroup = 100;
constexpr char kGroupOverflow[] = "Exceed number of groups.\n";

using GroupList = GroupRecord[kGroupsPerCondition];

GroupList& GroupsOf(int32_t condition) {
  return Tables().groups[condition].groups;
}

// Reads the groups under one condition, at least one, up to When or '}'.
void ReadGroups(int32_t condition) {
  int32_t group = 0;
  do {
    ReadGroup(condition, group++);
  } while (!TokenIs("When") && !TokenIs("}"));
}

}  // namespace

void AddGroupCondition(int32_t index, std::string_view condition) {
  AddEntry(
      Tables().groups, index, kGroupConditions, "Exceed number of group conditions.\n",
      [&](GroupCondition& entry) { PoolAddTo(entry.condition, condition); },
      [](GroupCondition& end) { PoolAddTo(end.condition, ""); });
}

void AddGroupName(int32_t condition, int32_t group, std::string_view name) {
  AddEntry(
      GroupsOf(condition), group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { PoolAddTo(record.name, name); },
      [](GroupRecord& end) { PoolAddTo(end.name, ""); });
}

void AddGroupText(int32_t condition, int32_t group, std::string_view text) {
  AddEntry(
      GroupsOf(condition), group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { PoolAddTo(record.text, text); },
      [](GroupRecord& end) { PoolAddTo(end.text, ""); });
}

void AddGroupMember(int32_t condition, int32_t group, int32_t member, std::string_view item,
                    std::string_view value, int32_t alternative) {
  AddEntry(
      GroupsOf(condition)[group].members, member, kMembersPerGroup,
      "Exceed number of group members.\n",
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

void SecGroup() {
  std::fputs("Parsing Section Group\n", stdout);
  ExpectText("Group");
  ExpectText("{");
  int32_t condition = 0;
  if (TokenIs("Always")) {
    ExpectText("Always");
    ExpectText(":");
    AddGroupCondition(0, "1");
    ReadGroups(0);
    condition = 1;
  }
  while (TokenIs("When")) {
    ReadWhen();
    AddGroupCondition(condition, ConditionText());
    ReadGroups(condition++);
  }
  ExpectText("}");
  DumpGroups();
}

void ReadGroup(int32_t condition, int32_t group) {
  CurrentGroupIndex() = group;

  CheckTextLength(TokenText(), kStoredTextLimit);
  AddGroupName(condition, group, TokenText());
  SkipToken();
  ExpectText(":");

  if (!TokenIs("{")) {
    CheckTextLength(TokenText(), kStoredTextLimit);
    AddGroupText(condition, group, Unquote(TokenText()));
    SkipToken();
    ExpectText(":");
  }

  ExpectText("{");
  int32_t member = 0;
  int32_t alternative = 0;
  do {
    std::string item = TakeWord();
    ExpectText(":");
    CheckTextLength(TokenText(), kStoredTextLimit);
    AddGroupMember(condition, group, member++, item, TokenText(), alternative);
    SkipToken();
    // Separators may be left out, and one may stand before the '}'.
    if (TokenIs("|")) {
      ExpectText("|");
      ++alternative;
    } else if (TokenIs(",")) {
      ExpectText(",");
    }
  } while (!TokenIs("}"));
  ExpectText("}");

  int32_t statements = 0;
  ReadKeyedStatements(condition, statements, kGroupKinds);
}

void DumpGroups() {
  static constexpr const char* kTypeNames[] = {"Always", "Decl", "Equation"};
  Dump("\nGroup\n");
  for (const GroupCondition& entry : Tables().groups) {
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
      DumpStatementsByKind(record.statements, kTypeNames, 9);
    }
  }
}

}  // namespace qelc
