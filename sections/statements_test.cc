#include "sections/statements.h"

#include <gtest/gtest.h>

#include "qelc/compile.h"
#include "source/test_support.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

using test_support::CaptureRun;

// No source reaches these failures: the grammar stops every statement list at
// eight slots and names only known kinds. They guard the table all the same.
TEST(AddStatementTest, NinthSlotAndUnknownKindEndTheRun) {
  static char pool[kPoolCapacity];
  PoolSetUp(pool, &Tables().poolUsedSize, kPoolCapacity);
  PoolAdd("");
  static StatementList list;
  testing::internal::CaptureStderr();
  // The slot is checked before the kind name.
  test_support::RunResult ninth = CaptureRun([] { AddStatement(list, 8, "bogus", "x"); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Exceed number of statements. (bogus)\n");
  test_support::RunResult unknown = CaptureRun([] { AddStatement(list, 0, "", "x"); });
  EXPECT_EQ(std::make_pair(ninth.status, ninth.out), std::make_pair(1, std::string()));
  EXPECT_EQ(std::make_pair(unknown.status, unknown.out),
            std::make_pair(1, std::string("ERROR: AddStatement ()\n")));
  ResetRunState();
}

}  // namespace
}  // namespace qelc
