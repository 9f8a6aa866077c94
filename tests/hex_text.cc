#include "tests/hex_text.h"

#include <stdexcept>

namespace qelc::test {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ParseHexText(std::string_view text, const std::string& sourceName) {
  std::string bytes;
  int line = 1;
  int pending = -1;  // the high digit of a byte whose low digit is still to come
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#';
    if (blank && pending >= 0) {
      throw std::invalid_argument(sourceName + ":" + std::to_string(line) +
                                  ": odd number of hex digits");
    }
    if (c == '#') {
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
      continue;
    }
    if (c == '\n') ++line;
    if (blank) continue;
    int digit = HexDigit(c);
    if (digit < 0) {
      throw std::invalid_argument(sourceName + ":" + std::to_string(line) + ": '" +
                                  std::string(1, c) + "' is not a hex digit");
    }
    if (pending < 0) {
      pending = digit;
    } else {
      bytes += static_cast<char>(pending * 16 + digit);
      pending = -1;
    }
  }
  if (pending >= 0) {
    throw std::invalid_argument(sourceName + ":" + std::to_string(line) +
                                ": odd number of hex digits");
  }
  return bytes;
}

}  // namespace qelc::test
