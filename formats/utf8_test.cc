#include "formats/utf8.h"

#include <gtest/gtest.h>

namespace qelc {
namespace {

TEST(Utf8Test, SequencesAreWellFormedOnlyAtTheirShortestAndBelowTheSurrogatesAndTheTop) {
  EXPECT_TRUE(IsUtf8(std::string("a\0b", 3)));
  EXPECT_TRUE(IsUtf8("\xC2\x80\xDF\xBF"));              // U+0080, U+07FF
  EXPECT_TRUE(IsUtf8("\xE0\xA0\x80\xED\x9F\xBF"));      // U+0800, U+D7FF
  EXPECT_TRUE(IsUtf8("\xEE\x80\x80\xF4\x8F\xBF\xBF"));  // U+E000, U+10FFFF
  EXPECT_FALSE(IsUtf8("\xC1\xBF"));                     // U+007F, overlong
  EXPECT_FALSE(IsUtf8("\xE0\x9F\xBF"));                 // U+07FF, overlong
  EXPECT_FALSE(IsUtf8("\xF0\x8F\xBF\xBF"));             // U+FFFF, overlong
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));                 // U+D800
  EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));             // U+110000
  EXPECT_FALSE(IsUtf8("\xF8\x88\x80\x80\x80"));
  EXPECT_FALSE(IsUtf8("\x80"));
  EXPECT_FALSE(IsUtf8("ab\xE2\x82"));  // cut at the end
  EXPECT_FALSE(IsUtf8("\xE2x\xAC"));   // cut by a plain byte
}

TEST(Utf8Test, EachStrayByteBecomesOneReplacementAndLatin1KeepsEveryByte) {
  EXPECT_EQ(ReplaceNonUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  // The lead of a cut sequence is replaced; the plain byte after it stays.
  EXPECT_EQ(ReplaceNonUtf8("\xE2x\xAC\xFF"), "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Latin1ToUtf8("\x7F\x80\xE9\xFF"), "\x7F\xC2\x80\xC3\xA9\xC3\xBF");
  EXPECT_EQ(Latin1ToUtf8("\xC3\xA9"), "\xC3\x83\xC2\xA9");
}

}  // namespace
}  // namespace qelc
