#pragma once

#include <string>

namespace qelc {

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qelc
