#include "source/ascii.h"

#include <gtest/gtest.h>

#include <limits>

namespace qelc {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(AsciiTest, LetterCaseFoldsForAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("PinNumberByPackage", "PINNUMBERBYPACKAGE"));
  EXPECT_FALSE(EqualsNoCase("Pin", "Pins"));
  EXPECT_FALSE(EqualsNoCase("@", "`"));  // the bytes just below A and a
  EXPECT_FALSE(EqualsNoCase("[", "{"));  // and just behind Z and z
  EXPECT_FALSE(EqualsNoCase("\xC9", "\xE9"));
  EXPECT_TRUE(StartsWithNoCase("-Dx", "-d"));
  EXPECT_FALSE(StartsWithNoCase("-", "-d"));
}

TEST(AsciiTest, LeadingDigitsSkipNothingAndReadNoSign) {
  EXPECT_EQ(LeadingDigitsValue("123abc"), 123);
  EXPECT_EQ(LeadingDigitsValue("007"), 7);
  EXPECT_EQ(LeadingDigitsValue(""), 0);
  EXPECT_EQ(LeadingDigitsValue("abc"), 0);
  EXPECT_EQ(LeadingDigitsValue(" 12"), 0);
  EXPECT_EQ(LeadingDigitsValue("\t12"), 0);
  EXPECT_EQ(LeadingDigitsValue("+5"), 0);
  EXPECT_EQ(LeadingDigitsValue("-5"), 0);
  EXPECT_EQ(LeadingDigitsValue("1\xD9\xA3"), 1);
}

TEST(AsciiTest, LeadingDigitsSaturate) {
  EXPECT_EQ(LeadingDigitsValue("2147483647"), kMax);
  EXPECT_EQ(LeadingDigitsValue("2147483648"), kMax);
  EXPECT_EQ(LeadingDigitsValue("99999999999999999999999999999999"), kMax);
  EXPECT_EQ(LeadingDigitsValue("00000000000000000000000000000012x"), 12);
}

TEST(AsciiTest, SignedDecimalTakesOneSignAndNoWhiteSpace) {
  EXPECT_EQ(SignedDecimalValue("-5"), -5);
  EXPECT_EQ(SignedDecimalValue("+5"), 5);
  EXPECT_EQ(SignedDecimalValue("42"), 42);
  EXPECT_EQ(SignedDecimalValue("-"), 0);
  EXPECT_EQ(SignedDecimalValue("--5"), 0);
  EXPECT_EQ(SignedDecimalValue("- 5"), 0);
  for (const char* white : {" -5", "\t-5", "\r-5", "\v-5", "\f-5", "\n-5"}) {
    EXPECT_EQ(SignedDecimalValue(white), 0) << int(white[0]);
  }
}

TEST(AsciiTest, SignedDecimalSaturatesAtBothEnds) {
  EXPECT_EQ(SignedDecimalValue("+2147483648"), kMax);
  EXPECT_EQ(SignedDecimalValue("-2147483648"), kMin);
  EXPECT_EQ(SignedDecimalValue("-2147483649"), kMin);
  EXPECT_EQ(SignedDecimalValue("-99999999999999999999"), kMin);
  // The module number keeps the low 8 bits of the saturated value.
  EXPECT_EQ(int8_t(SignedDecimalValue("99999999999")), -1);
}

}  // namespace
}  // namespace qelc
