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

constexpr Keyword kVariables[] = {
    {"GLC", "Condition variable `GLC`.", "conditions"},
    {"IPN", "Condition variable `IPN`.", "conditions"},
    {"PN", "Condition variable `PN`: the part number, may be indexed (`PN[3]`).", "conditions"},
    {"PACKAGE", "Condition variable `PACKAGE`: the device's package.", "conditions"},
    {"DEV", "Condition variable `DEV`: the device's name.", "conditions"},
    {"DEVBIN", "Condition variable `DEVBIN`.", "conditions"},
    {"DSI", "Condition variable `DSI`.", "conditions"},
    {"IN_NUM", "Condition variable `IN_NUM`: a number of inputs.", "conditions"},
    {"OUT_NUM", "Condition variable `OUT_NUM`: a number of outputs.", "conditions"},
};

constexpr Keyword kOperators[] = {
    {"is", "`variable is 'value'`: the variable has the value.", "conditions"},
    {"isnot", "`variable isnot 'value'`: the variable has another value.", "conditions"},
    {"isin", "`variable isin ['a' 'b']`: the variable has one of the values.", "conditions"},
    {"isnotin", "`variable isnotin ['a' 'b']`: the variable has none of the values.", "conditions"},
    {"and", "Both tests hold; binds tighter than `or`.", "conditions"},
    {"or", "Either test holds.", "conditions"},
};

constexpr Keyword kAttributes[] = {
    {"name", "The pin's signal name; `: RSV` after the value marks the pin reserved.",
     "initialize"},
    {"nchange", "Whether the pin may be changed: the value's leading digits.", "initialize"},
    {"PinEdit", "Whether the pin may be changed (as `nchange`).", "initialize"},
    {"reserve", "The pin's reserved name; marks the pin reserved.", "initialize"},
    {"displayname", "The name the pin is shown by.", "initialize"},
};

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
