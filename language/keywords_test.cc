// The hover texts link into the language manuals: each link leads to a part of
// its manual. (The capacities they give are the catalogue's, which
// formats/catalogue_test.cc holds to the manuals.)
#include "language/keywords.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/manual_part.h"

namespace qelc::language {
namespace {

using testing::Manual;
using testing::Part;

// A section's hover carries what the catalogue says it holds at most.
TEST(KeywordsTest, SectionHoversNameTheirCapacities) {
  const Keyword* pins = FindKeyword(SectionKeywords(), "pin");
  ASSERT_NE(pins, nullptr);
  EXPECT_NE(Describe(*pins).find("Capacity: 150 groups, 16 pins per group"), std::string::npos)
      << Describe(*pins);
  const Keyword* maps = FindKeyword(SectionKeywords(), "MemoryMap");
  ASSERT_NE(maps, nullptr);
  EXPECT_NE(Describe(*maps).find("19 blocks, 9 maps per block, 30 ranges per map."),
            std::string::npos);
  EXPECT_NE(Describe(*maps).find("title 127"), std::string::npos);
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
