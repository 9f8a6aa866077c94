#include "language/completion.h"

#include "language/keywords.h"
#include "language/scan.h"
#include "source/ascii.h"

namespace qelc::language {

namespace {

void Offer(std::vector<Completion>& items, std::span<const Keyword> keywords, CompletionKind kind) {
  for (const Keyword& keyword : keywords) {
    items.push_back({std::string(keyword.word), kind, Describe(keyword)});
  }
}

// Whether the word being typed is `P<digits>.` and a beginning of an attribute.
bool AfterPinPrefix(std::string_view typed) {
  size_t dot = typed.find('.');
  if (dot == std::string_view::npos || dot < 2 || (typed[0] != 'P' && typed[0] != 'p')) {
    return false;
  }
  for (size_t at = 1; at < dot; ++at) {
    if (typed[at] < '0' || typed[at] > '9') return false;
  }
  return true;
}

}  // namespace

std::vector<Completion> CompletionsAt(std::string_view text, bool softIp, Position at) {
  std::vector<Completion> items;
  size_t offset = OffsetOf(text, at);
  std::vector<Word> all = ScanWords(text.substr(0, offset));
  // The word the cursor ends (being typed) is not part of what comes before.
  std::string_view typed;
  if (!all.empty() && all.back().kind == Word::Kind::kWord &&
      all.back().offset + all.back().text.size() == offset) {
    typed = all.back().text;
    all.pop_back();
  }
  int depth = all.empty() ? 0 : all.back().depth + (all.back().text == "{" ? 1 : 0);
  if (!softIp && AfterPinPrefix(typed)) {
    Offer(items, Attributes(), CompletionKind::kProperty);
  } else if (InCondition(all, all.size())) {
    Offer(items, ConditionVariables(), CompletionKind::kVariable);
    Offer(items, ConditionOperators(), CompletionKind::kOperator);
  } else if (depth == 0) {
    Offer(items, softIp ? SoftIpKeywords() : SectionKeywords(), CompletionKind::kKeyword);
  } else if (softIp && depth == 1) {
    // Inside a module, not inside a category block.
    size_t open = all.size();
    while (open > 0 && !(all[open - 1].text == "{" && all[open - 1].depth == 0)) --open;
    bool category = open >= 2 && FindKeyword(SoftIpKeywords(), all[open - 2].text);
    if (!category) Offer(items, ModuleBlocks(), CompletionKind::kModule);
  }
  return items;
}

}  // namespace qelc::language
