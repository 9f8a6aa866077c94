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
       {"1", "else", "PACKAGE", "\\", "\\DEV\\\\is", "\\DEV\\is\\'open", "\\a b"}) {
    EXPECT_EQ(ConditionSource(stored), std::nullopt) << stored;
  }
}

// A value that holds an apostrophe before a backslash can be split where it
// was not written: the value = 'x'\ followed by "or" reads as the two values
// '= 'x' and '\or...', which no condition puts side by side. Such a text is
// refused rather than written wrong.
TEST(ConditionSourceTest, RefusesASplitThatTheGrammarCannotHaveRead) {
  EXPECT_EQ(ConditionSource("\\DEV\\isnot\\'= 'x'\\'\\or\\DEV\\is\\'A'"), std::nullopt);
  EXPECT_EQ(ConditionSource("\\DEV\\isnot\\'= 'x'\\or\\DEV\\is\\'A'"),
            "DEV isnot '= \\'x' or DEV is 'A'");
}

}  // namespace
}  // namespace qelc::decompile
