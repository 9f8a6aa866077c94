#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// Letter case is folded for A-Z and a-z only; no locale is involved anywhere.
constexpr char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Inline: the parsers compare every token with their keywords this way.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

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
