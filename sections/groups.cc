#include "sections/groups.h"

#include <string>

#include "sections/cross_references.h"
#include "sections/section_rules.h"
#include "sections/statements.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

constexpr int32_t kGroupConditions = EntriesOf(&TableBlock::groups);
constexpr int32_t kGroupsPerCondition = EntriesOf(&GroupCondition::groups);
constexpr int32_t kMembersPerGroup = EntriesOf(&GroupRecord::members);
constexpr char kConditionOverflow[] = "Exceed number of group conditions.\n";
constexpr char kGroupOverflow[] = "Exceed number of groups.\n";

using GroupList = decltype(GroupCondition::groups);
using MemberList = decltype(GroupRecord::members);

void AddGroupCondition(ParseState& s, GroupTable& table, int32_t index,
                       std::string_view condition) {
  AddCondition(s, table, index, kGroupConditions, kConditionOverflow, condition);
}

// The name and the text of a group are stored by two Adds on the same list;
// each empties its own field of the next record.
void AddGroupName(ParseState& s, GroupList& groups, int32_t group, std::string_view name) {
  AddEntry(
      s, groups, group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { s.pool.AddTo(record.name, name); },
      [&](GroupRecord& end) { s.pool.AddTo(end.name, ""); });
}

void AddGroupText(ParseState& s, GroupList& groups, int32_t group, std::string_view text) {
  AddEntry(
      s, groups, group, kGroupsPerCondition, kGroupOverflow,
      [&](GroupRecord& record) { s.pool.AddTo(record.text, text); },
      [&](GroupRecord& end) { s.pool.AddTo(end.text, ""); });
}

void AddGroupMember(ParseState& s, MemberList& members, int32_t member, std::string_view item,
                    std::string_view value, int32_t alternative) {
  AddEntry(
      s, members, member, kMembersPerGroup, "Exceed number of group members.\n",
      [&](GroupMember& stored) {
        s.pool.AddTo(stored.item, item);
        s.pool.AddTo(stored.value, value);
        stored.alternative = alternative;
      },
      [&](GroupMember& end) {
        s.pool.AddTo(end.item, "");
        s.pool.AddTo(end.value, "");
        end.alternative = 0;
      });
}

// A member ends at its '|' or ',', or where a word opens the next line; a
// 'When' there ends the members.
ResumeAt AtNextMember(const Parser& p) {
  if (TokenIs(p, "|") || TokenIs(p, ",")) return ResumeAt::kAfter;
  ResumeAt when = WhenEndsList(p);
  return when != ResumeAt::kNo ? when : AtWordOpeningLine(p);
}

// members -> '{' (item ':' value ['|' | ','])+ '}'
// A '|' opens the next alternative. Separators may be left out, and one may
// stand before the '}'.
void ReadMembers(ParseState& s, MemberList& members) {
  ExpectText(s, "{");
  int32_t member = 0;
  int32_t alternative = 0;
  do {
    ReadEntry(s, AtNextMember, [&] {
      TokenSpan itemAt = CurrentSpan(s);
      std::string item = TakeWord(s);
      if (Linting(s)) UsePinName(s, itemAt, item, s.condition);
      ExpectText(s, ":");
      AddGroupMember(s, members, member++, item, PeekWord(s), alternative);
      SkipToken(s);
      if (SkipIf(s, "|")) {
        ++alternative;
      } else {
        SkipIf(s, ",");
      }
    });
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
}

// group -> name ':' [text ':'] members keyed statements
void ReadGroup(ParseState& s, GroupList& groups, int32_t group) {
  if (s.facts) s.facts->Define(NameKind::kGroup, CurrentSpan(s), TokenText(s));
  AddGroupName(s, groups, group, PeekWord(s));
  SkipToken(s);
  ExpectText(s, ":");
  if (!TokenIs(s, "{")) {
    AddGroupText(s, groups, group, Unquote(PeekWord(s)));
    SkipTextValue(s);
    ExpectText(s, ":");
  }
  ReadMembers(s, groups[group].members);
  ReadGroupStatements(s, groups[group].statements);
}

// A group ends at the next clause, or at a word that opens a line and no
// statement: the next group's name.
ResumeAt AtNextGroup(const Parser& p) {
  if (TokenIs(p, kWhenWord)) return OpensLine(p) ? ResumeAt::kEndsList : ResumeAt::kBefore;
  return OpensStatement(p) ? ResumeAt::kNo : AtWordOpeningLine(p);
}

// groups -> group+, up to When or '}'
void ReadGroups(ParseState& s, GroupList& groups) {
  int32_t group = 0;
  do {
    if (ReadEntry(s, AtNextGroup, [&] { ReadGroup(s, groups, group); })) ++group;
  } while (!TokenIs(s, kWhenWord) && !TokenIs(s, "}"));
}

}  // namespace

void ReadGroupBody(ParseState& s, GroupTable& table) {
  ReadClauses(s, AlwaysClause::kStoredAfter, table, AddGroupCondition,
              [&](int32_t index) { ReadGroups(s, table[index].groups); });
}

void EmptyGroups(ParseState& s, GroupTable& table) { AddGroupCondition(s, table, 0, ""); }

void DumpGroups(ParseState& s, const GroupTable& table) {
  for (const GroupCondition& entry : table) {
    if (s.pool.IsEmpty(entry.condition)) break;
    s.dump.Put<"   When: <%s>\n">(s.pool.String(entry.condition));
    for (const GroupRecord& record : entry.groups) {
      if (s.pool.IsEmpty(record.name)) break;
      s.dump.Put<"      Group Name: <%s>">(s.pool.String(record.name));
      if (!s.pool.IsEmpty(record.text)) {
        s.dump.Put<" : <%s>\n">(s.pool.String(record.text));
      } else {
        s.dump.Put<"\n">();
      }
      for (const GroupMember& member : record.members) {
        if (s.pool.IsEmpty(member.item)) break;
        s.dump.Put<"         <%s> <%s> %d\n">(s.pool.String(member.item),
                                              s.pool.String(member.value), member.alternative);
      }
      DumpStatementsByKind(s, record.statements, StatementFamily::kGroup, 9);
    }
  }
}

}  // namespace qelc
