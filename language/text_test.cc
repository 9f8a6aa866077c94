#include "language/text.h"

#include <gtest/gtest.h>

#include "language/directives.h"
#include "language/scan.h"
#include "language/workspace.h"
#include "source/preprocessor.h"

namespace qelc::language {
namespace {

TEST(Text, PositionsCountUtf16Units) {
  // "é" is two bytes and one unit; the emoji four bytes and two units.
  std::string text = "ab\n\xC3\xA9x\xF0\x9F\x98\x80y\r\nz";
  EXPECT_EQ(OffsetOf(text, {1, 1}), 5u);
  EXPECT_EQ(OffsetOf(text, {1, 2}), 6u);
  EXPECT_EQ(OffsetOf(text, {1, 4}), 10u);
  EXPECT_EQ(PositionOf(text, 10), (Position{1, 4}));
  // Past the end of a line: its end, before the carriage return.
  EXPECT_EQ(OffsetOf(text, {1, 40}), 11u);
  // Past the last line: the end of the text.
  EXPECT_EQ(OffsetOf(text, {9, 0}), text.size());
  EXPECT_EQ(PositionOf(text, text.size()), (Position{2, 1}));
}

TEST(Text, LineIndexFindsWhatTheWholeTextWalkFinds) {
  std::string text = "ab\n\xC3\xA9x\xF0\x9F\x98\x80y\r\nz";
  LineIndex lines(text);
  for (int32_t line = 1; line <= 4; ++line) {
    for (int32_t column = 1; column <= 12; ++column) {
      EXPECT_EQ(lines.PositionOfColumn(line, column),
                PositionOf(text, OffsetOfColumn(text, line, column)))
          << line << ":" << column;
      EXPECT_EQ(lines.Offset(line, column), OffsetOfColumn(text, line, column));
    }
  }
  // The emoji's two units; past the line's end, its end before the carriage return.
  EXPECT_EQ(lines.ColumnOf({1, 4}).column, 8);
  EXPECT_EQ(lines.ColumnOf({1, 40}).column, 9);
  EXPECT_EQ(lines.ColumnOf({9, 0}).line, 3);
  EXPECT_EQ(lines.ColumnOf({9, 0}).column, 2);
}

TEST(Text, TokenRangeCoversTheTokenAtTheCompilersColumn) {
  std::string text = "Device QX1\n  When PACKAGE is 'LQ \\'48' :\n";
  EXPECT_EQ(TokenRange(text, 2, 8), (Range{{1, 7}, {1, 14}}));    // a word
  EXPECT_EQ(TokenRange(text, 2, 19), (Range{{1, 18}, {1, 27}}));  // a string with \'
  EXPECT_EQ(TokenRange(text, 2, 29), (Range{{1, 28}, {1, 29}}));  // a delimiter
  EXPECT_EQ(TokenRange(text, 2, 99), (Range{{1, 29}, {1, 29}}));  // past the line
  EXPECT_EQ(TokenRange(text, 9, 1), (Range{{2, 0}, {2, 0}}));     // past the text
  // A string left open ends at its line's end.
  EXPECT_EQ(TokenRange("  'open\nnext", 1, 3), (Range{{0, 2}, {0, 7}}));
}

TEST(Scan, WordsKeepPlacesAndDepthAndPassOverCommentsAndDirectives) {
  std::string text = "#define X 1\nPin { // c\n  P7.name = 'a b' }\n";
  std::vector<Word> words = ScanWords(text);
  std::vector<std::string_view> seen;
  for (const Word& word : words) seen.push_back(word.text);
  EXPECT_EQ(seen, (std::vector<std::string_view>{"Pin", "{", "P7.name", "=", "'a b'", "}"}));
  EXPECT_EQ(words[2].depth, 1);
  EXPECT_EQ(words[5].depth, 0);
  EXPECT_EQ(words[4].kind, Word::Kind::kString);
  EXPECT_EQ(Unquoted(words[4].text), "a b");
  EXPECT_EQ(WordIndexAt(words, text.find("name")), 2u);
  EXPECT_EQ(WordIndexAt(words, text.find("//")), words.size());
}

TEST(Directives, ReadAsThePreprocessorReadsThem) {
  auto include = DirectiveOf("  #includes \"pins.inc\" more");
  ASSERT_TRUE(include);
  EXPECT_EQ(include->kind, kIncludeLine);
  EXPECT_EQ(include->name, "pins.inc");
  EXPECT_EQ(include->nameStart, 13u);
  auto define = DirectiveOf("#define W 8");
  ASSERT_TRUE(define);
  EXPECT_EQ(define->kind, kDefineLine);
  EXPECT_EQ(define->nameStart, 8u);
  EXPECT_FALSE(DirectiveOf("#pragma once"));
  EXPECT_FALSE(DirectiveOf("Device X"));
}

TEST(Workspace, NamesFilesAsQelcRunInTheRootDoes) {
  Workspace files("/w/project/");
  EXPECT_EQ(files.SourceName("/w/project/sub/../dev.daf"), "dev.daf");
  EXPECT_EQ(files.SourceName("/elsewhere/dev.daf"), "/elsewhere/dev.daf");
  EXPECT_EQ(files.PathOf("inc/pins.inc"), "/w/project/inc/pins.inc");
  files.Open("/w/project/inc/pins.inc", "unsaved");
  EXPECT_EQ(files.Read("inc/pins.inc"), "unsaved");
  EXPECT_EQ(files.Read("missing.inc"), std::nullopt);
  EXPECT_EQ(PathOfUri("file:///a%20b/c%2Ed.daf"), "/a b/c.d.daf");
  EXPECT_EQ(UriOfPath("/a b/c#.daf"), "file:///a%20b/c%23.daf");
  EXPECT_EQ(PathOfUri("untitled:1"), "");
  EXPECT_TRUE(IsSource("x.DAF"));
  EXPECT_TRUE(IsSoftIpSource("x.ipfx"));
  EXPECT_FALSE(IsSource("x.inc"));
}

}  // namespace
}  // namespace qelc::language
