#include "decompile/source_text.h"

#include <gtest/gtest.h>

namespace qelc::decompile {
namespace {

TEST(QuotedTest, EscapesApostrophesAndBackslashesOnly) {
  EXPECT_EQ(Quoted(""), "''");
  EXPECT_EQ(Quoted("LVCMOS 3.3 V"), "'LVCMOS 3.3 V'");
  EXPECT_EQ(Quoted("it's"), "'it\\'s'");
  EXPECT_EQ(Quoted("a\\b"), "'a\\\\b'");
  EXPECT_EQ(Quoted("\\'"), "'\\\\\\''");
  EXPECT_EQ(Quoted("two\nlines, : {x}"), "'two\nlines, : {x}'");
}

TEST(QuotedTest, RefusesTextsNoStringReadsBack) {
  EXPECT_EQ(Quoted(std::string_view("a\0b", 3)), std::nullopt);
  EXPECT_EQ(Quoted("a\r\nb"), std::nullopt);
  EXPECT_EQ(Quoted("a\n  #define X"), std::nullopt);
  EXPECT_EQ(Quoted("a # b"), "'a # b'");
}

TEST(AsWrittenTest, PlainWordsStayQuotedWordsAreRequoted) {
  EXPECT_EQ(AsWritten("LQFP48"), "LQFP48");
  EXPECT_EQ(AsWritten("P12.name"), "P12.name");
  EXPECT_EQ(AsWritten("'LQFP48'"), "'LQFP48'");
  EXPECT_EQ(AsWritten("'it's'"), "'it\\'s'");
  // Words a tokenizer splits or reads otherwise.
  for (const char* text : {"", "a b", "a:b", "x-1", "//c", "'open", "'", "a\tb"}) {
    EXPECT_EQ(AsWritten(text), std::nullopt) << text;
  }
}

TEST(AsTokenTest, DelimitersStandForThemselves) {
  EXPECT_EQ(AsToken("}"), "}");
  EXPECT_EQ(AsToken(";"), ";");
  EXPECT_EQ(AsToken("'it's'"), "'it\\'s'");
  for (const char* text : {"", "::", "a:", "//", "'"}) {
    EXPECT_EQ(AsToken(text), std::nullopt) << text;
  }
}

TEST(ConditionSourceTest, WritesEveryStoredWordBack) {
  EXPECT_EQ(ConditionSource(""), "");
  EXPECT_EQ(ConditionSource("\\PACKAGE\\is\\'P44'"), "PACKAGE is 'P44'");
  EXPECT_EQ(ConditionSource("\\PACKAGE\\is\\'P44'\\and\\(\\PN\\[\\3\\]\\isnot\\'X'\\or\\DEV\\isin"
                            "\\[\\'A'\\'B'\\]\\)"),
            "PACKAGE is 'P44' and (PN[3] isnot 'X' or DEV isin ['A' 'B'])");
  EXPECT_EQ(ConditionSource("\\DEV\\isnotin\\[\\]"), "DEV isnotin []");
  EXPECT_EQ(ConditionSource("\\GLC"), "GLC");
}

TEST(ConditionSourceTest, StringsWithBackslashesAndApostrophes) {
  // 'a\\b' stores the word 'a\b'; 'it\'s' stores 'it's'.
  EXPECT_EQ(ConditionSource("\\DEV\\is\\'a\\b'"), "DEV is 'a\\\\b'");
  EXPECT_EQ(ConditionSource("\\DEV\\is\\'it's'\\or\\GLC"), "DEV is 'it\\'s' or GLC");
  EXPECT_EQ(ConditionSource("\\DEV\\isin\\[\\'x\\'\\'y'\\]"), "DEV isin ['x\\\\' 'y']");
}

TEST(ConditionSourceTest, RefusesTextsNoConditionStores) {
  for (const char* stored :
       {"1", "else", "PACKAGE", "\\", "\\DEV\\\\is", "\\DEV\\is\\'open", "\\a b", "\\DEV\\is\\x",
        "\\DEV\\is", "\\)", "\\(\\DEV", "\\DEV\\[\\x\\]", "\\DEV\\isin\\[\\'a'"}) {
    EXPECT_EQ(ConditionSource(stored), std::nullopt) << stored;
  }
}

// A value that holds an apostrophe before a backslash can end at more than one
// place; the reading is the one whose words the grammar can have read, with
// each value as short as it allows.
TEST(ConditionSourceTest, ValuesEndWhereTheGrammarLetsThem) {
  // = 'x'\ then "or": the value cannot end before the backslash, since a
  // value after isnot is followed by and, or, ')' or the end.
  EXPECT_EQ(ConditionSource("\\DEV\\isnot\\'= 'x'\\'\\or\\DEV\\is\\'A'"),
            "DEV isnot '= \\'x\\'\\\\' or DEV is 'A'");
  EXPECT_EQ(ConditionSource("\\DEV\\isnot\\'= 'x'\\or\\DEV\\is\\'A'"),
            "DEV isnot '= \\'x' or DEV is 'A'");
  // Two readings store this: the short value, then "and GLC"; or one value.
  EXPECT_EQ(ConditionSource("\\DEV\\is\\'a'\\and\\GLC\\is\\'b'"), "DEV is 'a' and GLC is 'b'");
  EXPECT_EQ(ConditionSource("\\DEV\\is\\'a'\\and\\'b'"), "DEV is 'a\\'\\\\and\\\\\\'b'");
  EXPECT_EQ(ConditionSource("\\DEV\\IS\\'a'\\AND\\(\\)\\Or\\glc"), "DEV IS 'a' AND () Or glc");
  EXPECT_EQ(ConditionSource("\\DEV\\isin\\[\\''\\'\\]'\\]"), "DEV isin ['' '\\\\]']");
}

// Many places where a value might end, and parentheses around them: each is
// tried once, so the search ends at once and finds the reading.
TEST(ConditionSourceTest, ManyPossibleEndsAreSearchedOnce) {
  std::string stored = "\\(\\(\\(\\DEV\\isin\\[";
  for (int i = 0; i < 40; ++i) stored += "\\'a'";
  stored += "\\]\\)\\)";
  EXPECT_EQ(ConditionSource(stored), std::nullopt);  // a parenthesis is left open
  stored += "\\)";
  std::optional<std::string> source = ConditionSource(stored);
  ASSERT_TRUE(source.has_value());
  EXPECT_TRUE(source->starts_with("(((DEV isin ['a' 'a' ")) << *source;
}

}  // namespace
}  // namespace qelc::decompile
