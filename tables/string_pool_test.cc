#include "tables/string_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "source/fatal.h"
#include "source/test_support.h"

namespace qelc {
namespace {

using test_support::CaptureRun;
using test_support::RunResult;

// A pool over storage that the test owns, as the table block or the soft-IP
// library owns theirs.
class StringPoolTest : public ::testing::Test {
 protected:
  void SetUpPool(int32_t capacity, std::string_view existing = {}) {
    buffer_.assign(size_t(capacity), '\0');
    std::copy(existing.begin(), existing.end(), buffer_.begin());
    used_ = int32_t(existing.size());
    PoolSetUp(buffer_.data(), &used_, capacity);
  }
  void TearDown() override { PoolRelease(); }

  std::string Bytes() const { return std::string(buffer_.data(), size_t(used_)); }

  std::vector<char> buffer_;
  int32_t used_ = 0;
};

TEST_F(StringPoolTest, EmptyTextFirstBecomesReferenceZero) {
  SetUpPool(32000);
  EXPECT_EQ(PoolAdd(""), 0);
  EXPECT_EQ(used_, 1);
  EXPECT_EQ(PoolAdd("x"), 1);
  EXPECT_EQ(PoolAdd(""), 0);
  EXPECT_EQ(used_, 3);
  EXPECT_STREQ(PoolString(0), "");
  EXPECT_STREQ(PoolString(1), "x");
}

TEST_F(StringPoolTest, EqualTextsAreStoredOnceWithLetterCaseSignificant) {
  SetUpPool(32000);
  EXPECT_EQ(PoolAdd("abc"), 0);
  EXPECT_EQ(PoolAdd("abc"), 0);
  EXPECT_EQ(used_, 4);
  EXPECT_EQ(PoolAdd("ABC"), 4);
  EXPECT_EQ(Bytes(), std::string("abc\0ABC\0", 8));
}

TEST_F(StringPoolTest, TailsAndPrefixesAreNeverShared) {
  SetUpPool(32000);
  EXPECT_EQ(PoolAdd("xabc"), 0);
  EXPECT_EQ(PoolAdd("abc"), 5);
  EXPECT_EQ(PoolAdd("ab"), 9);
  EXPECT_EQ(Bytes(), std::string("xabc\0abc\0ab\0", 12));
}

TEST_F(StringPoolTest, PoolAddToFillsTheField) {
  SetUpPool(32000);
  PoolAdd("first");
  StringRef field = -1;
  EXPECT_EQ(PoolAddTo(field, "second"), 6);
  EXPECT_EQ(field, 6);
  EXPECT_EQ(PoolAddTo(field, "first"), 0);
  EXPECT_EQ(field, 0);
}

// A new text of n bytes (its NUL included) fits only while used + n stays below
// the capacity, so one byte of the buffer is never used.
TEST_F(StringPoolTest, CapacityBoundary) {
  SetUpPool(40);
  PoolAdd(std::string(29, 'a'));  // 30 bytes: 10 below the capacity
  ASSERT_EQ(used_, 30);

  RunResult refused = CaptureRun([] { PoolAdd("123456789"); });
  EXPECT_TRUE(refused.exited);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "out of space.\n");
  EXPECT_EQ(used_, 30);

  RunResult fits = CaptureRun([] { EXPECT_EQ(PoolAdd("12345678"), 30); });
  EXPECT_FALSE(fits.exited);
  EXPECT_EQ(used_, 39);

  // Full as it can be: a text that is already there is still found, nothing
  // new fits, not even the empty text.
  EXPECT_EQ(PoolAdd("12345678"), 30);
  EXPECT_EQ(CaptureRun([] { PoolAdd(""); }).out, "out of space.\n");
  EXPECT_EQ(used_, 39);
}

TEST_F(StringPoolTest, CompareIgnoresAsciiLetterCaseLikeStrcasecmp) {
  SetUpPool(32000);
  StringRef abc = PoolAdd("Abc");
  EXPECT_EQ(PoolCompare(abc, "aBC"), 0);
  EXPECT_LT(PoolCompare(abc, "abd"), 0);
  EXPECT_GT(PoolCompare(abc, "ABB"), 0);
  EXPECT_LT(PoolCompare(abc, "abcd"), 0);
  EXPECT_GT(PoolCompare(abc, "ab"), 0);
  EXPECT_GT(PoolCompare(abc, ""), 0);
  EXPECT_EQ(PoolCompare(PoolAdd(""), ""), 0);
  // Letters fold to lower case, so '_' sorts before every letter.
  EXPECT_LT(PoolCompare(PoolAdd("_"), "A"), 0);
  // Bytes above 127 are not folded and compare as unsigned values.
  StringRef accented = PoolAdd("\xC9");
  EXPECT_NE(PoolCompare(accented, "\xE9"), 0);
  EXPECT_GT(PoolCompare(accented, "z"), 0);
}

TEST_F(StringPoolTest, SetUpOverExistingContentFindsItsStrings) {
  // Written by an earlier owner: a repeated string is found at its first copy.
  SetUpPool(64, std::string("\0a\0b\0a\0", 7));
  EXPECT_EQ(PoolAdd(""), 0);
  EXPECT_EQ(PoolAdd("a"), 1);
  EXPECT_EQ(PoolAdd("b"), 3);
  EXPECT_EQ(PoolAdd("c"), 7);
  EXPECT_EQ(used_, 9);
}

TEST_F(StringPoolTest, SettingUpAgainForgetsTheOldPool) {
  SetUpPool(64);
  PoolAdd("old");
  std::vector<char> other(64, '\0');
  int32_t otherUsed = 0;
  PoolSetUp(other.data(), &otherUsed, 64);
  EXPECT_EQ(PoolAdd("new"), 0);
  EXPECT_EQ(PoolAdd("old"), 4);
  EXPECT_EQ(otherUsed, 8);
  EXPECT_EQ(used_, 4);
}

// The references a walk over the pool from its start would give, for comparison.
StringRef WalkingAdd(std::string& pool, std::string_view text) {
  for (size_t offset = 0; offset < pool.size();) {
    size_t length = std::strlen(pool.c_str() + offset);
    if (std::string_view(pool.c_str() + offset, length) == text) return StringRef(offset);
    offset += length + 1;
  }
  StringRef ref = StringRef(pool.size());
  pool.append(text);
  pool.push_back('\0');
  return ref;
}

TEST_F(StringPoolTest, ReferencesAndBytesMatchAWalkOverThePool) {
  SetUpPool(32000, std::string("\0pre\0x\0", 7));
  std::string walked("\0pre\0x\0", 7);
  uint32_t seed = 12345;
  const char alphabet[] = "aAbB_";
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245 + 12345;
    std::string text;
    for (uint32_t length = (seed >> 16) % 5; length > 0; --length) {
      seed = seed * 1103515245 + 12345;
      text.push_back(alphabet[(seed >> 16) % 5]);
    }
    ASSERT_EQ(PoolAdd(text), WalkingAdd(walked, text)) << i << " " << text;
  }
  EXPECT_EQ(Bytes(), walked);
}

}  // namespace
}  // namespace qelc
