#include "tables/string_pool.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "source/ascii.h"
#include "source/fatal.h"

namespace qelc {

namespace {

// Equal strings are stored once; the index maps each stored text to the offset of
// its first copy, which is the offset a walk over the pool from the start would
// find, so references and pool bytes do not depend on the index.
struct Pool {
  char* base = nullptr;
  int32_t* used = nullptr;
  int32_t capacity = 0;
  std::unordered_map<std::string_view, StringRef> index;
};

Pool pool;

}  // namespace

void PoolSetUp(char* base, int32_t* usedSize, int32_t capacity) {
  pool = Pool{base, usedSize, capacity, {}};
  for (int32_t offset = 0; offset < *usedSize;) {
    std::string_view text(base + offset, strnlen(base + offset, size_t(*usedSize - offset)));
    pool.index.emplace(text, offset);
    offset += int32_t(text.size()) + 1;
  }
}

void PoolRelease() { pool = Pool{}; }

StringRef PoolAdd(std::string_view text) {
  if (auto found = pool.index.find(text); found != pool.index.end()) return found->second;
  int64_t needed = int64_t(text.size()) + 1;
  if (*pool.used + needed >= pool.capacity) {
    std::fputs("out of space.\n", stdout);
    ExitRun(1);
  }
  StringRef ref = *pool.used;
  char* stored = pool.base + ref;
  std::memcpy(stored, text.data(), text.size());
  stored[text.size()] = '\0';
  *pool.used += int32_t(needed);
  pool.index.emplace(std::string_view(stored, text.size()), ref);
  return ref;
}

StringRef PoolAddTo(StringRef& destination, std::string_view text) {
  destination = PoolAdd(text);
  return destination;
}

const char* PoolString(StringRef ref) { return pool.base + ref; }

int PoolCompare(StringRef ref, std::string_view text) {
  const char* stored = PoolString(ref);
  size_t i = 0;
  for (;; ++i) {
    int a = static_cast<unsigned char>(FoldCase(stored[i]));
    int b = i < text.size() ? static_cast<unsigned char>(FoldCase(text[i])) : 0;
    if (a != b || a == 0) return a - b;
  }
}

}  // namespace qelc
