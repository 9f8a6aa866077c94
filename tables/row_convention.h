#pragma once

#include <cstddef>
#include <cstdint>

#include "source/fatal.h"

namespace qelc {

// Stores entry `index` of a table list the way every list of the block is kept:
// the index is checked against `limit` first (at the limit `overflow` ends the
// run), then `write` fills the entry, and when entry index + 1 lies inside the
// list `clear` makes it the empty entry that ends the list.
template <typename Entry, size_t N, typename Write, typename Clear>
Entry& AddEntry(Parser& p, Entry (&list)[N], int32_t index, int32_t limit, const char* overflow,
                Write&& write, Clear&& clear) {
  static_assert(N > 0);
  if (index < 0 || index >= limit || size_t(index) >= N) Overflow(p, overflow);
  write(list[index]);
  if (size_t(index) + 1 < N) clear(list[index + 1]);
  return list[index];
}

}  // namespace qelc
