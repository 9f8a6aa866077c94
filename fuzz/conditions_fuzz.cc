// The token stream with the condition grammar: every When, _when and if starts a
// condition, every other token is skipped.
#include "fuzz/fuzz_support.h"
#include "qelc/compile.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/token_stream.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qelc;
  fuzz::WriteInput("f.pre", data, size);
  if (!OpenTokenStream("f.pre")) return 0;
  try {
    NextToken();
    while (!TokenText().empty()) {
      if (TokenIs("When")) {
        ReadWhen();
      } else if (TokenIs("_when")) {
        ReadSoftIPWhen();
      } else if (TokenIs("if")) {
        ClearCondition();
        SkipToken();
        ReadCondition();
      } else {
        SkipToken();
      }
    }
  } catch (const FatalExit&) {
  }
  ResetRunState();
  return 0;
}
