#pragma once

// The preprocessor's directive lines as an editor sees them: which directive a
// line is, as the preprocessor classifies it, and where its name stands.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qelc::language {

struct Directive {
  int kind;              // a LineKind of the preprocessor (kIncludeLine, kDefineLine, ...)
  std::string name;      // the word after the keyword, as the preprocessor takes it
  size_t nameStart = 0;  // its offset in the line
};

// The directive that `line` is, or nothing for a line that is none.
std::optional<Directive> DirectiveOf(std::string_view line);

// Calls `visit(offset, directive)` for each directive line of `text`, at the
// offset its line starts.
template <typename Visit>
void ForEachDirective(std::string_view text, Visit visit) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (auto directive = DirectiveOf(text.substr(start, end - start))) visit(start, *directive);
    start = end + 1;
  }
}

}  // namespace qelc::language
