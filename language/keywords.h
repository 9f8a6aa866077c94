#pragma once

// What an editor says about the words of the languages: each section keyword
// with what it fills and its capacities, the condition words, the attributes of
// an Initialize line and the blocks of an IPF source.

#include <span>
#include <string_view>

namespace qelc::language {

struct Keyword {
  std::string_view word;
  std::string_view about;   // one line, Markdown
  std::string_view anchor;  // of its part of the language manual, or empty
};

// The DAF section keywords: what each fills and holds at most (docs/daf.md).
std::span<const Keyword> SectionKeywords();
// The condition variables and the words that join and compare them.
std::span<const Keyword> ConditionVariables();
std::span<const Keyword> ConditionOperators();
// The attributes of an Initialize line `P<n>.attribute = value ;`.
std::span<const Keyword> Attributes();
// The IPF words: SoftIPCategory and the blocks of a module.
std::span<const Keyword> SoftIpKeywords();
std::span<const Keyword> ModuleBlocks();

// The keyword of `list` that is `word`, letter case aside, or null.
const Keyword* FindKeyword(std::span<const Keyword> list, std::string_view word);

}  // namespace qelc::language
