#include "sections/type_categories.h"

#include <gtest/gtest.h>

#include <string>

#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

// A table block whose pool holds the empty text at reference 0 and whose type
// category table starts empty, as after the table initialisation.
class FindTypeCategoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PoolSetUp(pool_, &Tables().poolUsedSize, sizeof pool_);
    AddTypeCategory(0, "", "");
  }
  void TearDown() override { ResetTables(); }

 private:
  char pool_[4096] = {};
};

TEST_F(FindTypeCategoryTest, FindsANameWhateverItsLetterCase) {
  AddTypeCategory(0, "Drive", "d");
  AddTypeCategory(1, "PullUp", "p");
  EXPECT_EQ(FindTypeCategory("PullUp"), 1);
  EXPECT_EQ(FindTypeCategory("pullup"), 1);
  EXPECT_EQ(FindTypeCategory("DRIVE"), 0);
  EXPECT_EQ(FindTypeCategory("Pull"), -1);
  EXPECT_EQ(FindTypeCategory("PullUps"), -1);
}

TEST_F(FindTypeCategoryTest, ReturnsTheFirstOfTwoEqualNames) {
  AddTypeCategory(0, "slew", "a");
  AddTypeCategory(1, "SLEW", "b");
  EXPECT_EQ(FindTypeCategory("Slew"), 0);
}

TEST_F(FindTypeCategoryTest, AnEmptyTableNamesNothing) {
  EXPECT_EQ(FindTypeCategory("Drive"), -1);
  EXPECT_EQ(FindTypeCategory(""), -1);
}

TEST_F(FindTypeCategoryTest, TheEmptyEntryEndingTheListIsNeverAMatch) {
  AddTypeCategory(0, "Drive", "d");
  EXPECT_EQ(FindTypeCategory(""), -1);
}

TEST_F(FindTypeCategoryTest, EntriesBehindTheEndOfTheListAreNotSeen) {
  AddTypeCategory(0, "Drive", "d");
  AddTypeCategory(1, "PullUp", "p");
  AddTypeCategory(2, "Slew", "s");
  AddTypeCategory(0, "Level", "l");  // a repeated section ends the list at entry 1
  EXPECT_EQ(FindTypeCategory("Level"), 0);
  EXPECT_EQ(FindTypeCategory("PullUp"), -1);
  EXPECT_EQ(FindTypeCategory("Slew"), -1);
}

TEST_F(FindTypeCategoryTest, AFullTableIsSearchedToItsLastEntry) {
  for (int index = 0; index < 20; ++index) {
    AddTypeCategory(index, "Cat" + std::to_string(index), "v");
  }
  EXPECT_EQ(FindTypeCategory("cat19"), 19);
  EXPECT_EQ(FindTypeCategory("Cat20"), -1);
}

}  // namespace
}  // namespace qelc
