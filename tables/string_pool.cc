#include "tables/string_pool.h"

#include <algorithm>
#include <cstring>

#include "source/ascii.h"

namespace qelc {

namespace {

constexpr StringRef kNoString = -1;

constexpr size_t kFirstSlotCount = 256;

// Reads up to 8 bytes of a text a load at a time, whatever its length: most
// pooled strings are a few characters long and hash in a handful of steps.
uint64_t Load64(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
uint64_t Load32(const char* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

uint64_t Mix(uint64_t hash, uint64_t word) {
  hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
  return hash ^ (hash >> 32);
}

uint32_t Hash(std::string_view text) {
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

}  // namespace

// The slots are a power of two; the multiplication spreads every bit of the
// hash over the slot number.
inline size_t StringPool::HomeSlot(uint32_t hash) const {
  return size_t((uint64_t(hash) * 0x9E3779B97F4A7C15ull) >> 32) & (slots_.size() - 1);
}

// The slot that holds `text`, or the empty slot where it belongs.
inline StringPool::Slot& StringPool::FindSlot(std::string_view text, uint32_t hash) {
  size_t mask = slots_.size() - 1;
  for (size_t i = HomeSlot(hash);; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.ref == kNoString) return slot;
    if (slot.hash == hash && slot.length == text.size() &&
        std::memcmp(base_ + slot.ref, text.data(), text.size()) == 0) {
      return slot;
    }
  }
}

// Keeps the table at most half full once one more string is in it.
inline void StringPool::MakeRoomForOneMore() {
  if (2 * (strings_ + 1) <= slots_.size()) return;
  std::vector<Slot> old(std::max(kFirstSlotCount, 2 * slots_.size()));
  old.swap(slots_);
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.ref == kNoString) continue;
    size_t i = HomeSlot(slot.hash);
    while (slots_[i].ref != kNoString) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

// The slot of `text`: the one that holds it, or the empty one (ref kNoString)
// where it is to be recorded, with its hash and length already filled in.
inline StringPool::Slot& StringPool::SlotFor(std::string_view text) {
  MakeRoomForOneMore();
  uint32_t hash = Hash(text);
  Slot& slot = FindSlot(text, hash);
  slot.hash = hash;
  slot.length = uint32_t(text.size());
  return slot;
}

inline void StringPool::Record(Slot& slot, StringRef ref) {
  slot.ref = ref;
  ++strings_;
}

void StringPool::SetUp(char* base, int32_t* usedSize, int32_t capacity) {
  base_ = base;
  used_ = usedSize;
  capacity_ = capacity;
  slots_.clear();
  strings_ = 0;
  for (int32_t offset = 0; offset < *usedSize;) {
    std::string_view text(base + offset, strnlen(base + offset, size_t(*usedSize - offset)));
    if (Slot& slot = SlotFor(text); slot.ref == kNoString) Record(slot, offset);
    offset += int32_t(text.size()) + 1;
  }
}

void StringPool::Release() {
  base_ = nullptr;
  used_ = nullptr;
  capacity_ = 0;
  slots_ = {};
  strings_ = 0;
}

StringRef StringPool::Add(std::string_view text) {
  Slot& slot = SlotFor(text);
  if (slot.ref != kNoString) return slot.ref;
  int64_t needed = int64_t(text.size()) + 1;
  if (*used_ + needed >= capacity_) {
    // Every later text would be refused too: the linter reads no further.
    diagnostics_.GiveUp(Unwind::kSource);
    diagnostics_.Fail("out of space.\n", Stream::kStandardOutput, "string-pool-full",
                      "the string pool of " + std::to_string(capacity_) + " bytes is full");
  }
  StringRef ref = *used_;
  char* stored = base_ + ref;
  std::memcpy(stored, text.data(), text.size());
  stored[text.size()] = '\0';
  *used_ += int32_t(needed);
  Record(slot, ref);
  return ref;
}

int StringPool::Compare(StringRef ref, std::string_view text) const {
  const char* stored = String(ref);
  size_t i = 0;
  for (;; ++i) {
    int a = static_cast<unsigned char>(FoldCase(stored[i]));
    int b = i < text.size() ? static_cast<unsigned char>(FoldCase(text[i])) : 0;
    if (a != b || a == 0) return a - b;
  }
}

}  // namespace qelc
