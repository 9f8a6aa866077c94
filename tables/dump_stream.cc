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

void DumpStream::Put(char c) {
  if (pendingSize_ == kPendingSize) WritePending();
  pending_.get()[pendingSize_++] = c;
}

void DumpStream::Put(std::string_view text) {
  if (text.size() > kPendingSize - pendingSize_) {
    WritePending();
    if (text.size() > kPendingSize) {
      std::fwrite(text.data(), 1, text.size(), file_.get());
      return;
    }
  }
  std::memcpy(pending_.get() + pendingSize_, text.data(), text.size());
  pendingSize_ += text.size();
}

// Right-aligned in `width` characters, as printf pads.
void DumpStream::PutPadded(std::string_view text, int width) {
  for (size_t i = text.size(); i < size_t(width); ++i) Put(' ');
  Put(text);
}

// printf onto the stream. The conversions that the dumps use by far the most,
// %s and %d with at most a width, are written here with the same bytes:
// vfprintf would spend most of a large dump's time on them. From the first
// other conversion on, vfprintf writes the rest of the format with the
// arguments that are left.
void DumpStream::PutFormatted(const char* format, va_list args) {
  for (const char* p = format; *p;) {
    if (*p != '%') {
      const char* text = p;
      while (*p && *p != '%') ++p;
      Put(std::string_view(text, size_t(p - text)));
      continue;
    }
    const char* conversion = p++;
    if (*p == '%') {
      Put(*p++);
      continue;
    }
    int width = 0;
    if (*p >= '1' && *p <= '9') {
      while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
    }
    if (*p == 's') {
      const char* text = va_arg(args, const char*);
      PutPadded(text ? text : "(null)", width);
    } else if (*p == 'd') {
      char digits[16];
      char* end = std::to_chars(digits, digits + sizeof digits, va_arg(args, int)).ptr;
      PutPadded(std::string_view(digits, size_t(end - digits)), width);
    } else {
      WritePending();
      std::vfprintf(file_.get(), conversion, args);
      return;
    }
    ++p;
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
