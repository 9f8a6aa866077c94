#include "source/fatal.h"

#include <cstdio>
#include <string_view>

#include "source/diagnostics.h"

namespace qelc {

namespace {

// The linter's words for a message that brings none of its own: the console
// text without its line end.
std::string OneLine(std::string_view message) {
  if (message.ends_with('\n')) message.remove_suffix(1);
  return std::string(message);
}

}  // namespace

void ExitRun(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  throw FatalExit{status};
}

void ParseError(const std::string& message, std::string_view check, std::string explanation) {
  if (!ReportError(check, explanation.empty() ? OneLine(message) : std::move(explanation))) {
    std::fputs(message.c_str(), stdout);
  }
  ExitRun(1);
}

void Overflow(const char* message) {
  if (!ReportError("capacity", OneLine(message))) std::fputs(message, stderr);
  ExitRun(1);
}

}  // namespace qelc
