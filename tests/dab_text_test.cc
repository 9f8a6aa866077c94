#include "tests/dab_text.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "tests/dab_layout.h"

namespace qelc::test {

namespace {

int32_t FieldValue(const std::string& bytes, const std::string& path) {
  size_t at = ResolvePath(path).offset;
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(bytes[at + size_t(i)])) << (8 * i);
  return int32_t(value);
}

// Expands `text` with includes served from `files`.
DabImage Expand(const std::string& text, std::map<std::string, std::string> files = {}) {
  return ExpandDabText(text, "case.dab.txt", [files](const std::string& name) {
    auto found = files.find(name);
    return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
  });
}

// The message of the error that expanding `text` raises, or "" when it expands.
std::string ExpandError(const std::string& text, std::map<std::string, std::string> files = {}) {
  try {
    Expand(text, std::move(files));
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "";
}

// Offsets worked out by hand from the table map and the record layouts.
TEST(DabLayout, PathsResolveToTheirPlaceInTheBlock) {
  const std::map<std::string, size_t> expected = {
      {"poolUsedSize", 0x14},
      {"pinNumbers[0].rows[3].package", 0x20 + 4 + 3 * 16},
      {"pinNumbers[9].rows[149].name", 0x5E08 - 4},
      {"aliases[1].rows[0].target", 0x5E08 + 804 + 4 + 4},
      {"typeShortHands[0].code", 0x7EB0},
      {"typeShortHands[1].value", 0x7EB0 + 16 + 12},
      {"initialize[0].rows[0].changeable", 0x9170 + 4 + 8},
      {"initialize[1].rows[2].displayName", 0x9170 + 1924 + 4 + 2 * 24 + 20},
      {"prolog[1].statements.slots[0].kind", 0x20938 + 68 + 4},
      {"epilog[0].statements.slots[7].text", 0x20E88 + 4 + 7 * 8 + 4},
      {"groups[0].groups[1].members[2].alternative", 0x213D8 + 4 + 1272 + 8 + 2 * 12 + 8},
      {"groups[2].groups[0].statements.slots[1].text", 0x213D8 + 2 * 50884 + 4 + 1208 + 8 + 4},
      {"outputSyntaxes[299].statements.slots[7].text", 0xA2730 - 4},
      {"pinGroups[0].conditions[1].categories[0].selections[2]", 0xA2730 + 64 + 724 + 4 + 4 + 8},
      {"typeConversions[1].third", 0x1ADEE0 + 12 + 8},
      {"deviceSpecificInfoTable[1].number", 0x1AE138 + 8},
      {"deviceSpecificInfo[0].items[29]", 0x1AE228 + 4 + 29 * 4},
      {"hardwareSupportTable[4].text", 0x1AF0D8 - 4},
      {"hardwareSupport[1].condition", 0x1AF0D8 + 24},
      {"packageInfoTable[1].number", 0x1AF3A8 + 8},
      {"voltageRangeTable[1].number", 0x1AF448 + 8},
      {"templateLink[0].items[9]", 0x1AF498 + 40},
      {"cCodeFileName[99].items[2]", 0x1B0000 - 4},
      {"cCodeExample[0].condition", 0x1B0000},
      {"qelConfig[2].items[5]", 0x1B09B0 + 2 * 284 + 4 + 5 * 4},
      {"memoryMaps[0].maps[0].entries[3].fields[7]", 0x1B3610 + 4 + 20 + 3 * 32 + 28},
      {"memoryMaps[0].maps[1].number", 0x1B3610 + 4 + 980},
      {"memoryMaps[19].maps[9].entries[29].fields[7]", kBlockSize - 4},
  };
  for (const auto& [path, offset] : expected) {
    EXPECT_EQ(ResolvePath(path).offset, offset) << path;
    // Every byte of the field is named by the same path.
    EXPECT_EQ(NameByte(offset).path, path);
    EXPECT_EQ(NameByte(offset + 3).path, path);
  }
  EXPECT_EQ(ResolvePath("typeShortHands[0].code").kind, FieldKind::kInteger);
  EXPECT_EQ(ResolvePath("typeShortHands[0].name").kind, FieldKind::kReference);
  EXPECT_EQ(NameByte(3).path, "formatVersion");
  EXPECT_EQ(BlockLayout().size, kBlockSize);
}

TEST(DabLayout, WrongPathsAreRefusedWithTheirReason) {
  auto problem = [](const std::string& path) -> std::string {
    try {
      ResolvePath(path);
    } catch (const std::invalid_argument& error) {
      return error.what();
    }
    return "resolved";
  };
  EXPECT_NE(problem("pinNumber[0].condition").find("no table named 'pinNumber'"),
            std::string::npos);
  EXPECT_NE(problem("groups[0].groups[1].member[2].item").find(
                "'groups[0].groups[1]' has no field named 'member' (known: name, text, members, "
                "statements)"),
            std::string::npos);
  EXPECT_NE(problem("groups[10].condition").find("index 10 is out of range for 'groups', which "
                                                 "has 10 entries (0 to 9)"),
            std::string::npos);
  EXPECT_NE(problem("qelConfig[0].items[70]").find("out of range"), std::string::npos);
  EXPECT_NE(problem("typeShortHands.code").find("needs an index"), std::string::npos);
  EXPECT_NE(problem("typeShortHands[0].code[1]").find("is not a list"), std::string::npos);
  EXPECT_NE(problem("prolog[0].statements").find("is a record"), std::string::npos);
  EXPECT_NE(problem("prolog[0].condition.x").find("has no parts"), std::string::npos);
  EXPECT_NE(problem("prolog[x].condition").find("not a number"), std::string::npos);
  EXPECT_NE(problem("prolog[-1].condition").find("index -1 is out of range"), std::string::npos);
}

TEST(DabText, BuildsHeaderPoolAndFields) {
  DabImage image = Expand(
      "# comment line\n"
      "pool \"\" \"1\"   # two strings\n"
      "pool \"\\\\PACKAGE\\\\is\\\\'P44'\"\n"
      "typeShortHands[0].code = -1\n"
      "pinNumbers[0].condition=\"\\\\PACKAGE\\\\is\\\\'P44'\"\n"
      "pinNumbers[0].rows[0].pinNumber = 0x10\n"
      "prolog[0].condition = \"1\"\n");
  ASSERT_EQ(image.bytes.size(), kBlockSize + 1 + 2 + 18);
  EXPECT_EQ(image.bytes.substr(0, 20), std::string("6.0.0.0.1\0\0\0\0\0\0\0\0\0\0\0", 20));
  EXPECT_EQ(FieldValue(image.bytes, "poolUsedSize"), 21);
  EXPECT_EQ(FieldValue(image.bytes, "poolCapacity"), 32000);
  EXPECT_EQ(FieldValue(image.bytes, "poolAddress"), 0);
  EXPECT_EQ(image.bytes.substr(kBlockSize), std::string("\0" "1\0\\PACKAGE\\is\\'P44'\0", 21));
  EXPECT_EQ(FieldValue(image.bytes, "typeShortHands[0].code"), -1);
  EXPECT_EQ(FieldValue(image.bytes, "pinNumbers[0].condition"), 3);
  EXPECT_EQ(FieldValue(image.bytes, "pinNumbers[0].rows[0].pinNumber"), 16);
  EXPECT_EQ(FieldValue(image.bytes, "prolog[0].condition"), 1);
}

TEST(DabText, PoolEscapes) {
  DabImage image = Expand("pool \"a\\x01b\\x01\" \"q\\\"\\\\\" \"\\xff\\t\\n\\r\" \"#x\"\n");
  EXPECT_EQ(image.bytes.substr(kBlockSize),
            std::string("a\x01" "b\x01\0q\"\\\0\xff\t\n\r\0#x\0", 17));
  ASSERT_EQ(image.pool.size(), 4u);
  EXPECT_EQ(image.pool[2].offset, 9u);
  EXPECT_EQ(image.pool[3].text, "#x");  // '#' inside a string is no comment
}

TEST(DabText, StringValueStandsForItsFirstOccurrence) {
  DabImage image = Expand("pool \"\" \"x\" \"x\"\ngroups[0].condition = \"x\"\n");
  EXPECT_EQ(FieldValue(image.bytes, "groups[0].condition"), 1);
}

TEST(DabText, IncludeAndLaterAssignmentsWin) {
  std::map<std::string, std::string> files = {
      {"init", "pool \"\"\ntypeShortHands[1].code = -1\n"}};
  DabImage image = Expand("include init\npool \"S\"\ntypeShortHands[1].code = 7\n", files);
  EXPECT_EQ(FieldValue(image.bytes, "typeShortHands[1].code"), 7);
  EXPECT_EQ(image.bytes.substr(kBlockSize), std::string("\0S\0", 3));
}

TEST(DabText, ErrorsNameTheLineAndTheProblem) {
  EXPECT_EQ(ExpandError("pool \"\"\n\nbogus[0].x = 1\n").rfind("case.dab.txt:3: field path "
                                                                   "'bogus[0].x': no table named "
                                                                   "'bogus'", 0),
            0u);
  EXPECT_NE(ExpandError("typeShortHands[300].code = 1\n").find("case.dab.txt:1: "),
            std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[300].code = 1\n").find("out of range"), std::string::npos);
  EXPECT_EQ(ExpandError("pool \"\" \"a\"\ngroups[0].condition = \"b\"\n"),
            "case.dab.txt:2: \"b\" is not one of the pool strings listed");
  EXPECT_NE(ExpandError("pool \"\"\ntypeShortHands[0].code = \"\"\n").find("is a number field"),
            std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[0].name = 0\n").find("is a string field"),
            std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[0].code = x1\n").find("neither a number"),
            std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[0].code = 4294967296\n").find("does not fit"),
            std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[0].code 1\n").find("expected '='"), std::string::npos);
  EXPECT_NE(ExpandError("typeShortHands[0].code = 1 2\n").find("unexpected text"),
            std::string::npos);
  EXPECT_NE(ExpandError("formatVersion = 1\n").find("implied"), std::string::npos);
  EXPECT_NE(ExpandError("pool \"a\\q\"\n").find("unknown escape '\\q'"), std::string::npos);
  EXPECT_NE(ExpandError("pool \"a\\x0\"\n").find("two hex digits"), std::string::npos);
  EXPECT_NE(ExpandError("pool \"a\\x00\"\n").find("\\x00"), std::string::npos);
  EXPECT_NE(ExpandError("pool \"abc\n").find("not closed"), std::string::npos);
  EXPECT_NE(ExpandError("pool\n").find("at least one"), std::string::npos);
  EXPECT_NE(ExpandError("pool abc\n").find("expected '\"'"), std::string::npos);
  EXPECT_NE(ExpandError("include nothing\n").find("cannot read the include file of 'nothing'"),
            std::string::npos);
  // An error inside an include names the include file.
  EXPECT_EQ(ExpandError("include bad\n", {{"bad", "\nx = 1\n"}}).rfind("bad.dab.txt:2: ", 0), 0u);
  EXPECT_NE(ExpandError("include self\n", {{"self", "include self\n"}}).find("nested too deeply"),
            std::string::npos);
}

TEST(DabDifference, NamesTheFieldOfTheFirstDifferingByte) {
  DabImage expected = Expand(
      "pool \"\" \"G\"\ngroups[0].groups[1].members[2].alternative = 3\n"
      "groups[0].groups[1].name = \"G\"\n");
  EXPECT_EQ(DescribeDabDifference(expected, expected.bytes), "");

  std::string actual = expected.bytes;
  actual[ResolvePath("groups[0].groups[1].members[2].alternative").offset] = 0;
  actual[ResolvePath("groups[0].groups[1].name").offset] = 0;
  std::string message = DescribeDabDifference(expected, actual);
  EXPECT_NE(message.find("first difference at byte " +
                         std::to_string(ResolvePath("groups[0].groups[1].name").offset) +
                         ": groups[0].groups[1].name: expected 1 (\"G\"), actual 0 (\"\")"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("then groups[0].groups[1].members[2].alternative: expected 3, actual 0"),
            std::string::npos)
      << message;
}

TEST(DabDifference, NamesThePoolStringOfTheFirstDifferingPoolByte) {
  DabImage expected = Expand("pool \"\" \"1\" \"abc\"\n");
  std::string actual = expected.bytes;
  actual[kBlockSize + 5] = 'x';
  std::string message = DescribeDabDifference(expected, actual);
  EXPECT_NE(message.find("pool byte 5 (string #2 \"abc\" at pool offset 3): expected \"c\", "
                         "actual \"x\"; the actual pool holds \"abx\" at pool offset 3"),
            std::string::npos)
      << message;

  std::string shorter = expected.bytes.substr(0, kBlockSize + 3);
  message = DescribeDabDifference(expected, shorter);
  EXPECT_NE(message.find("the file has " + std::to_string(kBlockSize + 3) + " bytes, expected " +
                         std::to_string(kBlockSize + 7)),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("pool byte 3 (string #2 \"abc\" at pool offset 3): expected \"a\", "
                         "actual end of file"), std::string::npos)
      << message;
}

TEST(DabDifference, ATruncatedBlockIsReported) {
  DabImage expected = Expand("pool \"\"\ntypeShortHands[0].code = -1\n");
  std::string message = DescribeDabDifference(expected, expected.bytes.substr(0, 100));
  EXPECT_NE(message.find("the file has 100 bytes"), std::string::npos) << message;
}

}  // namespace

}  // namespace qelc::test
