#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// section -> 'OutputSyntax' '{' output syntax* '}'
// output syntax -> (name ':')+ '{' statements in their fixed order '}'
void SecOutputSyntax();

// Stores the name of record `index` and empties the name of the next record.
void AddOutputSyntax(int32_t index, std::string_view name);

void DumpOutputSyntax();

}  // namespace qelc
