#pragma once

#include <cstdint>
#include <string_view>

#include "formats/lexicon.h"

namespace qelc {

// True when `text` begins with `prefix`, letter case aside.
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The value of the ASCII digits at the start of `text` (0 when there are none).
// Nothing is skipped and no sign is read; values above 2147483647 saturate.
int32_t LeadingDigitsValue(std::string_view text);

// Like LeadingDigitsValue, but an optional '+' or '-' may stand before the digits.
// Values saturate at the 32-bit limits.
int32_t SignedDecimalValue(std::string_view text);

// True when the whole of `text` is a decimal integer that fits 32 bits, with an
// optional sign: the texts that SignedDecimalValue reads without loss.
bool IsWholeDecimal(std::string_view text);

}  // namespace qelc
