#include "sections/registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>


namespace qelc {
namespace {

// A registry line copied for a new section and left half edited shows here: two
// sections sharing a keyword or a table, or a section that fills a table but
// does not dump or empty it.
TEST(RegistryTest, EachKeywordAndTableBelongsToOneSection) {
  std::set<std::string> tables;
  for (const SectionDescriptor& section : Sections()) {
    EXPECT_EQ(FindSection(section.keyword), &section) << section.keyword;
    if (!section.tableName) continue;
    EXPECT_TRUE(tables.insert(section.tableName).second) << section.tableName;
    EXPECT_NE(section.dump, nullptr) << section.keyword;
    EXPECT_NE(section.dumpHeading, nullptr) << section.keyword;
    EXPECT_NE(section.empty, nullptr) << section.keyword;
  }
  EXPECT_EQ(tables.size(), Sections().size() - 1);  // all but StringQuote fill a table
}

TEST(RegistryTest, KeywordsAreWholeWordsLetterCaseAside) {
  EXPECT_STREQ(FindSection("templatelink")->keyword, "TemplateLink");
  EXPECT_STREQ(FindSection("DEVICESPECIFICINFO")->keyword, "DeviceSpecificInfo");
  EXPECT_STREQ(FindSection("DeviceSpecificInfoTable")->keyword, "DeviceSpecificInfoTable");
  EXPECT_EQ(FindSection("DeviceSpecificInfoTab"), nullptr);
  EXPECT_EQ(FindSection("Device"), nullptr);
  EXPECT_EQ(FindSection(""), nullptr);
}

}  // namespace
}  // namespace qelc
