#pragma once

namespace qelc {

// body -> anything, braces nesting: the section is read and dropped.
void SkipStringQuoteBody();

}  // namespace qelc
