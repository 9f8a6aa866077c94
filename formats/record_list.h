#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "formats/ipb_stream.h"

namespace qelc {

// A record that writes and reads itself (a module with its own lists) rather than
// going to the file as its raw bytes. It names the fewest bytes it can take in a
// file, so that a count read from a file can be checked before records are made.
template <typename T>
concept SelfSerialising = requires(T record, IpbStream& stream) {
  record.Serialise(stream);
  { T::kSmallestEncoding } -> std::convertible_to<size_t>;
};

// A growable list of records of one type, held by value. In an IPB file a list is
// its count prefix followed by its records: a plain record as its raw bytes (its
// 4-byte fields in order), a self-serialising one through its own Serialise.
template <typename T>
class RecordList {
  static_assert(SelfSerialising<T> || std::is_trivially_copyable_v<T>);

 public:
  size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }

  // Adds a copy at the end and returns its index.
  size_t Append(const T& record) {
    records_.push_back(record);
    return records_.size() - 1;
  }
  size_t Append(T&& record) {
    records_.push_back(std::move(record));
    return records_.size() - 1;
  }

  T& At(size_t index) { return records_.at(index); }
  const T& At(size_t index) const { return records_.at(index); }
  const T& Last() const { return records_.back(); }
  const T* Data() const { return records_.data(); }

  // Shrinks to exactly `size` records, or grows with zero-filled (for a module:
  // empty) records.
  void SetSize(size_t size) { records_.resize(size); }

  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

  // Writes the list, or replaces it by the list read from the stream.
  void Serialise(IpbStream& stream) {
    uint32_t count = stream.TransferCount(uint32_t(records_.size()));
    if (!stream.Writing()) {
      stream.CheckRecordsFit(count, SmallestEncoding());
      SetSize(count);
    }
    if constexpr (SelfSerialising<T>) {
      for (T& record : records_) record.Serialise(stream);
    } else if (!records_.empty()) {
      stream.Transfer(records_.data(), records_.size() * sizeof(T));
    }
  }

 private:
  static constexpr size_t SmallestEncoding() {
    if constexpr (SelfSerialising<T>) {
      return T::kSmallestEncoding;
    } else {
      return sizeof(T);
    }
  }

  std::vector<T> records_;
};

}  // namespace qelc
