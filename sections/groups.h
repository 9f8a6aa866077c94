#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// section -> 'Group' '{' ['Always' ':' group+] ('When' condition ':' group+)* '}'
void SecGroup();

// group -> name ':' [text ':'] '{' member+ '}' keyed statements
// Reads group `group` of condition entry `condition` and makes it the current
// group index first, so that its statements land in its record.
void ReadGroup(int32_t condition, int32_t group);

// Each stores its fields and empties the same fields of the next entry of its
// list. `condition` and `group` have been accepted by AddGroupCondition and
// AddGroupName.
void AddGroupCondition(int32_t index, std::string_view condition);
void AddGroupName(int32_t condition, int32_t group, std::string_view name);
void AddGroupText(int32_t condition, int32_t group, std::string_view text);
void AddGroupMember(int32_t condition, int32_t group, int32_t member, std::string_view item,
                    std::string_view value, int32_t alternative);

void DumpGroups();

}  // namespace qelc
