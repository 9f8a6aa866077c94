#include "tables/dump_stream.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace qelc {

// Hands the waiting text to the file; a failed write shows in ferror.
void DumpStream::WritePending() {
  std::fwrite(pending_.get(), 1, pendingSize_, file_.get());
  pendingSize_ = 0;
}

// printf onto the stream. The conversions that the dumps use by far the most,
// %s and %d with at most a width, are written here with the same bytes:
// vfprintf would spend most of a large dump's time on them. From the first
// other conversion on, vfprintf writes the rest of the format with the
// arguments that are left.
//
// The text goes straight into the waiting buffer a byte at a time: the pieces
// of a dump line are short, and a test for the end of the buffer per byte costs
// less than measuring each piece first. The place written is kept in a local,
// so that it stays in a register.
void DumpStream::PutFormatted(const char* format, va_list args) {
  char* const begin = pending_.get();
  char* const end = begin + kPendingSize;
  char* out = begin + pendingSize_;
  auto put = [&](char c) {
    if (out == end) [[unlikely]] {
      pendingSize_ = kPendingSize;
      WritePending();
      out = begin;
    }
    *out++ = c;
  };
  auto putPadded = [&](std::string_view text, int width) {
    for (size_t i = text.size(); i < size_t(width); ++i) put(' ');
    for (char c : text) put(c);
  };
  for (const char* p = format; *p;) {
    if (*p != '%') {
      put(*p++);
      continue;
    }
    const char* conversion = p++;
    if (*p == '%') {
      put(*p++);
      continue;
    }
    int width = 0;
    if (*p >= '1' && *p <= '9') {
      while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
    }
    if (*p == 's') {
      const char* text = va_arg(args, const char*);
      if (!text) text = "(null)";
      if (width > 0) {
        putPadded(text, width);
      } else {
        while (*text) put(*text++);
      }
    } else if (*p == 'd') {
      char digits[16];
      char* digitsEnd = std::to_chars(digits, digits + sizeof digits, va_arg(args, int)).ptr;
      putPadded(std::string_view(digits, size_t(digitsEnd - digits)), width);
    } else {
      pendingSize_ = size_t(out - begin);
      WritePending();
      std::vfprintf(file_.get(), conversion, args);
      return;
    }
    ++p;
  }
  pendingSize_ = size_t(out - begin);
}

void DumpStream::PutBytesAfterWriting(const char* bytes, size_t size) {
  WritePending();
  if (size < kPendingSize) {
    std::memcpy(pending_.get(), bytes, size);
    pendingSize_ = size;
  } else {
    std::fwrite(bytes, 1, size, file_.get());
  }
}

void DumpStream::Open(FilePtr file, std::string path) {
  Drop();
  file_ = std::move(file);
  path_ = std::move(path);
  if (!pending_) pending_ = std::make_unique<char[]>(kPendingSize);
}

void DumpStream::Print(const char* format, ...) {
  if (!file_) return;
  va_list args;
  va_start(args, format);
  PutFormatted(format, args);
  va_end(args);
}

void DumpStream::Flush() {
  if (!file_) return;
  WritePending();
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0)
    diagnostics_.WriteFailed(path_);
}

void DumpStream::Close() {
  if (!file_) return;
  WritePending();
  bool failed = std::ferror(file_.get()) != 0;
  failed = std::fclose(file_.release()) != 0 || failed;
  if (failed) diagnostics_.WriteFailed(path_);
}

void DumpStream::Drop() {
  if (!file_) return;
  WritePending();
  file_.reset();
}

}  // namespace qelc
