#include "tables/dump_stream.h"

#include <cstdarg>
#include <cstdio>

#include "source/fatal.h"

namespace qelc {

namespace {

struct DumpStream {
  FILE* file = nullptr;
  std::string path;
};

DumpStream stream;

[[noreturn]] void WriteFailed() {
  std::fprintf(stderr, "Fail to write %s.\n", stream.path.c_str());
  ExitRun(1);
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
  std::vfprintf(stream.file, format, args);
  va_end(args);
}

void FlushDumpStream() {
  if (!stream.file) return;
  if (std::fflush(stream.file) != 0 || std::ferror(stream.file) != 0) WriteFailed();
}

void CloseDumpStream() {
  if (!stream.file) return;
  bool failed = std::ferror(stream.file) != 0;
  failed = std::fclose(stream.file) != 0 || failed;
  stream.file = nullptr;
  if (failed) WriteFailed();
}

void DropDumpStream() {
  if (stream.file) std::fclose(stream.file);
  stream.file = nullptr;
}

}  // namespace qelc
