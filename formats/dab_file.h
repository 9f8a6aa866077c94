#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelc {

// A DAB file held in memory, checked so that every read stays inside it: the
// table block, then exactly the pool's used bytes, every string ending with its
// NUL and every non-zero string reference of the block inside the pool.
class DabFile {
 public:
  // True when `bytes` start with the version text that every DAB file starts with.
  static bool Recognise(std::string_view bytes);

  // Checks `bytes` (which must outlive the result); on a fault returns nothing
  // and says what is wrong in `problem`.
  static std::optional<DabFile> Open(std::string_view bytes, std::string& problem);

  std::string_view Bytes() const { return bytes_; }
  std::string_view Pool() const { return pool_; }

  // The 32-bit little-endian integer at block `offset` (inside the block).
  int32_t Int(size_t offset) const;
  // True when the block bytes [offset, offset + size) are all zero.
  bool Zero(size_t offset, size_t size) const;

  // The text that pool offset `ref` starts, up to its NUL; `ref` was checked,
  // or is 0 (which stands for the empty text even in an empty pool).
  std::string_view StringAt(int32_t ref) const;
  // True when `ref` starts a string of the pool (pool offset 0, or one after a NUL).
  bool StartsString(int32_t ref) const;

 private:
  explicit DabFile(std::string_view bytes);

  std::string_view bytes_;
  std::string_view pool_;
};

}  // namespace qelc
