#include "language/directives.h"

#include "source/preprocessor.h"

namespace qelc::language {

std::optional<Directive> DirectiveOf(std::string_view line) {
  size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] != '#') return std::nullopt;
  std::string name, value;
  int kind = ClassifyLine(line, name, value);
  if (kind == kPlainLine) return std::nullopt;
  size_t keywordEnd = line.find_first_of(" \t", first);
  size_t nameStart = name.empty() || keywordEnd == std::string_view::npos
                         ? line.size()
                         : line.find(name, keywordEnd);
  return Directive{kind, std::move(name), std::min(nameStart, line.size())};
}

}  // namespace qelc::language
