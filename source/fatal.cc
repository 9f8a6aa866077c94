#include "source/fatal.h"

#include <cstdio>

namespace qelc {

void ExitRun(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  throw FatalExit{status};
}

void ParseError(const std::string& message) {
  std::fputs(message.c_str(), stdout);
  ExitRun(1);
}

void Overflow(const char* message) {
  std::fputs(message, stderr);
  ExitRun(1);
}

}  // namespace qelc
