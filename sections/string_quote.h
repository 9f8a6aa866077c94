#pragma once

namespace qelc {

// StringQuote { ... }: the whole section is skipped, braces nesting.
void SecStringQuote();

}  // namespace qelc
