#pragma once

#include <string>
#include <string_view>

namespace qelc {

// Ends the compile run with an exit status. Whatever the run printed is flushed
// before the exception leaves, so a caller that turns it into the process status
// (main) or into a test result (fuzzers, in-process tests) sees the same output.
struct FatalExit {
  int status;
};

[[noreturn]] void ExitRun(int status);

// Writes `message` to standard output and ends the run with status 1: the shape
// of every error in the source. While the linter runs, it reports `explanation`
// (or, when there is none, `message` on one line) under `check` at the current
// token instead.
[[noreturn]] void ParseError(const std::string& message,
                             std::string_view check = "compiler-error",
                             std::string explanation = {});

// Writes `message` to standard error and ends the run with status 1: the shape of
// every capacity overflow. The linter reports it under the check "capacity".
[[noreturn]] void Overflow(const char* message);

}  // namespace qelc
