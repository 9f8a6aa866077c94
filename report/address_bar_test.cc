// Memory-map ranges in address order, with the gaps and overlaps between them.
#include "report/address_bar.h"

#include <gtest/gtest.h>

namespace qelc::report {
namespace {

TEST(AddressBarTest, AddressesHexOrDecimal) {
  EXPECT_EQ(AddressOf("0x00001000"), 0x1000u);
  EXPECT_EQ(AddressOf("0XfF"), 0xFFu);
  EXPECT_EQ(AddressOf("4096"), 4096u);
  EXPECT_EQ(AddressOf("0xFFFFFFFFFFFFFFFF"), UINT64_MAX);
  for (const char* text :
       {"", "0x", "4K", "-1", "0x1G", "18446744073709551616", "0x10000000000000000"}) {
    EXPECT_FALSE(AddressOf(text)) << text;
  }
}

MapEntry Entry(const char* start, const char* end) { return {1, {start, end}}; }

TEST(AddressBarTest, GapsOverlapsAndTextsLast) {
  MapEntry entries[] = {Entry("0x2000", "0x2FFF"), Entry("size", "0x10"),
                        Entry("0x0", "0xFFF"),     Entry("0x1000", "0x1FFF"),
                        Entry("0x2800", "0x37FF"), Entry("0x8000", "0x8FFF")};
  std::vector<BarBlock> blocks = BarBlocks(entries);
  ASSERT_EQ(blocks.size(), 6u);
  EXPECT_EQ(blocks[0].entry, &entries[2]);
  EXPECT_EQ(blocks[1].entry, &entries[3]);
  EXPECT_FALSE(blocks[1].gapBefore);  // 0x1000 follows 0xFFF
  EXPECT_FALSE(blocks[1].overlaps);
  EXPECT_EQ(blocks[3].entry, &entries[4]);
  EXPECT_TRUE(blocks[3].overlaps);
  EXPECT_EQ(blocks[4].entry, &entries[5]);
  EXPECT_EQ(blocks[4].gapBefore, 0x3800u);  // after the highest end so far
  EXPECT_EQ(blocks[5].entry, &entries[1]);
  EXPECT_FALSE(blocks[5].start);
}

TEST(AddressBarTest, AGapIsWrittenWithTheDigitsOfTheRangesAroundIt) {
  MapEntry eight[] = {Entry("0x00000000", "0x00000FFF"), Entry("0x00002000", "0x00002FFF")};
  EXPECT_NE(AddressBarSvg(eight).find(">gap 0x00001000 to 0x00001FFF<"), std::string::npos);
  // The wider of the two, whichever it is; a decimal neighbour has no digits to match.
  MapEntry mixed[] = {Entry("0x0", "0xFFF"), Entry("0x002000", "0x2FFF"), Entry("0x4000", "20479"),
                      Entry("24576", "0x6FFF")};
  std::string svg = AddressBarSvg(mixed);
  EXPECT_NE(svg.find(">gap 0x001000 to 0x001FFF<"), std::string::npos);
  EXPECT_NE(svg.find(">gap 0x3000 to 0x3FFF<"), std::string::npos);
  EXPECT_NE(svg.find(">gap 0x5000 to 0x5FFF<"), std::string::npos);
}

TEST(AddressBarTest, EveryEntryIsABlockWithItsTextsAsWritten) {
  MapEntry entries[] = {Entry("0x0", "0xF"), Entry("<0>", "0x\"1\"")};
  std::string svg = AddressBarSvg(entries);
  EXPECT_NE(svg.find("data-map=\"1\" data-start=\"0x0\" data-end=\"0xF\""), std::string::npos);
  EXPECT_NE(svg.find("data-start=\"&lt;0&gt;\" data-end=\"0x&quot;1&quot;\""), std::string::npos);
}

}  // namespace
}  // namespace qelc::report
