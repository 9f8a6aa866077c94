#include "source/suggest.h"

#include <string>

namespace qelc {

void Propose(const Suggestion& suggestion, Diagnostics& diagnostics, TextPoint at,
             std::string_view prefix) {
  std::string nearest = suggestion.Nearest();
  if (!nearest.empty()) diagnostics.ProposeReplacement(at, std::string(prefix) + nearest);
}

}  // namespace qelc
