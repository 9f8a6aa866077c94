#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// TypeConversion { first : second [: third] ; ... }
void SecTypeConversion();

// Row `row` gets the three words (the third may be empty).
void AddTypeConversion(int32_t row, std::string_view first, std::string_view second,
                       std::string_view third);

void DumpTypeConversion();

}  // namespace qelc
