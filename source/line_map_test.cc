#include "source/line_map.h"

#include <gtest/gtest.h>

#include <string>

#include "source/preprocessor.h"
#include "source/test_support.h"

namespace qelc {
namespace {

bool operator==(const SourcePoint& a, const SourcePoint& b) {
  return a.file == b.file && a.line == b.line && a.column == b.column;
}

// An included file's last line without a line end runs on into the next line
// written: one preprocessed line, pieces of two files.
TEST(LineMapTest, PiecesOfOneLineKeepTheirOwnOrigins) {
  LineMap map;
  int32_t main = map.AddFile("dev.daf");
  int32_t included = map.AddFile("a.inc");
  map.Wrote("Device D\n", {main, 1, 1});
  map.Wrote("Alias {", {included, 4, 1});
  map.Wrote("  x : y\n", {main, 3, 1});
  map.Wrote("}\n", {main, 4, 1});
  // Lines that follow on one another, then a line after a gap (a directive
  // dropped) and a line of another file.
  map.Wrote("Pin {\n", {main, 5, 1});
  map.Wrote("  a\n", {main, 8, 1});
  map.Wrote("  b\n", {included, 9, 1});
  map.Wrote("}\n", {main, 9, 1});
  EXPECT_TRUE(map.Find({1, 8}) == (SourcePoint{main, 1, 8}));
  EXPECT_TRUE(map.Find({2, 7}) == (SourcePoint{included, 4, 7}));
  EXPECT_TRUE(map.Find({2, 10}) == (SourcePoint{main, 3, 3}));
  EXPECT_TRUE(map.Find({3, 1}) == (SourcePoint{main, 4, 1}));
  EXPECT_TRUE(map.Find({4, 4}) == (SourcePoint{main, 5, 4}));
  EXPECT_TRUE(map.Find({5, 3}) == (SourcePoint{main, 8, 3}));
  EXPECT_TRUE(map.Find({6, 3}) == (SourcePoint{included, 9, 3}));
  EXPECT_TRUE(map.Find({7, 1}) == (SourcePoint{main, 9, 1}));
  // The end of the input is just after the last character written.
  EXPECT_TRUE(map.Find({8, 1}) == (SourcePoint{main, 9, 2}));
  EXPECT_TRUE(LineMap().Find({1, 1}) == (SourcePoint{0, 1, 1}));
}

// Directives and dropped lines write nothing, and a line longer than a piece
// is written in pieces that continue its columns; the text is unchanged.
TEST(LineMapTest, PreprocessorEntersEveryPieceAtItsSourcePlace) {
  std::string longLine(1500, 'a');
  std::string source = "#define A 1\nx A\n#ifdef B\ndropped\n#endif\n" + longLine + "\nend";
  LineMap map;
  test_support::Preprocessed written = test_support::PreprocessText(source, &map);
  ASSERT_EQ(written.status, 1);
  EXPECT_EQ(written.text, "x 1\n" + longLine + "\nend");
  EXPECT_TRUE(map.Find({1, 3}) == (SourcePoint{0, 2, 3}));
  EXPECT_TRUE(map.Find({2, 1200}) == (SourcePoint{0, 6, 1200}));
  EXPECT_TRUE(map.Find({3, 2}) == (SourcePoint{0, 7, 2}));
}

}  // namespace
}  // namespace qelc
