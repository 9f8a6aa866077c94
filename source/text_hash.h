#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace qelc {

namespace text_hash_detail {

inline uint64_t Load64(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
inline uint64_t Load32(const char* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
inline uint64_t Mix(uint64_t hash, uint64_t word) {
  hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
  return hash ^ (hash >> 32);
}

}  // namespace text_hash_detail

// A hash of a text for the open-addressing tables (the string pool's index, the
// defines). It reads 8 bytes a load whatever the length: most texts hashed are
// a few characters long and hash in a handful of steps.
inline uint32_t HashText(std::string_view text) {
  using namespace text_hash_detail;
  const char* p = text.data();
  size_t n = text.size();
  uint64_t hash = 0x9E3779B97F4A7C15ull ^ n;
  for (; n > 8; p += 8, n -= 8) hash = Mix(hash, Load64(p));
  // The last 1 to 8 bytes, read as two loads that may overlap (the length is
  // in the hash already).
  uint64_t tail = 0;
  if (n >= 4) {
    tail = (Load32(p) << 32) | Load32(p + n - 4);
  } else if (n > 0) {
    auto byte = [p](size_t i) { return uint64_t(static_cast<unsigned char>(p[i])); };
    tail = (byte(0) << 16) | (byte(n / 2) << 8) | byte(n - 1);
  }
  return uint32_t(Mix(hash, tail));
}

// True when the `size` bytes at `a` and at `b` are the same: the texts of a
// table that share a hash, compared by a few loads where they are short
// rather than by a call.
inline bool SameBytes(const char* a, const char* b, size_t size) {
  using namespace text_hash_detail;
  if (size > 16) return std::memcmp(a, b, size) == 0;
  if (size >= 8) return Load64(a) == Load64(b) && Load64(a + size - 8) == Load64(b + size - 8);
  if (size >= 4) return Load32(a) == Load32(b) && Load32(a + size - 4) == Load32(b + size - 4);
  // 1 to 3 bytes: the first, the middle and the last are all of them.
  return size == 0 || (a[0] == b[0] && a[size / 2] == b[size / 2] && a[size - 1] == b[size - 1]);
}

// The slot of `hash` in a table of `slots` slots (a power of two): the
// multiplication spreads every bit of the hash over the slot number.
inline size_t HomeSlot(uint32_t hash, size_t slots) {
  return size_t((uint64_t(hash) * 0x9E3779B97F4A7C15ull) >> 32) & (slots - 1);
}

}  // namespace qelc
