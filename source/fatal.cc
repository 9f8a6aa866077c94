#include "source/fatal.h"

#include <cstdio>
#include <string_view>

#include "source/diagnostics.h"

namespace qelc {

namespace {
int32_t errorCount = 0;
}

void ExitRun(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  throw FatalExit{status};
}

void Overflow(const char* message) {
  std::string_view explanation(message);
  if (explanation.ends_with('\n')) explanation.remove_suffix(1);
  RunError(stderr, message, "capacity", std::string(explanation));
}

int32_t& ErrorCount() { return errorCount; }

}  // namespace qelc
