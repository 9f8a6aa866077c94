#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// Extensions { 'first' : second ... }
void SecExtensions();

// Stores both texts without their quotes as extension `index`.
void AddExtension(int32_t index, std::string_view first, std::string_view second);

void DumpExtensions();

}  // namespace qelc
