#pragma once

#include <cstdarg>
#include <memory>
#include <string>

#include "source/diagnostics.h"
#include "source/text_reader.h"

namespace qelc {

// The text stream every table dump of one compilation writes to: Out.txt, or
// the .dec file while an IPB file is decoded. While none is open, dumps go
// nowhere.
class DumpStream {
 public:
  // A write that failed is reported through `diagnostics`.
  explicit DumpStream(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
  ~DumpStream() { Drop(); }
  DumpStream(const DumpStream&) = delete;
  DumpStream& operator=(const DumpStream&) = delete;

  // Dumps go to `file`, named `path` in messages, from now on.
  void Open(FilePtr file, std::string path);
  bool IsOpen() const { return file_ != nullptr; }

  // printf onto the stream.
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Pushes what was dumped so far to the file; a write that failed is reported now
  // ("Fail to write %s.") and ends the compilation. Called before an output file
  // is written, so that no output file exists after Out.txt failed.
  void Flush();

  // Closes the stream. A write that failed is reported now ("Fail to write %s.")
  // and ends the compilation.
  void Close();

  // Closes the stream without looking at it: the end of a compilation that failed.
  void Drop();

 private:
  static constexpr size_t kPendingSize = 1 << 16;

  void WritePending();
  void PutFormatted(const char* format, va_list args);

  Diagnostics& diagnostics_;
  FilePtr file_;
  std::string path_;
  // Dump text waiting for the file, which gets it in large pieces.
  std::unique_ptr<char[]> pending_;
  size_t pendingSize_ = 0;
};

}  // namespace qelc
