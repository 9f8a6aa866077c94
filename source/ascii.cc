#include "source/ascii.h"

#include <charconv>
#include <limits>

namespace qelc {

namespace {

// Saturating magnitude of the leading digits, capped just above the int32 range.
int64_t DigitsMagnitude(std::string_view digits) {
  constexpr int64_t kCap = int64_t(std::numeric_limits<int32_t>::max()) + 1;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kCap) value = kCap;
  }
  return value;
}

int32_t Clamp(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(value);
}

}  // namespace

int32_t LeadingDigitsValue(std::string_view text) { return Clamp(DigitsMagnitude(text)); }

int32_t SignedDecimalValue(std::string_view text) {
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    int64_t magnitude = DigitsMagnitude(text.substr(1));
    return Clamp(text[0] == '-' ? -magnitude : magnitude);
  }
  return LeadingDigitsValue(text);
}

bool IsWholeDecimal(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return false;
  }
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace qelc
