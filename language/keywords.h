#pragma once

// What an editor says about the words of the languages: each section keyword
// with what it fills and its capacities, the condition words, the attributes of
// an Initialize line and the blocks of an IPF source.

#include <span>
#include <string>
#include <string_view>

namespace qelc {
struct SectionEntry;
}

namespace qelc::language {

struct Keyword {
  std::string_view word;
  std::string_view about;                 // one line, Markdown
  std::string_view anchor;                // of its part of the language manual, or empty
  const SectionEntry* section = nullptr;  // a DAF section's entry in the catalogue
};

// What an editor shows of `keyword`: its line, and for a section what it holds
// at most, as the catalogue states it.
std::string Describe(const Keyword& keyword);

// The DAF section keywords, as the catalogue states them (docs/daf.md).
std::span<const Keyword> SectionKeywords();
// The condition variables and the words that join and compare them.
std::span<const Keyword> ConditionVariables();
std::span<const Keyword> ConditionOperators();
// The attributes of an Initialize line `P<n>.attribute = value ;`.
std::span<const Keyword> Attributes();
// The IPF words, as the catalogue states them: SoftIPCategory and the blocks of
// a module.
std::span<const Keyword> SoftIpKeywords();
std::span<const Keyword> ModuleBlocks();

// The keyword of `list` that is `word`, letter case aside, or null.
const Keyword* FindKeyword(std::span<const Keyword> list, std::string_view word);

}  // namespace qelc::language
