#include "formats/ipb_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qelc {

// Integers and records go to the file as their in-memory bytes, and the IPB
// file is little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr uint16_t kLongCountMark = 0xFFFF;

uint64_t FileSize(FILE* file) {
  long start = std::ftell(file);
  if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, start, SEEK_SET);
  return end > start ? uint64_t(end - start) : 0;
}

}  // namespace

IpbStream::IpbStream(FILE* file, Direction direction) : file_(file), direction_(direction) {
  if (!Writing()) unread_ = FileSize(file);
}

IpbStream::IpbStream(std::string_view bytes)
    : memory_(bytes.data()), direction_(Direction::kRead), unread_(bytes.size()) {}

void IpbStream::Transfer(void* data, size_t size) {
  if (Writing()) {
    Write(data, size);
  } else {
    Read(data, size);
  }
}

uint32_t IpbStream::TransferCount(uint32_t count) {
  if (Writing()) {
    if (count < kLongCountMark) {
      uint16_t shortCount = uint16_t(count);
      Write(&shortCount, sizeof shortCount);
    } else {
      Write(&kLongCountMark, sizeof kLongCountMark);
      Write(&count, sizeof count);
    }
    return count;
  }
  uint16_t shortCount = 0;
  Read(&shortCount, sizeof shortCount);
  if (shortCount != kLongCountMark) return shortCount;
  Read(&count, sizeof count);
  if (count < kLongCountMark) longFormOfSmallCount_ = true;
  return count;
}

void IpbStream::CheckRecordsFit(uint32_t count, size_t bytesPerRecord) const {
  if (uint64_t(count) * bytesPerRecord > unread_) {
    throw CorruptIpb{"a list holds more records than the rest of the file"};
  }
}

bool IpbStream::Flush() {
  if (bufferUsed_ > 0 && std::fwrite(buffer_, 1, bufferUsed_, file_) != bufferUsed_) {
    failed_ = true;
  }
  bufferUsed_ = 0;
  return !failed_;
}

void IpbStream::Write(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    if (bufferUsed_ == kBufferSize) Flush();
    size_t piece = std::min(size, kBufferSize - bufferUsed_);
    std::memcpy(buffer_ + bufferUsed_, bytes, piece);
    bufferUsed_ += piece;
    bytes += piece;
    size -= piece;
  }
}

void IpbStream::Read(void* data, size_t size) {
  if (size > unread_) throw CorruptIpb{"the file ends too early"};
  unsigned char* bytes = static_cast<unsigned char*>(data);
  if (memory_) {
    std::memcpy(bytes, memory_, size);
    memory_ += size;
    unread_ -= size;
    return;
  }
  while (size > 0) {
    if (bufferPos_ == bufferUsed_) {
      bufferUsed_ = std::fread(buffer_, 1, kBufferSize, file_);
      bufferPos_ = 0;
      // The file was shorter than it measured: it changed under us.
      if (bufferUsed_ == 0) throw CorruptIpb{"the file ends too early"};
    }
    size_t piece = std::min(size, bufferUsed_ - bufferPos_);
    std::memcpy(bytes, buffer_ + bufferPos_, piece);
    bufferPos_ += piece;
    unread_ -= piece;
    bytes += piece;
    size -= piece;
  }
}

}  // namespace qelc
