#include "source/fatal.h"

namespace qelc {

void ParseError(Parser& p, std::string message, std::string_view check, std::string explanation) {
  p.diagnostics.Fail(std::move(message), Stream::kStandardOutput, check, std::move(explanation));
}

void Overflow(Parser& p, std::string message) {
  TextPoint at = p.entryStart.line > 0 ? p.entryStart : CurrentToken(p).start;
  p.diagnostics.FailAt(at, std::move(message), Stream::kStandardError, "capacity");
}

}  // namespace qelc
