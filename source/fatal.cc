#include "source/fatal.h"

#include <cstdio>

namespace qelc {

namespace {
int32_t errorCount = 0;
}

void ExitRun(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  throw FatalExit{status};
}

void ParseError(const std::string& message) {
  std::fputs(message.c_str(), stdout);
  ++errorCount;
  ExitRun(1);
}

void Overflow(const char* message) {
  std::fputs(message, stderr);
  ExitRun(1);
}

int32_t& ErrorCount() { return errorCount; }

}  // namespace qelc
