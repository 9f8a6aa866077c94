#pragma once

#include "tables/parse_state.h"

namespace qelc {

// body -> anything, braces nesting: the section is read and dropped.
void SkipStringQuoteBody(ParseState& s);

}  // namespace qelc
