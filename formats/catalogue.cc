#include "formats/catalogue.h"

#include <algorithm>

namespace qelc {

const SectionEntry* FindDafSection(std::string_view keyword) {
  for (const SectionEntry& section : DafSections()) {
    if (EqualsNoCase(section.keyword, keyword)) return &section;
  }
  return nullptr;
}

const SectionEntry* DafSectionOfTable(std::string_view table) {
  for (const SectionEntry& section : DafSections()) {
    if (!table.empty() && section.table == table) return &section;
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

}  // namespace qelc
