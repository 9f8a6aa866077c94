#include "tests/text_diff.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/hex_text.h"

namespace qelc::test {

namespace {

TEST(TextDifference, ShowsTheFirstDifferingLineOfBoth) {
  EXPECT_EQ(DescribeTextDifference("same\n", "same\n"), "");
  EXPECT_EQ(DescribeTextDifference("Begins parsing\nLine:     2: x\n",
                                   "Begins parsing\nLine:     3: x\n"),
            "first difference in line 2, column 11 (byte 25)\n"
            "  expected: \"Line:     2: x\\n\"\n"
            "  actual:   \"Line:     3: x\\n\"\n"
            "  sizes: expected 30 bytes, actual 30 bytes");
}

TEST(TextDifference, EscapesBytesAndShowsAMissingLineEnd) {
  std::string message = DescribeTextDifference("a\x01\tb\n", "a\x01\tb");
  EXPECT_NE(message.find("expected: \"a\\x01\\tb\\n\"\n"), std::string::npos) << message;
  EXPECT_NE(message.find("actual:   \"a\\x01\\tb\" (no line end)"), std::string::npos) << message;
}

TEST(TextDifference, ALineOnlyOneSideHas) {
  std::string message = DescribeTextDifference("a\n", "a\nextra\n");
  EXPECT_NE(message.find("line 2"), std::string::npos) << message;
  EXPECT_NE(message.find("expected: (no such line: the text ends before it)"), std::string::npos)
      << message;
  EXPECT_NE(message.find("actual:   \"extra\\n\""), std::string::npos) << message;
}

TEST(TextDifference, LongLinesAreCutAroundTheDifference) {
  std::string expected(1000, 'a');
  std::string actual = expected;
  actual[900] = 'b';
  std::string message = DescribeTextDifference(expected, actual);
  EXPECT_NE(message.find("column 901"), std::string::npos) << message;
  EXPECT_NE(message.find("actual:   ...\"" + std::string(80, 'a') + "b"), std::string::npos)
      << message;
  EXPECT_LT(message.size(), 600u);
}

TEST(ByteDifference, ShowsOffsetValuesAndSizes) {
  EXPECT_EQ(DescribeByteDifference("\x01\x02", "\x01\x02"), "");
  EXPECT_EQ(DescribeByteDifference(std::string("\x01\x02\x03", 3), std::string("\x01\xff", 2)),
            "first difference at byte 1: expected 02, actual ff\n"
            "  expected: 01 [02] 03\n"
            "  actual:   01 [ff]\n"
            "  sizes: expected 3 bytes, actual 2 bytes");
  EXPECT_NE(DescribeByteDifference("ab", "a").find("expected 62, actual end of file"),
            std::string::npos);
}

TEST(HexText, PairsRunsAndComments) {
  EXPECT_EQ(ParseHexText("# header\n01 ff\n  0a1B # two bytes\r\n\n", "x.hex"),
            std::string("\x01\xff\x0a\x1b", 4));
  EXPECT_EQ(ParseHexText("", "x.hex"), "");
}

TEST(HexText, RefusesOddDigitsAndOtherCharacters) {
  auto problem = [](const std::string& text) -> std::string {
    try {
      ParseHexText(text, "x.hex");
    } catch (const std::invalid_argument& error) {
      return error.what();
    }
    return "parsed";
  };
  EXPECT_EQ(problem("01\n0 1\n"), "x.hex:2: odd number of hex digits");
  EXPECT_EQ(problem("abc"), "x.hex:1: odd number of hex digits");
  EXPECT_EQ(problem("0a1#x"), "x.hex:1: odd number of hex digits");
  EXPECT_EQ(problem("0a\nzz"), "x.hex:2: 'z' is not a hex digit");
}

}  // namespace

}  // namespace qelc::test
