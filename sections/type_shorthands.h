#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// TypeShortHand { code : name [: qualifier, ...] = 'value' ... }
void SecTypeShortHand();

// An empty entry has code -1.
void AddTypeShortHand(int32_t index, int32_t code, std::string_view qualifiers,
                      std::string_view name, std::string_view value);

void DumpTypeShortHand();

}  // namespace qelc
