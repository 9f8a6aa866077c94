#include "sections/cross_references.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "source/condition.h"
#include "source/test_support.h"

namespace qelc {
namespace {

using Packages = std::optional<std::vector<std::string>>;

TEST(PinCountOfPackageTest, OnlyANameOfLettersThenDigitsGivesACount) {
  EXPECT_EQ(PinCountOfPackage("SOIC20"), 20);
  EXPECT_EQ(PinCountOfPackage("LQFP48"), 48);
  EXPECT_EQ(PinCountOfPackage("ufbga64"), 64);
  EXPECT_EQ(PinCountOfPackage("Q1"), 1);
  EXPECT_EQ(PinCountOfPackage("QFP999999"), 999999);
  // Digits that may mean something else, or no letters before them.
  for (std::string_view other : {"QFN32-1", "TSSOP20_1", "LQFP48x", "48", "", "BGA", "SOT023",
                                 "QFP1234567", "'SOIC20'", "P1A4", "BGA0"}) {
    EXPECT_EQ(PinCountOfPackage(other), 0) << other;
  }
}

TEST(MatchesNamePatternTest, AStarStandsForAnyTextAndLetterCaseIsAside) {
  EXPECT_TRUE(MatchesNamePattern("VDD", "VDD*"));
  EXPECT_TRUE(MatchesNamePattern("vddio2", "VDD*"));
  EXPECT_TRUE(MatchesNamePattern("AVDD_1V8", "*VDD*"));
  EXPECT_TRUE(MatchesNamePattern("GND_A", "G*_*"));
  EXPECT_TRUE(MatchesNamePattern("NC", "nc"));
  EXPECT_FALSE(MatchesNamePattern("NC1", "NC"));
  EXPECT_FALSE(MatchesNamePattern("VBAT1", "VBAT"));
  EXPECT_FALSE(MatchesNamePattern("AVDD", "VDD*"));
  EXPECT_FALSE(MatchesNamePattern("GNDA", "G*_*"));
  EXPECT_FALSE(MatchesNamePattern("VD", "VDD*"));
}

// The condition text is made by the condition reader itself, so that the two
// agree on how a condition is stored.
class PackagesNamedByTest : public ::testing::Test {
 protected:
  Packages Named(std::string_view clause) {
    p_.Open(std::string(clause) + " :");
    NextToken(p_.s);
    test_support::RunResult read = p_.Run([&] { ReadWhen(p_.s); });
    EXPECT_FALSE(read.exited) << clause << "\n" << read.out;
    return PackagesNamedBy(p_.s.condition);
  }

  test_support::TextParse p_;
};

TEST_F(PackagesNamedByTest, IsAndIsinNameTheirPackages) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Named("When PACKAGE is 'LQFP48'"), V{"LQFP48"});
  EXPECT_EQ(Named("When package IS 'lqfp48'"), V{"lqfp48"});
  EXPECT_EQ(Named("When PACKAGE isin ['A' 'B' 'a']"), (V{"A", "B"}));
  EXPECT_EQ(Named("When ((PACKAGE is 'A'))"), V{"A"});
  // A quoted value keeps a backslash of its own in one piece.
  EXPECT_EQ(Named("When PACKAGE is 'A\\\\B'"), V{"A\\B"});
  EXPECT_EQ(Named("When PACKAGE is 'it\\'s'"), V{"it's"});
}

TEST_F(PackagesNamedByTest, AndNarrowsAndOrWidensOnlyWhereEverySideNamesPackages) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Named("When PACKAGE is 'A' and DEV is 'X'"), V{"A"});
  EXPECT_EQ(Named("When DEV is 'X' and (PACKAGE is 'A' or PACKAGE is 'B')"), (V{"A", "B"}));
  EXPECT_EQ(Named("When PACKAGE is 'A' or PACKAGE isin ['B' 'a']"), (V{"A", "B"}));
  EXPECT_EQ(Named("When PACKAGE isin ['A' 'B' 'C'] and PACKAGE isin ['c' 'b']"), (V{"B", "C"}));
  EXPECT_EQ(Named("When (PACKAGE is 'A' and DEV is 'X') or (PACKAGE is 'B' and PN is 'Y')"),
            (V{"A", "B"}));
  // An empty side of 'and' is nothing more to hold.
  EXPECT_EQ(Named("When PACKAGE is 'A' and"), V{"A"});
}

TEST_F(PackagesNamedByTest, NothingWhereTheConditionLeavesThePackageOpen) {
  for (std::string_view open : {
           "When",
           "When PACKAGE",
           "When DEV is 'X'",
           "When PACKAGE isnot 'A'",
           "When PACKAGE isnotin ['A']",
           "When PACKAGE[1] is 'A'",
           "When PACKAGE isin [ ]",
           "When PACKAGE is 'A' or DEV is 'X'",
           "When PACKAGE is 'A' or",
           "When PACKAGE is 'A' and PACKAGE is 'B'",  // holds for no package
           "When PACKAGE is 'A' or PACKAGE isnot 'B'",
       }) {
    EXPECT_EQ(Named(open), std::nullopt) << open;
  }
}

}  // namespace
}  // namespace qelc
