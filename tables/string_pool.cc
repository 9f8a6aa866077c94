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

// The empty slot where `text`, not in the pool yet, is to be recorded, with
// its hash and length filled in; the table grows first when it must.
inline StringPool::Slot& StringPool::NewSlot(std::string_view text, uint32_t hash) {
  MakeRoomForOneMore();
  Slot& slot = FindSlot(text, hash);
  slot.hash = hash;
  slot.length = uint32_t(text.size());
  return slot;
}

// The slot that holds `text`, or null.
inline const StringPool::Slot* StringPool::Find(std::string_view text, uint32_t hash) {
  if (slots_.empty()) return nullptr;
  const Slot& slot = FindSlot(text, hash);
  return slot.ref == kNoString ? nullptr : &slot;
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
    uint32_t hash = HashText(text);
    if (!Find(text, hash)) Record(NewSlot(text, hash), offset);
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
  uint32_t hash = HashText(text);
  if (const Slot* slot = Find(text, hash)) [[likely]]
    return slot->ref;
  return AddNew(text, hash);
}

StringRef StringPool::AddIfRoom(std::string_view text) {
  uint32_t hash = HashText(text);
  if (const Slot* slot = Find(text, hash)) return slot->ref;
  return HasRoomFor(text) ? AddNew(text, hash) : kNoString;
}

StringRef StringPool::AddNew(std::string_view text, uint32_t hash) {
  Slot& slot = NewSlot(text, hash);
  int64_t needed = int64_t(text.size()) + 1;
  if (!HasRoomFor(text)) {
    // Every later text would be refused too: the linter reads no further.
    diagnostics_.GiveUp(Unwind::kSource);
    diagnostics_.Fail("out of space.\n", Stream::kStandardOutput, "string-pool-full",
                      "the string pool of " + std::to_string(capacity_) + " bytes is full");
  }
  StringRef ref = *used_;
  char* stored = base_ + ref;
  // The empty text may have no bytes at all (the end of the input's token).
  if (!text.empty()) std::memcpy(stored, text.data(), text.size());
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
