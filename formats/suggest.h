#pragma once

#include <string>
#include <string_view>

namespace qelc {

// The number of single-letter insertions, deletions and substitutions that turn
// `a` into `b`, letter case aside, or `limit + 1` when it is more than `limit`.
// Only cells within `limit` of the diagonal are computed, so the work grows
// with the length of the words times the limit.
int EditDistance(std::string_view a, std::string_view b, int limit);

// The "did you mean" of a word that matched nothing (a keyword of a source, a
// field of a file's path): shown the candidates one by one, it keeps the one
// nearest to the word, within two edits. A candidate that differs from the word
// in letter case only is nearest of all.
class Suggestion {
 public:
  explicit Suggestion(std::string_view word) : word_(word) {}
  void Consider(std::string_view candidate);
  // "; did you mean 'X'?" when one candidate alone is nearest, else nothing;
  // `prefix` stands before X (the pin of a pin.attribute) and `suffix` after it
  // (the rest of a path).
  std::string Text(std::string_view prefix = {}, std::string_view suffix = {}) const;
  // The nearest candidate, or nothing when Text is empty.
  std::string Nearest() const;

 private:
  static constexpr int kMostEdits = 2;
  std::string word_;
  std::string best_;
  int bestDistance_ = kMostEdits + 1;
  bool tied_ = false;
};

}  // namespace qelc
