// The token stream with the condition grammar: every When, _when and if starts a
// condition, every other token is skipped. The condition checks are on, so the
// texts of their findings are built too.
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qelc;
  MemoryFiles files([&](const std::string&) -> std::optional<std::string> {
    return std::string(reinterpret_cast<const char*>(data), size);
  });
  fuzz::DiscardSink sink;
  Diagnostics diagnostics(sink);
  diagnostics.CollectFindings({kConditionMissingOperand.name, kConditionMissingTest.name});
  Parser p(diagnostics);
  p.tokens.Open(files.OpenForReading("f.pre"));
  try {
    NextToken(p);
    while (!TokenText(p).empty()) {
      if (TokenIs(p, "When")) {
        ReadWhen(p);
      } else if (TokenIs(p, "_when")) {
        ReadSoftIPWhen(p);
      } else if (TokenIs(p, "if")) {
        p.condition.clear();
        SkipToken(p);
        ReadCondition(p);
      } else {
        SkipToken(p);
      }
    }
  } catch (const FatalExit&) {
  }
  return 0;
}
