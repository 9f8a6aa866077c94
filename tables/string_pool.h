#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/string_ref.h"
#include "source/diagnostics.h"
#include "source/text_hash.h"

namespace qelc {

// NUL-terminated, deduplicated strings in a buffer that its owner holds (the
// table block's pool, or the soft-IP string buffer); records keep offsets into it.
class StringPool {
 public:
  // A full pool is reported through `diagnostics`.
  explicit StringPool(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
  StringPool(const StringPool&) = delete;
  StringPool& operator=(const StringPool&) = delete;

  // Points the pool at its owner's storage: the buffer, the used-size field that
  // the pool updates in place, and the capacity. Strings already in the buffer
  // (up to the used size) are found by later adds.
  void SetUp(char* base, int32_t* usedSize, int32_t capacity);

  // Forgets the storage; its owner frees it.
  void Release();

  // The reference of a string equal to `text` (letter case significant), added at
  // the end of the pool when there is none. A full pool ends the compilation.
  StringRef Add(std::string_view text);

  // The text last added for one field of a run of records, kept by the caller:
  // a field often holds the same text record after record (a port's type, its
  // direction), which is then found without a lookup.
  struct Recent {
    StringRef ref = -1;
    uint32_t length = 0;
  };

  // Add(text), comparing it with `recent` first; `recent` then holds this text.
  // A Recent is good while the pool stays set up on the same storage.
  StringRef AddRecent(Recent& recent, std::string_view text) {
    if (!Holds(recent, text)) recent = {Add(text), uint32_t(text.size())};
    return recent.ref;
  }

  // AddRecent(recent, text) where the pool has room for the text; -1, with
  // nothing said and `recent` as it was, where it has none.
  StringRef AddRecentIfRoom(Recent& recent, std::string_view text) {
    if (Holds(recent, text)) return recent.ref;
    StringRef ref = AddIfRoom(text);
    if (ref >= 0) recent = {ref, uint32_t(text.size())};
    return ref;
  }

  // Stores Add(text) into `destination` and returns it.
  StringRef AddTo(StringRef& destination, std::string_view text) {
    destination = Add(text);
    return destination;
  }

  // The NUL-terminated string at `ref`; the reference is trusted.
  const char* String(StringRef ref) const { return base_ + ref; }

  // True for a reference to the empty text, which ends the lists of the block.
  bool IsEmpty(StringRef ref) const { return *String(ref) == '\0'; }

  // Compares the pooled string with `text`, letter case aside, like strcasecmp.
  int Compare(StringRef ref, std::string_view text) const;

 private:
  // One string of the pool in the index, with its hash and length so that most
  // mismatches are seen without reading the pool.
  struct Slot {
    StringRef ref = -1;
    uint32_t hash = 0;
    uint32_t length = 0;
  };

  // True when `recent` stands for `text`.
  bool Holds(const Recent& recent, std::string_view text) const {
    return recent.ref >= 0 && text.size() == recent.length &&
           SameBytes(base_ + recent.ref, text.data(), text.size());
  }
  // Add(text) where the pool has room for it; else -1, and nothing said.
  StringRef AddIfRoom(std::string_view text);
  bool HasRoomFor(std::string_view text) const {
    return *used_ + int64_t(text.size()) + 1 < capacity_;
  }
  Slot& FindSlot(std::string_view text, uint32_t hash);
  const Slot* Find(std::string_view text, uint32_t hash);
  // Add for a text that is not in the pool yet.
  [[gnu::noinline]] StringRef AddNew(std::string_view text, uint32_t hash);
  void MakeRoomForOneMore();
  Slot& NewSlot(std::string_view text, uint32_t hash);
  void Record(Slot& slot, StringRef ref);

  Diagnostics& diagnostics_;
  char* base_ = nullptr;
  int32_t* used_ = nullptr;
  int32_t capacity_ = 0;
  // Equal strings are stored once. The index finds the offset of a text's first
  // copy, which is the offset a walk over the pool from the start would find, so
  // references and pool bytes do not depend on the index. It is an
  // open-addressing table probed linearly, at most half full, that doubles as
  // strings come.
  std::vector<Slot> slots_;
  size_t strings_ = 0;
};

}  // namespace qelc
