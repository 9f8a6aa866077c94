// The catalogue against the language manuals, read from the manuals' side:
// every capacity and every text limit that a manual states is found in the
// catalogue with the same number, and every one of the catalogue is stated.
#include "formats/catalogue.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "source/token_stream.h"
#include "tests/manual_part.h"

namespace qelc {
namespace {

using testing::Manual;
using testing::Part;

// The numbers a manual's part states as the capacities of `keyword`, outermost
// first: the number cells of its row in a table of capacities, or else the
// numbers of the part's `Capacity:` sentence (what stands in parentheses
// explains, and is left out).
std::vector<int> StatedCapacities(const std::string& part, std::string_view keyword) {
  std::vector<int> numbers;
  std::smatch row;
  std::regex rowPattern("\\| `" + std::string(keyword) + "` (\\|[^\\n]*)");
  std::string text;
  if (std::regex_search(part, row, rowPattern)) {
    std::regex cell("\\| *([0-9]+)");
    text = row[1].str();
    for (std::sregex_iterator it(text.begin(), text.end(), cell), end; it != end; ++it) {
      numbers.push_back(std::stoi((*it)[1].str()));
    }
    return numbers;
  }
  size_t at = part.find("Capacity:");
  if (at == std::string::npos) return numbers;
  text = part.substr(at, part.find("Message", at) - at);
  text = std::regex_replace(text, std::regex("\\([^)]*\\)"), "");
  std::regex number("[0-9]+");
  for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
    numbers.push_back(std::stoi(it->str()));
  }
  return numbers;
}

TEST(CatalogueTest, EachSectionHoldsWhatTheManualSays) {
  std::string manual = Manual("daf.md");
  ASSERT_FALSE(manual.empty());
  for (const SectionEntry& section : DafSections()) {
    std::string part = Part(manual, section.anchor);
    ASSERT_FALSE(part.empty()) << section.keyword << ": no heading #" << section.anchor;
    EXPECT_NE(part.find(section.keyword), std::string::npos)
        << section.keyword << " is not named in #" << section.anchor;
    std::vector<int> catalogued;
    for (const Capacity& capacity : section.capacities) catalogued.push_back(capacity.Usable());
    EXPECT_EQ(StatedCapacities(part, section.keyword), catalogued) << section.keyword;
  }
  std::string ipf = Manual("ipf.md");
  for (const IpfBlockEntry& block : IpfBlocks()) {
    EXPECT_FALSE(Part(ipf, block.anchor).empty()) << block.keyword << " #" << block.anchor;
  }
}

TEST(CatalogueTest, EachTextLimitIsTheManuals) {
  struct Known {
    TextLimit limit;
    bool stated = false;
  };
  std::vector<Known> known{{{"any word or quoted string", kTokenLimit}}};
  auto add = [&](std::span<const TextLimit> limits) {
    for (const TextLimit& limit : limits) known.push_back({limit});
  };
  add(DafSharedLimits());
  for (const SectionEntry& section : DafSections()) add(section.limits);
  for (const IpfBlockEntry& block : IpfBlocks()) add(block.limits);
  // A row `| text | N |` states a limit of every known text that it names.
  auto check = [&](const std::string& part, const char* where) {
    ASSERT_FALSE(part.empty()) << where;
    std::regex row("\\n\\| ([^|\\n]+) \\| ([0-9]+) \\|");
    for (std::sregex_iterator it(part.begin(), part.end(), row), end; it != end; ++it) {
      std::string text = (*it)[1].str();
      int longest = std::stoi((*it)[2].str());
      bool named = false;
      for (Known& k : known) {
        if (text.find(k.limit.text) == std::string::npos) continue;
        named = k.stated = true;
        EXPECT_EQ(k.limit.longest, longest) << where << ": " << text;
      }
      EXPECT_TRUE(named) << where << ": no catalogued limit for '" << text << "'";
    }
  };
  std::string daf = Manual("daf.md"), ipf = Manual("ipf.md");
  check(Part(daf, "limits"), "daf.md#limits");
  check(Part(daf, "memorymap"), "daf.md#memorymap");
  check(Part(ipf, "limits"), "ipf.md#limits");
  for (const Known& k : known) {
    EXPECT_TRUE(k.stated) << "the manuals state no limit for '" << k.limit.text << "'";
  }
}

}  // namespace
}  // namespace qelc
