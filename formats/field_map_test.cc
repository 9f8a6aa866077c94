// The field map against the numbers of the file format, written out here so
// that the map, the reader and the writer cannot be wrong together.
#include "formats/field_map.h"

#include <gtest/gtest.h>

#include <string>

namespace qelc {
namespace {

size_t OffsetOf(std::string_view path) {
  std::string problem;
  FieldTarget target = ResolveFieldPath(DabBlockMap(), path, problem);
  EXPECT_NE(target.node, nullptr) << path << ": " << problem;
  return target.offset;
}

TEST(FieldMap, PlacesFieldsWhereTheFormatPutsThem) {
  EXPECT_EQ(DabBlockMap().size, 0x1E3400u);
  EXPECT_EQ(OffsetOf("poolCapacity"), 0x18u);
  EXPECT_EQ(OffsetOf("typeShortHands[1].code"), 0x7EB0u + 16);
  EXPECT_EQ(OffsetOf("initialize[0].rows[0].changeable"), 0x9170u + 4 + 8);
  EXPECT_EQ(OffsetOf("prolog[1].statements.slots[0].kind"), 0x20938u + 68 + 4);
  EXPECT_EQ(OffsetOf("groups[0].groups[1].members[2].alternative"),
            0x213D8u + 4 + 1272 + 8 + 24 + 8);
  EXPECT_EQ(OffsetOf("groups[0].groups[0].statements.slots[7].text"), 0x213D8u + 4 + 1208 + 60);
  EXPECT_EQ(OffsetOf("pinGroups[1].conditions[1].categories[0].selections[2]"),
            0xA2730u + 7304 + 64 + 724 + 4 + 4 + 8);
  EXPECT_EQ(OffsetOf("voltageRangeTable[1].number"), 0x1AF448u + 8);
  EXPECT_EQ(OffsetOf("qelConfig[2].items[5]"), 0x1B09B0u + 2 * 284 + 4 + 20);
  EXPECT_EQ(OffsetOf("memoryMaps[19].maps[9].entries[29].fields[7]"),
            0x1B3610u + 19 * 9804 + 4 + 9 * 980 + 20 + 29 * 32 + 28);
  EXPECT_EQ(OffsetOf("memoryMaps[19].maps[9].entries[29].fields[7]") + 4, 0x1E3400u);
}

TEST(FieldMap, RefusesPathsThatNameNothing) {
  const std::pair<const char*, const char*> refused[] = {
      {"pool", "no field named 'pool'"},
      {"aliases[10]", "'aliases' has no element [10] (0 to 9)"},
      {"aliases[x]", "'aliases' has no element [x] (0 to 9)"},
      {"aliases.condition", "'aliases' needs an index"},
      {"poolCapacity[0]", "'poolCapacity' has no element [0]"},
      {"aliases[0", "'aliases' has no element [0 (0 to 9)"},
      {"aliases[0].condition.x", "'aliases[0].condition' has no fields"},
      {"aliases[0].rows[1].name", "no field named 'name'"},
      // Each name that misses is put right in the path proposed.
      {"PinGroups[1].Conditions[1].categories[0].selection[2]",
       "no field named 'PinGroups'; did you mean "
       "'pinGroups[1].conditions[1].categories[0].selections[2]'?"},
      {"Aliases[10]", "no field named 'Aliases'"},
  };
  for (const auto& [path, problem] : refused) {
    std::string said;
    EXPECT_EQ(ResolveFieldPath(DabBlockMap(), path, said).node, nullptr) << path;
    EXPECT_EQ(said, problem) << path;
  }
  std::string said;
  FieldTarget table = ResolveFieldPath(DabBlockMap(), "extensions", said);
  EXPECT_FALSE(table.indexed);
  EXPECT_EQ(table.node->count, 20);
}

}  // namespace
}  // namespace qelc
