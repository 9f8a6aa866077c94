#include "source/fatal.h"

namespace qelc {

void ParseError(Parser& p, std::string message, std::string_view check, std::string explanation) {
  p.diagnostics.Fail(std::move(message), Stream::kStandardOutput, check, std::move(explanation));
}

void Overflow(Parser& p, std::string message) {
  TextPoint at = p.entryStart.line > 0 ? p.entryStart : CurrentToken(p).start;
  // The table stays full: the linter reads on after the section.
  p.diagnostics.GiveUp(Unwind::kSection);
  p.diagnostics.FailAt(at, std::move(message), Stream::kStandardError, "capacity");
}

}  // namespace qelc
