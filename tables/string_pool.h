#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// The byte offset of a string's first character in the current string pool.
using StringRef = int32_t;

// Points the pool at its owner's storage: the buffer, the used-size field that
// the pool updates in place, and the capacity. Strings already in the buffer
// (up to the used size) are found by later adds.
void PoolSetUp(char* base, int32_t* usedSize, int32_t capacity);

// Forgets the current pool; its owner frees the storage.
void PoolRelease();

// The reference of a string equal to `text` (letter case significant), added at
// the end of the pool when there is none. A full pool ends the run.
StringRef PoolAdd(std::string_view text);

// Stores PoolAdd(text) into `destination` and returns it.
StringRef PoolAddTo(StringRef& destination, std::string_view text);

// The NUL-terminated string at `ref`; the reference is trusted.
const char* PoolString(StringRef ref);

// True for a reference to the empty text, which ends the lists of the block.
inline bool PoolStringIsEmpty(StringRef ref) { return *PoolString(ref) == '\0'; }

// Compares the pooled string with `text`, letter case aside, like strcasecmp.
int PoolCompare(StringRef ref, std::string_view text);

}  // namespace qelc
