#pragma once

#include <cstdint>

namespace qelc {

// A text in a DAB or IPB file: the byte offset of its first character in the
// file's string pool, where it ends at its NUL byte.
using StringRef = int32_t;

}  // namespace qelc
