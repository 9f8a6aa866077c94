#include "tables/dump_stream.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "source/fatal.h"

namespace qelc {

namespace {

struct DumpStream {
  FILE* file = nullptr;
  std::string path;
  // Dump text waiting for the file, which gets it in large pieces.
  char pending[1 << 16];
  size_t pendingSize = 0;
};

DumpStream stream;

// Hands the waiting text to the file; a failed write shows in ferror.
void WritePending() {
  std::fwrite(stream.pending, 1, stream.pendingSize, stream.file);
  stream.pendingSize = 0;
}

void Put(char c) {
  if (stream.pendingSize == sizeof stream.pending) WritePending();
  stream.pending[stream.pendingSize++] = c;
}

void Put(std::string_view text) {
  if (text.size() > sizeof stream.pending - stream.pendingSize) {
    WritePending();
    if (text.size() > sizeof stream.pending) {
      std::fwrite(text.data(), 1, text.size(), stream.file);
      return;
    }
  }
  std::memcpy(stream.pending + stream.pendingSize, text.data(), text.size());
  stream.pendingSize += text.size();
}

[[noreturn]] void WriteFailed() {
  std::fprintf(stderr, "Fail to write %s.\n", stream.path.c_str());
  ExitRun(1);
}

// Right-aligned in `width` characters, as printf pads.
void PutPadded(std::string_view text, int width) {
  for (size_t i = text.size(); i < size_t(width); ++i) Put(' ');
  Put(text);
}

// printf onto the stream. The conversions that the dumps use by far the most,
// %s and %d with at most a width, are written here with the same bytes:
// vfprintf would spend most of a large dump's time on them. From the first
// other conversion on, vfprintf writes the rest of the format with the
// arguments that are left.
void PutFormatted(const char* format, va_list args) {
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
      std::vfprintf(stream.file, conversion, args);
      return;
    }
    ++p;
  }
}

}  // namespace

bool OpenDumpStream(const std::string& path) {
  DropDumpStream();
  stream.file = std::fopen(path.c_str(), "w");
  stream.path = path;
  return stream.file != nullptr;
}

void Dump(const char* format, ...) {
  if (!stream.file) return;
  va_list args;
  va_start(args, format);
  PutFormatted(format, args);
  va_end(args);
}

void FlushDumpStream() {
  if (!stream.file) return;
  WritePending();
  if (std::fflush(stream.file) != 0 || std::ferror(stream.file) != 0) WriteFailed();
}

void CloseDumpStream() {
  if (!stream.file) return;
  WritePending();
  bool failed = std::ferror(stream.file) != 0;
  failed = std::fclose(stream.file) != 0 || failed;
  stream.file = nullptr;
  if (failed) WriteFailed();
}

void DropDumpStream() {
  if (stream.file) {
    WritePending();
    std::fclose(stream.file);
  }
  stream.file = nullptr;
}

}  // namespace qelc
