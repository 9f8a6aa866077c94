#include "language/keywords.h"

#include <array>
#include <string>
#include <type_traits>

#include "formats/catalogue.h"
#include "source/ascii.h"

namespace qelc::language {

namespace {

// The keywords of the first N entries of the catalogue.
template <size_t N, typename Entry>
constexpr std::array<Keyword, N> KeywordsOf(std::span<const Entry> entries) {
  std::array<Keyword, N> keywords{};
  for (size_t i = 0; i < N; ++i) {
    keywords[i] = {entries[i].keyword, entries[i].about, entries[i].anchor};
    if constexpr (std::is_same_v<Entry, SectionEntry>) keywords[i].section = &entries[i];
  }
  return keywords;
}

constexpr auto kSections = KeywordsOf<DafSections().size()>(DafSections());
// SoftIPCategory, then the blocks of a module.
constexpr auto kSoftIp = KeywordsOf<1>(IpfBlocks());
constexpr auto kModuleBlocks = KeywordsOf<IpfBlocks().size() - 1>(IpfBlocks().subspan(1));

// The words of a lexicon table, each pointing to `anchor` of the manual.
template <typename Word, size_t N>
constexpr std::array<Keyword, N> KeywordsOf(const Word (&words)[N], std::string_view anchor) {
  std::array<Keyword, N> keywords{};
  for (size_t i = 0; i < N; ++i) keywords[i] = {words[i].word, words[i].about, anchor};
  return keywords;
}

constexpr auto kVariables = KeywordsOf(kConditionVariableWords, "conditions");
constexpr auto kOperators = KeywordsOf(kConditionOperators, "conditions");
constexpr auto kAttributes = KeywordsOf(kPinAttributes, "initialize");

}  // namespace

std::span<const Keyword> SectionKeywords() { return kSections; }
std::span<const Keyword> ConditionVariables() { return kVariables; }
std::span<const Keyword> ConditionOperators() { return kOperators; }
std::span<const Keyword> Attributes() { return kAttributes; }
std::span<const Keyword> SoftIpKeywords() { return kSoftIp; }
std::span<const Keyword> ModuleBlocks() { return kModuleBlocks; }

std::string Describe(const Keyword& keyword) {
  std::string text(keyword.about);
  if (!keyword.section) return text;
  const char* separator = "  \nCapacity: ";
  for (const Capacity& capacity : keyword.section->capacities) {
    text += separator + std::to_string(capacity.Usable()) + " " + std::string(capacity.counted);
    separator = ", ";
  }
  if (!keyword.section->capacities.empty()) text += ".";
  separator = "  \nLongest texts: ";
  for (const TextLimit& limit : keyword.section->limits) {
    text += separator + std::string(limit.text) + " " + std::to_string(limit.longest);
    separator = "; ";
  }
  return text;
}

const Keyword* FindKeyword(std::span<const Keyword> list, std::string_view word) {
  for (const Keyword& keyword : list) {
    if (EqualsNoCase(keyword.word, word)) return &keyword;
  }
  return nullptr;
}

}  // namespace qelc::language
