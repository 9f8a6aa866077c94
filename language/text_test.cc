#include "language/text.h"

#include <gtest/gtest.h>

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

// The compiler ends a line at a line feed only (a carriage return right
// before it is dropped, a lone one is a character of the line); an editor ends
// one at each of LF, CRLF and CR. The same place of the same text is one
// position either way.
TEST(Text, TheCompilersPlacesBecomeTheEditorsWhateverTheLineEnds) {
  LineIndex lf("Device D\nAlias {\n  X : 'Y'\n}\n");
  LineIndex crlf("Device D\r\nAlias {\r\n  X : 'Y'\r\n}\r\n");
  for (const LineIndex* index : {&lf, &crlf}) {
    EXPECT_EQ(index->RangeOf(3, 7, 3, 10), (Range{{2, 6}, {2, 9}}));
    // Past the end of a line: its end, before the line end.
    EXPECT_EQ(index->RangeOf(2, 7, 2, 99), (Range{{1, 6}, {1, 7}}));
    // Past the last line: the end of the text.
    EXPECT_EQ(index->RangeOf(9, 1, 9, 1), (Range{{4, 0}, {4, 0}}));
  }
  // Lone carriage returns: one compiler line, three editor lines.
  LineIndex cr("Device D\rAlias {\r  X : 'Y'\n}");
  EXPECT_EQ(cr.RangeOf(1, 24, 1, 27), (Range{{2, 6}, {2, 9}}));
  EXPECT_EQ(cr.RangeOf(2, 1, 2, 2), (Range{{3, 0}, {3, 1}}));
  EXPECT_EQ(cr.OffsetOf({2, 6}), 23u);
  EXPECT_EQ(cr.OffsetOf({1, 99}), 16u);  // the end of "Alias {", before its CR
}

TEST(Text, ColumnOfIsTheCompilersPlaceOfAnEditorsPosition) {
  std::string text = "ab\n\xC3\xA9x\xF0\x9F\x98\x80y\r\nz";
  LineIndex lines(text);
  // The emoji's two units; past the line's end, its end before the carriage return.
  EXPECT_EQ(lines.ColumnOf({1, 4}).column, 8);
  EXPECT_EQ(lines.ColumnOf({1, 40}).column, 9);
  EXPECT_EQ(lines.ColumnOf({9, 0}).line, 3);
  EXPECT_EQ(lines.ColumnOf({9, 0}).column, 2);
}

// Long lines are answered from marks along them: every offset of lines well
// over the marks' spacing, of one-, two-, three- and four-byte sequences, a
// broken one among them, must be the position a walk from the line's start
// gives, and back.
TEST(Text, LongLinesGiveThePositionsOfAWalkFromTheirStart) {
  std::string text = "short\r\n";
  const char* pieces[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE0"};
  for (int i = 0; i < 2000; ++i) text += pieces[(i * 7 + i / 5) % 5];
  text += "\rCR line\n";
  for (int i = 0; i < 700; ++i) text += pieces[i % 4];
  LineIndex lines(text);
  int32_t line = 0;
  int32_t units = 0;
  size_t next = 0;  // the start of the sequence the walk is in
  for (size_t offset = 0; offset <= text.size(); ++offset) {
    bool lineEnd = offset < text.size() && (text[offset] == '\r' || text[offset] == '\n');
    if (offset == next && !lineEnd) {
      ASSERT_EQ(lines.PositionOf(offset), (Position{line, units})) << offset;
      ASSERT_EQ(lines.OffsetOf({line, units}), offset) << offset;
    }
    if (offset == text.size()) break;
    if (text[offset] == '\n' || (text[offset] == '\r' && text[offset + 1] != '\n')) {
      ++line;
      units = 0;
      next = offset + 1;
    } else if (offset == next && !lineEnd) {
      unsigned char lead = static_cast<unsigned char>(text[offset]);
      size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      // A broken sequence is walked over as if whole, up to the line's end.
      length = std::min(length, text.find_first_of("\r\n", offset) - offset);
      units += length == 4 ? 2 : 1;
      next = offset + length;
    }
  }
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
