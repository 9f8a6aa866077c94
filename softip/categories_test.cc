#include "softip/categories.h"

#include <gtest/gtest.h>

#include <ctime>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "softip/library.h"
#include "softip/test_support.h"
#include "source/expect.h"

namespace qelc {
namespace {

void SetNumbers(std::initializer_list<float> numbers) {
  test::UseEmptyLibrary();
  for (float number : numbers) Library().categories.Append({number, 0, 0});
}

// The message of the repeated-number failure, or "" when the numbers all differ.
std::string Repeated() {
  try {
    EXPECT_TRUE(CheckCategoryNumbers());
    return "";
  } catch (const CFailMsg& failure) {
    return failure.Message();
  }
}

TEST(CheckCategoryNumbersTest, DistinctNumbersPass) {
  SetNumbers({});
  EXPECT_EQ(Repeated(), "");
  SetNumbers({1, 2, 3, 2.5f});
  EXPECT_EQ(Repeated(), "");
}

// The first entry (in list order) that a later one repeats is named, not the
// first repetition met: in 5 7 9 7 5 the 7s meet first, yet 5 comes first.
TEST(CheckCategoryNumbersTest, NamesTheEarliestRepeatedEntry) {
  SetNumbers({5, 7, 9, 7, 5});
  EXPECT_EQ(Repeated(), "Found not unique category number 5.000000\n");
  SetNumbers({1, 2, 3, 3, 2});
  EXPECT_EQ(Repeated(), "Found not unique category number 2.000000\n");
  SetNumbers({2.5f, 2.50f});
  EXPECT_EQ(Repeated(), "Found not unique category number 2.500000\n");
}

TEST(CheckCategoryNumbersTest, ComparesAsFloats) {
  // Both narrow to the same single-precision value.
  SetNumbers({float(1.0), float(1.00000001), 4});
  EXPECT_EQ(Repeated(), "Found not unique category number 1.000000\n");
  // +0 and -0 are equal; the earlier one is printed as it is.
  SetNumbers({3, -0.0f, 0.0f});
  EXPECT_EQ(Repeated(), "Found not unique category number -0.000000\n");
  // NaN equals nothing, not even itself.
  float nan = std::numeric_limits<float>::quiet_NaN();
  SetNumbers({nan, 1, nan, std::nanf("7")});
  EXPECT_EQ(Repeated(), "");
  float inf = std::numeric_limits<float>::infinity();
  SetNumbers({inf, nan, inf});
  EXPECT_EQ(Repeated(), "Found not unique category number inf\n");
}

// Processor time, so that a busy machine does not fail the test.
double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

TEST(CheckCategoryNumbersTest, HundredThousandCategoriesCheckQuickly) {
  test::UseEmptyLibrary();
  for (int i = 0; i < 100000; ++i) Library().categories.Append({float(i) + 0.5f, 0, 0});
  double start = CpuSeconds();
  EXPECT_EQ(Repeated(), "");
  Library().categories.Append({99999.5f, 0, 0});
  Library().categories.Append({0.5f, 0, 0});
  EXPECT_EQ(Repeated(), "Found not unique category number 0.500000\n");
  EXPECT_LT(CpuSeconds() - start, 0.5);
}

TEST(AddSoftIPCategoryTest, PoolsNameThenValue) {
  test::UseEmptyLibrary();
  AddSoftIPCategory(1, "T", "x");
  AddSoftIPCategory(2, "x", "T");
  const SoftIPLibrary& library = Library();
  ASSERT_EQ(library.categories.Size(), 2u);
  EXPECT_EQ(library.categories.At(0).name, 0);
  EXPECT_EQ(library.categories.At(0).value, 2);
  EXPECT_EQ(library.categories.At(1).name, 2);
  EXPECT_EQ(library.categories.At(1).value, 0);
  EXPECT_EQ(library.stringBytesUsed, 4);
}

}  // namespace
}  // namespace qelc
