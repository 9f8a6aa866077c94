#pragma once

// The words an editor offers where the cursor stands. The text around the
// cursor is half-typed, so no run of the parsers has facts of it: completion
// alone reads the words of the text itself (language/scan.h).

#include <string>
#include <string_view>
#include <vector>

#include "language/text.h"

namespace qelc::language {

// The kinds are the protocol's numbers for them.
enum class CompletionKind {
  kProperty = 10,
  kVariable = 6,
  kModule = 9,
  kKeyword = 14,
  kOperator = 24
};

struct Completion {
  std::string label;
  CompletionKind kind;
  std::string detail;
};

// In a condition (after `When`, `_when` or `if`): the variables and the words
// that compare and join them; after `P<n>.` in a line: the attributes of an
// Initialize line; inside a module's braces: its blocks; where a section may
// start: the section keywords (DAF) or SoftIPCategory (IPF). Nothing elsewhere.
std::vector<Completion> CompletionsAt(std::string_view text, bool softIp, Position at);

}  // namespace qelc::language
