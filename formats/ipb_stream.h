#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace qelc {

// A read that would run past the end of an IPB file, or a size that the file
// cannot hold: the file is short or malformed. `reason` says which, for readers
// that explain it.
struct CorruptIpb {
  const char* reason;
};

// An IPB file as a stream of bytes in one direction. Writing and reading both go
// through a 64 KiB buffer; the same serialisation code serves both directions,
// so the file is read back in exactly the order it was written.
class IpbStream {
 public:
  static constexpr size_t kBufferSize = 1 << 16;

  enum class Direction { kWrite, kRead };

  // The stream does not own `file`. For reading, the file is measured once so that
  // no read and no count can run past its end.
  IpbStream(FILE* file, Direction direction);
  // Reads the IPB file held in `bytes`, which must outlive the stream.
  explicit IpbStream(std::string_view bytes);
  IpbStream(const IpbStream&) = delete;
  IpbStream& operator=(const IpbStream&) = delete;

  bool Writing() const { return direction_ == Direction::kWrite; }

  // Writes `size` bytes of `data`, or reads `size` bytes over it. A read past the
  // end of the file throws CorruptIpb.
  void Transfer(void* data, size_t size);

  // A list's count prefix: below 0xFFFF two bytes (an unsigned 16-bit count),
  // otherwise FF FF and the count as an unsigned 32-bit integer. Writes `count`
  // and returns it, or reads and returns the count in the file.
  uint32_t TransferCount(uint32_t count);

  // Reading: throws CorruptIpb unless `count` records of at least
  // `bytesPerRecord` bytes each fit in what is left of the file.
  void CheckRecordsFit(uint32_t count, size_t bytesPerRecord) const;

  // Reading: true once a count below 0xFFFF came in the long form, which the
  // writer never uses; the count is read all the same.
  bool SawLongFormOfSmallCount() const { return longFormOfSmallCount_; }

  // Reading: the bytes of the file not yet read.
  uint64_t Unread() const { return unread_; }

  // Writing: writes out what the buffer holds. False when any write of this
  // stream has failed.
  bool Flush();

 private:
  void Write(const void* data, size_t size);
  void Read(void* data, size_t size);

  FILE* file_ = nullptr;
  const char* memory_ = nullptr;  // reading from memory: the next byte
  Direction direction_;
  unsigned char buffer_[kBufferSize];
  size_t bufferUsed_ = 0;  // writing: bytes waiting; reading: bytes held
  size_t bufferPos_ = 0;   // reading: next byte to hand out
  uint64_t unread_ = 0;    // reading: bytes of the file not yet handed out
  bool failed_ = false;
  bool longFormOfSmallCount_ = false;
};

}  // namespace qelc
