#include "sections/statements.h"

#include <gtest/gtest.h>

#include "qelc/compile.h"
#include "source/fatal.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

// No source reaches these failures: the grammar stops every statement list at
// eight slots and names only known kinds. They guard the table all the same.
TEST(AddStatementTest, NinthSlotAndUnknownKindEndTheRun) {
  static char pool[kPoolCapacity];
  PoolSetUp(pool, &Tables().poolUsedSize, kPoolCapacity);
  PoolAdd("");
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  auto status = [](auto add) {
    try {
      add();
    } catch (const FatalExit& exit) {
      return exit.status;
    }
    return -1;
  };
  // The slot is checked before the kind name.
  static StatementList list;
  EXPECT_EQ(status([] { AddStatement(list, 8, "bogus", "x"); }), 1);
  EXPECT_EQ(status([] { AddStatement(list, 0, "", "x"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: AddStatement ()\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Exceed number of statements. (bogus)\n");
  ResetRunState();
}

}  // namespace
}  // namespace qelc
