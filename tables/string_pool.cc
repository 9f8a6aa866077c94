#include "tables/string_pool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "source/ascii.h"
#include "source/fatal.h"

namespace qelc {

namespace {

constexpr StringRef kNoString = -1;

// One string of the pool in the index, with its hash and length so that most
// mismatches are seen without reading the pool.
struct Slot {
  StringRef ref = kNoString;
  uint32_t hash = 0;
  uint32_t length = 0;
};

// Equal strings are stored once. The index finds the offset of a text's first
// copy, which is the offset a walk over the pool from the start would find, so
// references and pool bytes do not depend on the index. It is an open-addressing
// table probed linearly, at most half full, that doubles as strings come.
struct Pool {
  char* base = nullptr;
  int32_t* used = nullptr;
  int32_t capacity = 0;
  std::vector<Slot> slots;
  size_t strings = 0;
};

Pool pool;

constexpr size_t kFirstSlotCount = 256;

// FNV-1a: short texts, which most pooled strings are, hash in a few steps.
uint32_t Hash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

// The slots are a power of two; the multiplication spreads every bit of the
// hash over the slot number.
size_t HomeSlot(uint32_t hash) {
  return size_t((uint64_t(hash) * 0x9E3779B97F4A7C15ull) >> 32) & (pool.slots.size() - 1);
}

// The slot that holds `text`, or the empty slot where it belongs.
Slot& FindSlot(std::string_view text, uint32_t hash) {
  size_t mask = pool.slots.size() - 1;
  for (size_t i = HomeSlot(hash);; i = (i + 1) & mask) {
    Slot& slot = pool.slots[i];
    if (slot.ref == kNoString) return slot;
    if (slot.hash == hash && slot.length == text.size() &&
        std::memcmp(pool.base + slot.ref, text.data(), text.size()) == 0) {
      return slot;
    }
  }
}

// Keeps the table at most half full once one more string is in it.
void MakeRoomForOneMore() {
  if (2 * (pool.strings + 1) <= pool.slots.size()) return;
  std::vector<Slot> old(std::max(kFirstSlotCount, 2 * pool.slots.size()));
  old.swap(pool.slots);
  size_t mask = pool.slots.size() - 1;
  for (const Slot& slot : old) {
    if (slot.ref == kNoString) continue;
    size_t i = HomeSlot(slot.hash);
    while (pool.slots[i].ref != kNoString) i = (i + 1) & mask;
    pool.slots[i] = slot;
  }
}

// The slot of `text`: the one that holds it, or the empty one (ref kNoString)
// where it is to be recorded, with its hash and length already filled in.
Slot& SlotFor(std::string_view text) {
  MakeRoomForOneMore();
  uint32_t hash = Hash(text);
  Slot& slot = FindSlot(text, hash);
  slot.hash = hash;
  slot.length = uint32_t(text.size());
  return slot;
}

void Record(Slot& slot, StringRef ref) {
  slot.ref = ref;
  ++pool.strings;
}

}  // namespace

void PoolSetUp(char* base, int32_t* usedSize, int32_t capacity) {
  pool = Pool{base, usedSize, capacity, {}, 0};
  for (int32_t offset = 0; offset < *usedSize;) {
    std::string_view text(base + offset, strnlen(base + offset, size_t(*usedSize - offset)));
    if (Slot& slot = SlotFor(text); slot.ref == kNoString) Record(slot, offset);
    offset += int32_t(text.size()) + 1;
  }
}

void PoolRelease() { pool = Pool{}; }

StringRef PoolAdd(std::string_view text) {
  Slot& slot = SlotFor(text);
  if (slot.ref != kNoString) return slot.ref;
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
  Record(slot, ref);
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
