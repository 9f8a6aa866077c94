#include "formats/catalogue.h"

#include <algorithm>

namespace qelc {

const SectionEntry* FindDafSection(std::string_view keyword) {
  for (const SectionEntry& section : DafSections()) {
    if (EqualsNoCase(section.keyword, keyword)) return &section;
  }
  return nullptr;
}

const IpfBlockEntry* FindIpfBlock(std::string_view keyword) {
  for (const IpfBlockEntry& block : IpfBlocks()) {
    if (EqualsNoCase(block.keyword, keyword)) return &block;
  }
  return nullptr;
}

std::span<const StatementKind> StatementKindsOf(StatementFamily family) {
  auto inFamily = [&](const StatementKind& kind) { return kind.family == family; };
  const StatementKind* first =
      std::find_if(std::begin(kStatementKinds), std::end(kStatementKinds), inFamily);
  const StatementKind* last = std::find_if_not(first, std::end(kStatementKinds), inFamily);
  return {first, last};
}

bool IsBodyKeyword(std::string_view word) {
  if (EqualsNoCase(word, kWhenWord) || EqualsNoCase(word, kAlwaysWord)) return true;
  return std::any_of(std::begin(kStatementKinds), std::end(kStatementKinds),
                     [&](const StatementKind& kind) { return EqualsNoCase(kind.typeName, word); });
}

std::vector<std::string_view> StatementTextWords(std::string_view text) {
  std::vector<std::string_view> words;
  for (size_t at = 0; at < text.size();) {
    size_t end = std::min(text.find(kStatementWordEnd, at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

}  // namespace qelc
