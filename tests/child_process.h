#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qelc::test {

struct ChildRun {
  std::string problem;   // why the program could not be run; empty when it ran
  bool timedOut = false;  // killed at the time limit
  int exitStatus = -1;    // when it exited
  int signal = 0;         // when a signal ended it
  std::string out;        // standard output
  std::string err;        // standard error
};

// What the child may use. Unset fields leave this process's limits as they are.
struct ChildLimits {
  // The largest file the child may write, in bytes (RLIMIT_FSIZE). SIGXFSZ is
  // ignored in the child, so a write past the limit fails with EFBIG instead of
  // ending the process.
  std::optional<unsigned long long> fileSize;
};

// Runs `program` with `arguments` in `directory`, standard input empty, standard
// output and standard error captured apart. The environment is this process's,
// plus each of `defaults` ("NAME=value") whose NAME is not set. A run that
// outlives `limit` is killed (with its process group) and marked timed out.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, std::chrono::milliseconds limit,
                  const std::vector<std::string>& defaults = {},
                  const ChildLimits& limits = {});

}  // namespace qelc::test
