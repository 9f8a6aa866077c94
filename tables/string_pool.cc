#include "tables/string_pool.h"

#include <algorithm>
#include <cstring>

#include "source/ascii.h"
#include "source/text_hash.h"

namespace qelc {

namespace {

constexpr StringRef kNoString = -1;

constexpr size_t kFirstSlotCount = 256;

}  // namespace

// The slot that holds `text`, or the empty slot where it belongs.
[[gnu::always_inline]] inline StringPool::Slot& StringPool::FindSlot(std::string_view text,
                                                                     uint32_t hash) {
  size_t mask = slots_.size() - 1;
  for (size_t i = HomeSlot(hash, slots_.size());; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.ref == kNoString) return slot;
    if (slot.hash == hash && slot.length == text.size() &&
        SameBytes(base_ + slot.ref, text.data(), text.size())) {
      return slot;
    }
  }
}

// Doubles the table (or makes the first one) when one more string would fill
// it more than half.
inline void StringPool::MakeRoomForOneMore() {
  if (2 * (strings_ + 1) <= slots_.size()) return;
  std::vector<Slot> old(std::max(kFirstSlotCount, 2 * slots_.size()));
  old.swap(slots_);
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.ref == kNoString) continue;
    size_t i = HomeSlot(slot.hash, slots_.size());
    while (slots_[i].ref != kNoString) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

// The slot of `text`: the one that holds it, or the empty one (ref kNoString)
// where it is to be recorded, with its hash and length filled in. Most texts
// are found, so the table is looked at first and grown only for a new one.
inline StringPool::Slot& StringPool::SlotFor(std::string_view text) {
  uint32_t hash = HashText(text);
  Slot* slot = slots_.empty() ? nullptr : &FindSlot(text, hash);
  if (slot && slot->ref != kNoString) return *slot;
  if (2 * (strings_ + 1) > slots_.size()) {
    MakeRoomForOneMore();
    slot = &FindSlot(text, hash);
  }
  slot->hash = hash;
  slot->length = uint32_t(text.size());
  return *slot;
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

// Most texts are in the pool already: the lookup is all of their cost, and
// the rest of adding one is out of its way.
StringRef StringPool::Add(std::string_view text) {
  if (!slots_.empty()) [[likely]] {
    const Slot& slot = FindSlot(text, HashText(text));
    if (slot.ref != kNoString) return slot.ref;
  }
  return AddNew(text);
}

StringRef StringPool::AddNew(std::string_view text) {
  Slot& slot = SlotFor(text);
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
