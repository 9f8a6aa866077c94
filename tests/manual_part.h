#pragma once

// The parts of the language manuals, for the tests that hold the code to what
// the manuals say.

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace qelc::testing {

// The text of docs/NAME.
inline std::string Manual(const char* name) {
  std::ifstream in(std::string(QELC_SOURCE_DIR) + "/docs/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The anchor a Markdown heading gets: lower case, punctuation dropped, blanks
// turned into '-'.
inline std::string Slug(std::string_view heading) {
  std::string slug;
  for (char c : heading) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
      slug += char(std::tolower(static_cast<unsigned char>(c)));
    } else if (c == ' ') {
      slug += '-';
    }
  }
  return slug;
}

// The part of `manual` under the heading whose anchor is `anchor`, up to the
// next heading; empty when no heading has that anchor.
inline std::string Part(const std::string& manual, std::string_view anchor) {
  std::istringstream lines(manual);
  std::string line, part;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (line.starts_with("#")) {
      if (inside) break;
      inside = Slug(line.substr(line.find_first_not_of("# "))) == anchor;
      if (inside) part = line + "\n";
    } else if (inside) {
      part += line + "\n";
    }
  }
  return part;
}

}  // namespace qelc::testing
