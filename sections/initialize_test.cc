#include "sections/initialize.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "source/fatal.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

class InitializeRowsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetTables();
    PoolSetUp(pool_.get(), &Tables().poolUsedSize, kPoolCapacity);
    PoolAdd("");
    AddInitializeCondition(0, "\\PACKAGE");
  }
  void TearDown() override { ResetTables(); }

  static const InitializeRow& Row(int32_t index) { return Tables().initialize[0].rows[index]; }
  static std::string Text(StringRef ref) { return PoolString(ref); }

  static void ExpectDefaults(const InitializeRow& row, const std::string& pin) {
    EXPECT_EQ(Text(row.pin), pin);
    EXPECT_EQ(Text(row.signal), "");
    EXPECT_EQ(row.changeable, 1);
    EXPECT_EQ(row.reserved, 0);
    EXPECT_EQ(Text(row.reservedName), "");
    EXPECT_EQ(Text(row.displayName), "");
  }

  std::unique_ptr<char[]> pool_ = std::make_unique<char[]>(kPoolCapacity);
};

TEST_F(InitializeRowsTest, LinesOfOnePinGatherInOneRowWhateverTheLetterCase) {
  SetInitializeAttribute(0, "P1.name", "'CLK'", 1);
  SetInitializeAttribute(0, "p1.NCHANGE", "0", 0);
  SetInitializeAttribute(0, "P1.displayName", "'Clock'", 0);
  SetInitializeAttribute(0, "p1.reserve", "'R1'", 0);

  const InitializeRow& row = Row(0);
  EXPECT_EQ(Text(row.pin), "P1");  // the row keeps the spelling of its first line
  EXPECT_EQ(Text(row.signal), "CLK");
  EXPECT_EQ(row.changeable, 0);
  EXPECT_EQ(row.reserved, 1);
  EXPECT_EQ(Text(row.reservedName), "R1");
  EXPECT_EQ(Text(row.displayName), "Clock");
  ExpectDefaults(Row(1), "");
}

TEST_F(InitializeRowsTest, NameLineSetsReservedFromItsOwnMark) {
  SetInitializeAttribute(0, "P1.reserve", "'R1'", 0);
  ASSERT_EQ(Row(0).reserved, 1);
  SetInitializeAttribute(0, "P1.name", "'CLK'", 0);
  EXPECT_EQ(Row(0).reserved, 0);
  EXPECT_EQ(Text(Row(0).reservedName), "R1");
  SetInitializeAttribute(0, "P1.name", "'CLK'", 1);
  EXPECT_EQ(Row(0).reserved, 1);
}

TEST_F(InitializeRowsTest, ChangeableIsTheLeadingDigitsOfTheUnquotedValue) {
  SetInitializeAttribute(0, "P1.nchange", "'5'", 0);
  EXPECT_EQ(Row(0).changeable, 5);
  SetInitializeAttribute(0, "P1.PinEdit", "12B", 0);
  EXPECT_EQ(Row(0).changeable, 12);
  SetInitializeAttribute(0, "P1.pinedit", "x7", 0);
  EXPECT_EQ(Row(0).changeable, 0);
}

TEST_F(InitializeRowsTest, TargetWithoutDotChangesNothing) {
  int32_t used = Tables().poolUsedSize;
  SetInitializeAttribute(0, "P1", "'x'", 1);
  EXPECT_EQ(Tables().poolUsedSize, used);
  ExpectDefaults(Row(0), "");
}

TEST_F(InitializeRowsTest, UnknownAttributeStillCreatesTheRow) {
  int32_t used = Tables().poolUsedSize;
  SetInitializeAttribute(0, "P1.color", "'red'", 1);
  // The target splits at its first dot: "name.x" is no known attribute.
  SetInitializeAttribute(0, "P2.name.x", "'sig'", 1);
  ExpectDefaults(Row(0), "P1");
  ExpectDefaults(Row(1), "P2");
  ExpectDefaults(Row(2), "");
  EXPECT_EQ(Tables().poolUsedSize - used, 6);  // "P1" and "P2"; neither value was pooled
}

TEST_F(InitializeRowsTest, EmptyPinNameActsOnTheFirstEmptyRowWithoutDefaults) {
  SetInitializeAttribute(0, "P1.name", "'A'", 0);
  SetInitializeAttribute(0, ".nchange", "7", 0);
  SetInitializeAttribute(0, ".name", "'S'", 1);
  EXPECT_EQ(FindOrAddInitializeRow(0, ""), 1);
  EXPECT_EQ(Text(Row(1).pin), "");
  EXPECT_EQ(Row(1).changeable, 7);
  EXPECT_EQ(Text(Row(1).signal), "S");
  EXPECT_EQ(Row(1).reserved, 1);

  // A real pin that lands on that row gives it the defaults again.
  EXPECT_EQ(FindOrAddInitializeRow(0, "P2"), 1);
  ExpectDefaults(Row(1), "P2");
}

TEST_F(InitializeRowsTest, EightyPinsFitAndAnEightyFirstEndsTheRun) {
  for (int pin = 0; pin < 80; ++pin) {
    EXPECT_EQ(FindOrAddInitializeRow(0, "P" + std::to_string(pin)), pin);
  }
  EXPECT_EQ(FindOrAddInitializeRow(0, "p79"), 79);
  EXPECT_EQ(FindOrAddInitializeRow(0, "P0"), 0);

  testing::internal::CaptureStderr();
  try {
    FindOrAddInitializeRow(0, "P80");
    ADD_FAILURE() << "an 81st pin was accepted";
  } catch (const FatalExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Exceed number of initializes.\n");
}

TEST_F(InitializeRowsTest, NewConditionStartsItsRowsAgainAndEndsTheListBehindIt) {
  SetInitializeAttribute(0, "P1.name", "'A'", 0);
  AddInitializeCondition(1, "\\DEV");
  SetInitializeAttribute(1, "P9.name", "'B'", 0);
  Tables().initialize[2].condition = PoolAdd("stale");

  AddInitializeCondition(0, "\\GLC");
  EXPECT_EQ(Text(Tables().initialize[0].condition), "\\GLC");
  ExpectDefaults(Row(0), "");
  EXPECT_EQ(Text(Row(1).pin), "");  // cleared by the first row's Add, not by the condition
  // The next entry loses only its condition; its rows stay.
  EXPECT_EQ(Text(Tables().initialize[1].condition), "");
  EXPECT_EQ(Text(Tables().initialize[1].rows[0].pin), "P9");
  EXPECT_EQ(Text(Tables().initialize[2].condition), "stale");

  EXPECT_EQ(FindOrAddInitializeRow(0, "P1"), 0);
  EXPECT_EQ(Text(Row(0).signal), "");
}

TEST_F(InitializeRowsTest, FiftiethConditionHasNoEntryBehindItAndAFiftyFirstEndsTheRun) {
  AddInitializeCondition(49, "\\DSI");
  EXPECT_EQ(Text(Tables().initialize[49].condition), "\\DSI");
  EXPECT_EQ(Tables().initialize[49].rows[0].changeable, 1);

  testing::internal::CaptureStderr();
  EXPECT_THROW(AddInitializeCondition(50, "\\DSI"), FatalExit);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Exceed number of initialize conditions.\n");
}

}  // namespace
}  // namespace qelc
