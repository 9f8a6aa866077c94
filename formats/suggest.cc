#include "formats/suggest.h"

#include <algorithm>
#include <vector>

#include "formats/lexicon.h"

namespace qelc {

int EditDistance(std::string_view a, std::string_view b, int limit) {
  const int far = limit + 1;
  if (int(std::max(a.size(), b.size()) - std::min(a.size(), b.size())) > limit) return far;
  // Row i holds the distances of a[0, i) to b[0, j); cells off the band stay
  // `far`.
  std::vector<int> previous(b.size() + 1, far), current(b.size() + 1, far);
  for (size_t j = 0; j <= b.size() && j <= size_t(limit); ++j) previous[j] = int(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t first = i > size_t(limit) ? i - size_t(limit) : 1;
    size_t last = std::min(b.size(), i + size_t(limit));
    std::fill(current.begin(), current.end(), far);
    if (i <= size_t(limit)) current[0] = int(i);
    int rowBest = current[0];
    for (size_t j = first; j <= last; ++j) {
      int substitute = previous[j - 1] + (FoldCase(a[i - 1]) == FoldCase(b[j - 1]) ? 0 : 1);
      int cell = std::min({substitute, previous[j] + 1, current[j - 1] + 1, far});
      current[j] = cell;
      rowBest = std::min(rowBest, cell);
    }
    if (rowBest >= far) return far;
    std::swap(previous, current);
  }
  return std::min(previous[b.size()], far);
}

void Suggestion::Consider(std::string_view candidate) {
  int distance = EditDistance(word_, candidate, kMostEdits);
  // Replacing every letter of a short word is no resemblance.
  if (distance > kMostEdits || distance >= int(candidate.size())) return;
  if (distance == 0 && word_ == candidate) return;
  if (distance < bestDistance_) {
    bestDistance_ = distance;
    best_ = candidate;
    tied_ = false;
  } else if (distance == bestDistance_ && !EqualsNoCase(best_, candidate)) {
    tied_ = true;
  }
}

std::string Suggestion::Text(std::string_view prefix, std::string_view suffix) const {
  std::string nearest = Nearest();
  if (nearest.empty()) return {};
  return "; did you mean '" + std::string(prefix) + nearest + std::string(suffix) + "'?";
}

std::string Suggestion::Nearest() const {
  if (bestDistance_ > kMostEdits || tied_) return {};
  return best_;
}

}  // namespace qelc
