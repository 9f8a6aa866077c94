#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>
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

// The storage of a list of plain records: one block that grows by realloc,
// which moves a large block's pages where a vector would copy every record and
// touch twice the memory. The few operations of a vector that RecordList uses.
template <typename T>
class PlainRecords {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  PlainRecords() = default;
  PlainRecords(const PlainRecords& other) { CopyFrom(other); }
  PlainRecords& operator=(const PlainRecords& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  PlainRecords(PlainRecords&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  PlainRecords& operator=(PlainRecords&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  ~PlainRecords() { std::free(data_); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  const T& back() const { return data_[size_ - 1]; }
  T& at(size_t index) { return data_[Checked(index)]; }
  const T& at(size_t index) const { return data_[Checked(index)]; }

  void push_back(const T& record) {
    T copy = record;  // `record` may lie in the block that grows
    if (size_ == capacity_) Reserve(std::max(size_t(1), 2 * capacity_));
    data_[size_++] = copy;
  }

  // Grows with value-initialised records, as a vector does.
  void resize(size_t size) {
    if (size > capacity_) Reserve(size);
    if (size > size_) std::uninitialized_value_construct(data_ + size_, data_ + size);
    size_ = size;
  }

 private:
  size_t Checked(size_t index) const {
    if (index >= size_) throw std::out_of_range("record index");
    return index;
  }
  void Reserve(size_t capacity) {
    void* block = std::realloc(data_, capacity * sizeof(T));
    if (!block) throw std::bad_alloc();
    data_ = static_cast<T*>(block);
    capacity_ = capacity;
  }
  void CopyFrom(const PlainRecords& other) {
    size_ = 0;
    if (other.size_ > capacity_) Reserve(other.size_);
    if (other.size_ > 0) std::copy(other.data_, other.data_ + other.size_, data_);
    size_ = other.size_;
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
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

  std::conditional_t<SelfSerialising<T>, std::vector<T>, PlainRecords<T>> records_;
};

}  // namespace qelc
