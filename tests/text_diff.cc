#include "tests/text_diff.h"

#include <algorithm>
#include <cstdio>

namespace qelc::test {

namespace {

// Longest stretch of a line shown in a message; longer lines are cut around the
// place where the texts part.
constexpr size_t kShownLine = 160;

// The line that starts at `lineStart` (line end included), or the empty text past the end.
std::string_view LineAt(std::string_view text, size_t lineStart) {
  if (lineStart >= text.size()) return {};
  size_t end = text.find('\n', lineStart);
  return text.substr(lineStart, end == std::string_view::npos ? end : end - lineStart + 1);
}

std::string ShowLine(std::string_view line, size_t column, bool exists) {
  if (!exists) return "(no such line: the text ends before it)";
  size_t from = column > kShownLine / 2 ? column - kShownLine / 2 : 0;
  std::string shown = from > 0 ? "..." : "";
  shown += "\"" + Escape(line.substr(from, kShownLine)) + "\"";
  if (from + kShownLine < line.size()) shown += "...";
  if (line.empty() || line.back() != '\n') shown += " (no line end)";
  return shown;
}

}  // namespace

std::string Escape(std::string_view bytes) {
  std::string escaped;
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '"': escaped += "\\\""; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default:
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        escaped += byte >= 0x20 && byte < 0x7F ? std::string(1, c) : std::string(hex);
    }
  }
  return escaped;
}

std::string DescribeTextDifference(std::string_view expected, std::string_view actual) {
  if (expected == actual) return {};
  size_t common = std::min(expected.size(), actual.size());
  size_t at = size_t(
      std::mismatch(expected.begin(), expected.begin() + common, actual.begin()).first -
      expected.begin());
  size_t lineStart = expected.substr(0, at).rfind('\n');
  lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
  size_t lineNumber = size_t(std::count(expected.begin(), expected.begin() + lineStart, '\n')) + 1;
  size_t column = at - lineStart;
  std::string message = "first difference in line " + std::to_string(lineNumber) + ", column " +
                        std::to_string(column + 1) + " (byte " + std::to_string(at) + ")\n";
  message += "  expected: " + ShowLine(LineAt(expected, lineStart), column,
                                       lineStart < expected.size()) + "\n";
  message += "  actual:   " + ShowLine(LineAt(actual, lineStart), column,
                                       lineStart < actual.size()) + "\n";
  message += "  sizes: expected " + std::to_string(expected.size()) + " bytes, actual " +
             std::to_string(actual.size()) + " bytes";
  return message;
}

}  // namespace qelc::test
