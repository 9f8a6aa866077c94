#pragma once

// Helpers for the unit tests: temporary input files, captured standard output and
// runs that end through FatalExit. Only the *_test.cc files include this header.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "source/fatal.h"

namespace qelc::test_support {

// A file with the given bytes in the temporary directory, removed again when the
// object goes.
class TempFile {
 public:
  explicit TempFile(std::string_view content) {
    std::string pattern = (std::filesystem::temp_directory_path() / "qelc_test_XXXXXX").string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    path_ = pattern;
    std::ofstream(path_, std::ios::binary).write(content.data(), std::streamsize(content.size()));
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Redirects standard output into a temporary file from construction until
// Text() is called (or the object goes).
class CapturedStdout {
 public:
  CapturedStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    capture_ = std::tmpfile();
    if (saved_ < 0 || !capture_) std::abort();
    dup2(fileno(capture_), STDOUT_FILENO);
  }
  ~CapturedStdout() { Restore(); }
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;

  // Ends the capture and returns everything written meanwhile.
  std::string Text() {
    Restore();
    return text_;
  }

 private:
  void Restore() {
    if (!capture_) return;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    std::rewind(capture_);
    for (int c = std::fgetc(capture_); c != EOF; c = std::fgetc(capture_)) text_.push_back(char(c));
    std::fclose(capture_);
    capture_ = nullptr;
  }

  int saved_ = -1;
  FILE* capture_ = nullptr;
  std::string text_;
};

// How a piece of code ended: its exit status when it ended the run, and what it
// wrote to standard output meanwhile.
struct RunResult {
  bool exited = false;
  int status = 0;
  std::string out;
};

template <class Body>
RunResult CaptureRun(Body body) {
  RunResult result;
  CapturedStdout capture;
  try {
    body();
  } catch (const FatalExit& exit) {
    result.exited = true;
    result.status = exit.status;
  }
  result.out = capture.Text();
  return result;
}

}  // namespace qelc::test_support
