// The hover texts link into the language manuals and repeat their capacities:
// both are checked against the manuals, so that neither drifts from them.
#include "language/keywords.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace qelc::language {
namespace {

std::string Manual(const char* name) {
  std::ifstream in(std::string(QELC_SOURCE_DIR) + "/docs/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The anchor a Markdown heading gets: lower case, punctuation dropped, blanks
// turned into '-'.
std::string Slug(const std::string& heading) {
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
std::string Part(const std::string& manual, std::string_view anchor) {
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

TEST(KeywordsTest, SectionHoversRepeatTheManualsCapacities) {
  std::string manual = Manual("daf.md");
  ASSERT_FALSE(manual.empty());
  for (const Keyword& keyword : SectionKeywords()) {
    std::string part = Part(manual, keyword.anchor);
    ASSERT_FALSE(part.empty()) << keyword.word << ": no heading #" << keyword.anchor;
    std::string about(keyword.about);
    size_t capacity = about.find("Capacity:");
    if (capacity == std::string::npos) continue;
    // Every number the hover gives stands in the manual's part as a word.
    std::string numbers = about.substr(capacity);
    std::regex number("[0-9]+");
    for (std::sregex_iterator it(numbers.begin(), numbers.end(), number), end; it != end; ++it) {
      std::regex word("(^|[^0-9])" + it->str() + "([^0-9]|$)");
      EXPECT_TRUE(std::regex_search(part, word))
          << keyword.word << ": " << it->str() << " is not in the manual's #" << keyword.anchor;
    }
  }
}

TEST(KeywordsTest, EveryOtherWordLinksToAPartOfItsManual) {
  std::string daf = Manual("daf.md"), ipf = Manual("ipf.md");
  for (auto list : {ConditionVariables(), ConditionOperators(), Attributes()}) {
    for (const Keyword& keyword : list) {
      EXPECT_FALSE(Part(daf, keyword.anchor).empty()) << keyword.word << " #" << keyword.anchor;
    }
  }
  for (auto list : {SoftIpKeywords(), ModuleBlocks()}) {
    for (const Keyword& keyword : list) {
      EXPECT_FALSE(Part(ipf, keyword.anchor).empty()) << keyword.word << " #" << keyword.anchor;
    }
  }
}

}  // namespace
}  // namespace qelc::language
