#pragma once

// Helpers for the unit tests: temporary input files and runs that end through
// FatalExit, with the standard output they wrote. Only tests include this header.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
  testing::internal::CaptureStdout();
  try {
    body();
  } catch (const FatalExit& exit) {
    result.exited = true;
    result.status = exit.status;
  }
  result.out = testing::internal::GetCapturedStdout();  // flushes stdout first
  return result;
}

}  // namespace qelc::test_support
