#include "source/ascii.h"

#include <gtest/gtest.h>

namespace qelc {
namespace {

TEST(AsciiTest, LetterCaseFoldsForAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("PinNumberByPackage", "PINNUMBERBYPACKAGE"));
  EXPECT_FALSE(EqualsNoCase("Pin", "Pins"));
  EXPECT_FALSE(EqualsNoCase("@", "`"));  // the bytes just below A and a
  EXPECT_FALSE(EqualsNoCase("[", "{"));  // and just behind Z and z
  EXPECT_FALSE(EqualsNoCase("\xC9", "\xE9"));
  EXPECT_TRUE(StartsWithNoCase("-Dx", "-d"));
  EXPECT_FALSE(StartsWithNoCase("-", "-d"));
}

}  // namespace
}  // namespace qelc
