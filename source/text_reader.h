#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace qelc {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Opens a file for reading; a directory counts as a file that cannot be opened.
FilePtr OpenForReading(const std::string& path);

// Reads a file in text mode: a carriage return that stands directly before a
// line feed is dropped, every other byte is handed out as it is. The file is
// read a block at a time and each block is translated as it arrives, so the
// bytes can be handed out one by one (Get) or as runs straight from the buffer
// (Buffered and Consume).
class TextReader {
 public:
  // `endMark` is written after the buffered bytes each time they are read, so
  // that a scan over them may stop at a byte of its choice rather than test for
  // their end at every step.
  explicit TextReader(FILE* file, char endMark = '\0') : file_(file), endMark_(endMark) {}
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // The next byte (0 to 255), or EOF at the end of the file.
  int Get() {
    if (pos_ == len_ && !Fill()) return EOF;
    return buffer_[pos_++];
  }

  // The translated bytes that are read but not yet handed out, refilled first
  // when there are none; empty at the end of the file. Valid until the next call.
  std::string_view Buffered() {
    if (pos_ == len_) Fill();
    return {reinterpret_cast<const char*>(buffer_ + pos_), len_ - pos_};
  }

  // Hands out the first `count` bytes of Buffered().
  void Consume(size_t count) { pos_ += count; }

 private:
  bool Fill();

  static constexpr size_t kBlockSize = 1 << 16;

  FILE* file_;
  char endMark_;
  unsigned char buffer_[kBlockSize + 1];  // the end mark included
  size_t pos_ = 0;
  size_t len_ = 0;
  // A carriage return that ended the last block: whether it is dropped depends
  // on the first byte of the next one.
  bool heldReturn_ = false;
};

}  // namespace qelc
