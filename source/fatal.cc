#include "source/fatal.h"

namespace qelc {

void ParseError(Parser& p, std::string message, std::string_view check, std::string explanation) {
  p.diagnostics.Fail(std::move(message), Stream::kStandardOutput, check, std::move(explanation));
}

void Overflow(Parser& p, std::string message) {
  p.diagnostics.FailAt(p.entryStart, std::move(message), Stream::kStandardError, "capacity");
}

}  // namespace qelc
