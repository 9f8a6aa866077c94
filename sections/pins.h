#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// Pin { (name ':')+ '{' body '}' ... }: pin groups and the type selections their
// pins allow in each type category, unconditionally or by an if / else chain.
void SecPin();

// Each adder checks its last index, stores its text and ends its list behind it.
// Adding a name to group g also ends the list of groups at group g + 1.
void AddPinName(int32_t group, int32_t index, std::string_view text);
void AddPinCondition(int32_t group, int32_t index, std::string_view text);
void AddPinCategory(int32_t group, int32_t condition, int32_t index, std::string_view text);
void AddPinTypeSelection(int32_t group, int32_t condition, int32_t category, int32_t index,
                         std::string_view text);

void DumpPin();

}  // namespace qelc
