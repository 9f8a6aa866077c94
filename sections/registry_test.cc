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
    std::string keyword(section.entry->keyword);
    EXPECT_EQ(FindSection(keyword), &section) << keyword;
    if (section.entry->table.empty()) continue;
    EXPECT_TRUE(tables.insert(std::string(section.entry->table)).second) << keyword;
    EXPECT_NE(section.dump, nullptr) << keyword;
    EXPECT_NE(section.dumpHeading, nullptr) << keyword;
    EXPECT_NE(section.empty, nullptr) << keyword;
  }
  EXPECT_EQ(tables.size(), Sections().size() - 1);  // all but StringQuote fill a table
}

TEST(RegistryTest, KeywordsAreWholeWordsLetterCaseAside) {
  EXPECT_EQ(FindSection("templatelink")->entry->keyword, "TemplateLink");
  EXPECT_EQ(FindSection("DEVICESPECIFICINFO")->entry->keyword, "DeviceSpecificInfo");
  EXPECT_EQ(FindSection("DeviceSpecificInfoTable")->entry->keyword, "DeviceSpecificInfoTable");
  EXPECT_EQ(FindSection("DeviceSpecificInfoTab"), nullptr);
  EXPECT_EQ(FindSection("Device"), nullptr);
  EXPECT_EQ(FindSection(""), nullptr);
}

}  // namespace
}  // namespace qelc
