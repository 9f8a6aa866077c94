#pragma once

// A document laid out in the style qeldump --source writes, its comments and
// directives kept (compiler/format_source.h), as edits an editor applies.

#include <optional>
#include <string>
#include <vector>

#include "language/text.h"
#include "language/workspace.h"

namespace qelc::language {

struct Formatted {
  // The edits that format the document (none when it is formatted already),
  // or nothing when formatting is refused.
  std::optional<std::vector<TextEdit>> edits;
  std::string refusal;  // why it is refused, a sentence to show the user
};

// The whole document: one edit that replaces its text. Refused when the
// source does not compile (the message names the first error) or when the
// layout would change what it compiles to.
Formatted FormatDocument(const Workspace& files, const std::string& path);

// The top-level sections that `range` touches, each with the comments and
// directives above it: an edit for each run of them that changes.
Formatted FormatRange(const Workspace& files, const std::string& path, Range range);

}  // namespace qelc::language
