#pragma once

#include <string_view>

#include "formats/suggest.h"
#include "source/diagnostics.h"

namespace qelc {

// Offers the nearest candidate of `suggestion` (behind `prefix`) as the fix of
// the finding about to be said of the token at `at`: nothing when it has none.
void Propose(const Suggestion& suggestion, Diagnostics& diagnostics, TextPoint at,
             std::string_view prefix = {});

}  // namespace qelc
