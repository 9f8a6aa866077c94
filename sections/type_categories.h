#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// TypeCategory { name = 'value' ... }
void SecTypeCategory();

void AddTypeCategory(int32_t index, std::string_view name, std::string_view value);

// The index of the first type category named `text` (letter case aside), or -1.
// The scan ends at the first empty entry, which is never compared, so the empty
// text names no category.
int32_t FindTypeCategory(std::string_view text);

void DumpTypeCategory();

}  // namespace qelc
