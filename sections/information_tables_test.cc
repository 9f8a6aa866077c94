#include "sections/information_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "qelc/compile.h"
#include "sections/registry.h"
#include "source/fatal.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

// A table block after the initialisers ran, without Out.txt: the dumps write nothing.
class InformationTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunState();
    PoolSetUp(pool_, &Tables().poolUsedSize, kPoolCapacity);
    for (TableInitialiser emptyFirstEntry : TableInitialisers()) emptyFirstEntry();
  }
  void TearDown() override { ResetRunState(); }

  static std::string Text(StringRef ref) { return PoolString(ref); }

  // Runs `action`, which must end the run with status 1; returns its standard error.
  template <typename Action>
  static std::string FatalMessage(Action&& action) {
    testing::internal::CaptureStderr();
    int status = 0;
    try {
      action();
    } catch (const FatalExit& exit) {
      status = exit.status;
    }
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    return message;
  }

  char pool_[kPoolCapacity] = {};
};

TEST_F(InformationTablesTest, InitialisersLeaveRowOneOfEveryNumberedTableAtMinusOne) {
  TableBlock& block = Tables();
  for (const NumberedRow* rows : {block.deviceSpecificInfoTable, block.hardwareSupportTable,
                                  block.packageInfoTable, block.voltageRangeTable}) {
    EXPECT_EQ(rows[0].number, 0);
    EXPECT_EQ(rows[1].number, -1);
    EXPECT_EQ(rows[1].text, 0);
  }
  EXPECT_EQ(block.poolUsedSize, 1);  // the empty text is the only string
}

TEST_F(InformationTablesTest, CCodeSelectorsPickTheirTableAndIgnoreOthers) {
  AddCCodeCondition(0, "c1", kCCodeFileNameSelector);
  AddCCodeItem(0, 0, "file.c", kCCodeFileNameSelector);
  AddCCodeCondition(0, "c2", kCCodeExampleSelector);
  AddCCodeItem(0, 0, "example", kCCodeExampleSelector);
  int32_t used = Tables().poolUsedSize;
  for (int32_t selector : {0, 3, -1}) {
    AddCCodeCondition(0, "other", selector);
    AddCCodeItem(0, 0, "other", selector);
    DumpCCode(selector);
  }

  EXPECT_EQ(Text(Tables().cCodeFileName[0].condition), "c1");
  EXPECT_EQ(Text(Tables().cCodeFileName[0].items[0]), "file.c");
  EXPECT_EQ(Text(Tables().cCodeExample[0].condition), "c2");
  EXPECT_EQ(Text(Tables().cCodeExample[0].items[0]), "example");
  EXPECT_EQ(Tables().poolUsedSize, used);
}

TEST_F(InformationTablesTest, CCodeParserRefusesOtherSelectors) {
  EXPECT_EQ(FatalMessage([] { SecCCodeFileName(3); }),
            "SecCCodeFileName : Reach unexpected location.\n");
}

TEST_F(InformationTablesTest, ConditionTerminatorLeavesTheItemsOfTheNextRecord) {
  AddTemplateLinkCondition(1, "second");
  AddTemplateLinkItem(1, 0, "kept");
  AddTemplateLinkCondition(0, "first");

  EXPECT_EQ(Text(Tables().templateLink[1].condition), "");
  EXPECT_EQ(Text(Tables().templateLink[1].items[0]), "kept");
}

TEST_F(InformationTablesTest, QelConfigStopsOneShortOfItsSlots) {
  AddQelConfigCondition(38, "last");
  AddQelConfigItem(38, 68, "last");
  EXPECT_EQ(Text(Tables().qelConfig[39].condition), "");
  EXPECT_EQ(Text(Tables().qelConfig[38].items[69]), "");

  EXPECT_EQ(FatalMessage([] { AddQelConfigCondition(39, "x"); }),
            "Exceed number of MCU setting conditions.\n");
  EXPECT_EQ(FatalMessage([] { AddQelConfigItem(0, 69, "x"); }),
            "Exceed number of Qel config.\n");
}

TEST_F(InformationTablesTest, FullNumberedTableWritesNothingIntoTheNextTable) {
  for (int32_t row = 0; row < 5; ++row) AddHardwareSupportTableRow(row, row + 10, "w");
  AddHardwareSupportCondition(0, "next table");

  EXPECT_EQ(Tables().hardwareSupportTable[4].number, 14);
  EXPECT_EQ(Text(Tables().hardwareSupport[0].condition), "next table");
  EXPECT_EQ(FatalMessage([] { AddHardwareSupportTableRow(5, 1, "x"); }),
            "Exceed number of hardware support table.\n");
  EXPECT_EQ(Text(Tables().hardwareSupport[0].condition), "next table");
}

TEST_F(InformationTablesTest, ItemOfAConditionOutsideTheTableIsRefused) {
  EXPECT_EQ(FatalMessage([] { AddHardwareSupportItem(30, 0, "x"); }),
            "Exceed number of hardware support conditions.\n");
  EXPECT_EQ(FatalMessage([] { AddDeviceSpecificInfoItem(-1, 0, "x"); }),
            "Exceed number of device specific information conditions.\n");
}

}  // namespace
}  // namespace qelc
