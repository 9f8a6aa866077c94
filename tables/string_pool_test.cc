#include "tables/string_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "source/test_support.h"

namespace qelc {
namespace {

// A pool over storage that the test owns, as the table block or the soft-IP
// library owns theirs.
class StringPoolTest : public ::testing::Test {
 protected:
  void SetUpPool(int32_t capacity, std::string_view existing = {}) {
    buffer_.assign(size_t(capacity), '\0');
    std::copy(existing.begin(), existing.end(), buffer_.begin());
    used_ = int32_t(existing.size());
    pool_.SetUp(buffer_.data(), &used_, capacity);
  }
  void TearDown() override { pool_.Release(); }
  std::string Bytes() const { return std::string(buffer_.data(), size_t(used_)); }
  // The console text of adding `text` to a pool that ends the run.
  std::string Refused(std::string_view text) {
    test_support::RunResult refused = reporting_.Run([&] { pool_.Add(text); });
    EXPECT_EQ(std::make_pair(refused.exited, refused.status), std::make_pair(true, 1)) << text;
    return refused.out;
  }

  std::vector<char> buffer_;
  int32_t used_ = 0;
  test_support::Reporting reporting_;
  StringPool pool_{reporting_.diagnostics};
};

// The reference a walk over the pool from its start gives: the first string
// equal to `text` (letter case significant, no tail or prefix shared), else a new one.
StringRef WalkingAdd(std::string& pool, std::string_view text) {
  for (size_t offset = 0; offset < pool.size();) {
    size_t length = std::strlen(pool.c_str() + offset);
    if (std::string_view(pool.c_str() + offset, length) == text) return StringRef(offset);
    offset += length + 1;
  }
  pool.append(text);
  pool.push_back('\0');
  return StringRef(pool.size() - text.size() - 1);
}

// Set up over strings an earlier owner wrote, "x" among them twice. Half of
// the texts are added as fields that remember their last text (AddRecent): the
// texts repeat, share prefixes and are empty often enough that every way a
// remembered text can match or not comes up.
TEST_F(StringPoolTest, ReferencesAndBytesMatchAWalkOverThePool) {
  std::string walked("\0pre\0x\0x\0", 9);
  SetUpPool(32000, walked);
  StringPool::Recent fields[3];
  uint32_t seed = 12345;
  const char alphabet[] = "aAbBx";
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245 + 12345;
    std::string text;
    for (uint32_t length = (seed >> 16) % 5; length > 0; --length) {
      seed = seed * 1103515245 + 12345;
      text.push_back(alphabet[(seed >> 16) % 5]);
    }
    StringRef added = i % 2 ? pool_.Add(text) : pool_.AddRecent(fields[i / 2 % 3], text);
    ASSERT_EQ(added, WalkingAdd(walked, text)) << i << " " << text;
  }
  EXPECT_EQ(Bytes(), walked);
  EXPECT_STREQ(pool_.String(5), "x");
}

// A new text of n bytes (its NUL included) fits only while used + n stays below
// the capacity, so one byte of the buffer is never used.
TEST_F(StringPoolTest, CapacityBoundary) {
  SetUpPool(40, std::string(29, 'a') + '\0');
  EXPECT_EQ(Refused("123456789"), "out of space.\n");
  EXPECT_EQ(used_, 30);
  EXPECT_EQ(pool_.Add("12345678"), 30);
  EXPECT_EQ(used_, 39);
  // Full as it can be: a text that is already there is still found, nothing
  // new fits, not even the empty text.
  EXPECT_EQ(pool_.Add("12345678"), 30);
  EXPECT_EQ(Refused(""), "out of space.\n");
  // Where there is no room, AddRecentIfRoom says so and nothing else; what is
  // there is found.
  StringPool::Recent field;
  test_support::RunResult quiet = reporting_.Run([&] {
    EXPECT_EQ(pool_.AddRecentIfRoom(field, ""), -1);
    EXPECT_EQ(field.ref, -1);
    EXPECT_EQ(pool_.AddRecentIfRoom(field, "12345678"), 30);
    EXPECT_EQ(field.ref, 30);
  });
  EXPECT_FALSE(quiet.exited);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(used_, 39);
}

TEST_F(StringPoolTest, CompareIgnoresAsciiLetterCaseOnlyAndSetUpStartsAfresh) {
  SetUpPool(64);
  StringRef abc = pool_.Add("Abc");
  EXPECT_EQ(pool_.Compare(abc, "aBC"), 0);
  for (const char* other : {"abd", "abcd", "ab", ""}) EXPECT_NE(pool_.Compare(abc, other), 0);
  EXPECT_NE(pool_.Compare(pool_.Add("_"), "\x7F"), 0);
  EXPECT_NE(pool_.Compare(pool_.Add("\xC9"), "\xE9"), 0);
  // Setting up again forgets the old pool's strings.
  SetUpPool(64);
  EXPECT_EQ(pool_.Add("x"), 0);
  EXPECT_EQ(pool_.Add("Abc"), 2);
  // The empty text without any bytes (the end of the input) is the empty text.
  StringPool::Recent field;
  EXPECT_EQ(pool_.AddRecentIfRoom(field, std::string_view()), 6);
  EXPECT_EQ(pool_.Add(""), 6);
}

}  // namespace
}  // namespace qelc
