#include "softip/categories.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "softip/test_support.h"

namespace qelc {
namespace {

// The message of the repeated-number failure for `numbers`, or "" when they all differ.
std::string Repeated(const std::vector<float>& numbers) {
  test::SoftIPState state;
  for (float number : numbers) state.library.categories.Append({number, 0, 0});
  return state.Run([&] { CheckCategoryNumbers(state.s, state.library); }).out;
}

// The first entry (in list order) that a later one repeats is named, not the
// first repetition met: in 5 7 9 7 5 the 7s meet first, yet 5 comes first.
// Numbers compare as floats: +0 equals -0, NaN equals nothing.
TEST(CheckCategoryNumbersTest, NamesTheEarliestRepeatedEntry) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(Repeated({}), "");
  EXPECT_EQ(Repeated({1, 2, 3, 2.5f}), "");
  EXPECT_EQ(Repeated({5, 7, 9, 7, 5}), "Found not unique category number 5.000000\n");
  EXPECT_EQ(Repeated({1, 2, 3, 3, 2}), "Found not unique category number 2.000000\n");
  EXPECT_EQ(Repeated({3, -0.0f, 0.0f}), "Found not unique category number -0.000000\n");
  EXPECT_EQ(Repeated({nan, 1, nan, std::nanf("7")}), "");
  EXPECT_EQ(Repeated({inf, nan, inf}), "Found not unique category number inf\n");
}

// Numbers whose bit patterns differ only in their high bits, and floats whose
// low bits are all zeros, are told apart like any others.
TEST(CheckCategoryNumbersTest, LargeListsWithSimilarBitPatterns) {
  std::vector<float> numbers;
  for (int i = 0; i < 100000; ++i) numbers.push_back(float(i) + 0.5f);
  for (int exponent = -100; exponent < 100; ++exponent) {
    if (exponent == -1) continue;  // odd halves, which the first numbers are
    for (int odd = 1; odd < 64; odd += 2) numbers.push_back(std::ldexp(float(odd), exponent));
  }
  EXPECT_EQ(Repeated(numbers), "");
  numbers.push_back(99999.5f);
  numbers.push_back(0.5f);
  EXPECT_EQ(Repeated(numbers), "Found not unique category number 0.500000\n");
}

}  // namespace
}  // namespace qelc
