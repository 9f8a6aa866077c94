#include "report/html_text.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "formats/utf8.h"

namespace qelc::report {

namespace {

std::string AsUtf8(std::string_view text) {
  return IsUtf8(text) ? std::string(text) : Latin1ToUtf8(text);
}

void AppendEscaped(std::string& out, std::string_view utf8) {
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, AsUtf8(text));
  return out;
}

std::string EscapedLabel(std::string_view text, size_t longest) {
  std::string utf8 = AsUtf8(text);
  size_t at = 0;
  for (size_t characters = 0; at < utf8.size() && characters < longest; ++characters) {
    at += Utf8SequenceLength(utf8, at);
  }
  std::string out;
  AppendEscaped(out, std::string_view(utf8).substr(0, at));
  if (at < utf8.size()) out += "\u2026";
  return out;
}

std::string Attribute(std::string_view name, std::string_view value) {
  std::string out = " ";
  out += name;
  out += "=\"";
  out += Escaped(value);
  out += '"';
  return out;
}

std::string Number(double value) {
  char text[32];
  double rounded = std::round(value * 10) / 10;
  if (rounded == std::floor(rounded)) {
    std::snprintf(text, sizeof text, "%.0f", rounded);
  } else {
    std::snprintf(text, sizeof text, "%.1f", rounded);
  }
  return text;
}

std::string Count(int64_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace qelc::report
