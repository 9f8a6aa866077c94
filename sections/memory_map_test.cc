#include "sections/memory_map.h"

#include <gtest/gtest.h>

#include <string>

#include "qelc/compile.h"
#include "sections/registry.h"
#include "source/fatal.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

class MemoryMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunState();
    PoolSetUp(pool_, &Tables().poolUsedSize, kPoolCapacity);
    for (TableInitialiser emptyFirstEntry : TableInitialisers()) emptyFirstEntry();
  }
  void TearDown() override { ResetRunState(); }

  static std::string Text(StringRef ref) { return PoolString(ref); }

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

  static MemoryMapFields Fields(const std::string& first) {
    return {first, "b", "c", "d", "e", "f", "g", "-"};
  }

  char pool_[kPoolCapacity] = {};
};

TEST_F(MemoryMapTest, MapTerminatorLeavesTheEntriesOfTheNextSlot) {
  AddMemoryMapCondition(0, "1");
  AddMemoryMap(0, 1, 2, "t2", "d2", "m2", "s2");
  AddMemoryMapEntry(0, 1, 0, Fields("kept"));
  AddMemoryMap(0, 0, 1, "t1", "d1", "m1", "s1");

  const MemoryMap& next = Tables().memoryMaps[0].maps[1];
  EXPECT_EQ(next.number, -1);
  EXPECT_EQ(Text(next.title) + Text(next.description) + Text(next.mainFlash) +
                Text(next.secondaryFlash),
            "");
  EXPECT_EQ(Text(next.entries[0].fields[0]), "kept");
}

TEST_F(MemoryMapTest, ThirtiethEntryWritesNothingIntoTheNextMap) {
  AddMemoryMapCondition(0, "1");
  AddMemoryMap(0, 0, 1, "t", "d", "m", "s");
  AddMemoryMap(0, 1, 2, "t", "d", "m", "s");
  AddMemoryMapEntry(0, 1, 0, Fields("next map"));
  for (int32_t entry = 0; entry < 30; ++entry) AddMemoryMapEntry(0, 0, entry, Fields("e"));

  EXPECT_EQ(Text(Tables().memoryMaps[0].maps[0].entries[29].fields[7]), "-");
  EXPECT_EQ(Tables().memoryMaps[0].maps[1].number, 2);
  EXPECT_EQ(Text(Tables().memoryMaps[0].maps[1].entries[0].fields[0]), "next map");
  EXPECT_EQ(FatalMessage([] { AddMemoryMapEntry(0, 0, 30, Fields("x")); }),
            "Exceed number of MemoryMap Entries.\n");
}

TEST_F(MemoryMapTest, LastRecordAndLastSlotHoldOnlyTerminators) {
  AddMemoryMapCondition(18, "c");
  AddMemoryMap(18, 8, 9, "t", "d", "m", "s");
  EXPECT_EQ(Tables().memoryMaps[18].maps[9].number, -1);
  EXPECT_EQ(FatalMessage([] { AddMemoryMapCondition(19, "c"); }),
            "Exceed number of memory map conditions.\n");
  EXPECT_EQ(FatalMessage([] { AddMemoryMap(0, 9, 1, "t", "d", "m", "s"); }),
            "Exceed number of MemoryMaps.\n");
  EXPECT_EQ(FatalMessage([] { AddMemoryMapEntry(19, 0, 0, Fields("x")); }),
            "Exceed number of memory map conditions.\n");
}

}  // namespace
}  // namespace qelc
