#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace qelc {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Opens a file for reading; a directory counts as a file that cannot be opened.
FilePtr OpenForReading(const std::string& path);

// Reads a file byte by byte in text mode: a carriage return that stands directly
// before a line feed is dropped, every other byte is handed out as it is.
class TextReader {
 public:
  explicit TextReader(FILE* file) : file_(file) {}
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // The next byte (0 to 255), or EOF at the end of the file.
  int Get() {
    // A byte held back behind a carriage return is looked at afresh: it may be
    // a carriage return that itself stands before a line feed.
    int c = hasPending_ ? pending_ : Raw();
    hasPending_ = false;
    if (c != '\r') return c;
    int next = Raw();
    if (next == '\n') return '\n';
    pending_ = next;
    hasPending_ = true;
    return '\r';
  }

 private:
  int Raw() {
    if (pos_ == len_ && !Fill()) return EOF;
    return buffer_[pos_++];
  }
  bool Fill();

  FILE* file_;
  unsigned char buffer_[1 << 16];
  size_t pos_ = 0;
  size_t len_ = 0;
  int pending_ = EOF;
  bool hasPending_ = false;
};

}  // namespace qelc
