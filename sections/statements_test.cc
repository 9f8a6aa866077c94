#include "sections/statements.h"

#include <gtest/gtest.h>

#include <tuple>

#include "source/test_support.h"
#include "tables/daf_tables.h"

namespace qelc {
namespace {

// No source reaches these failures: the grammar stops every statement list at
// eight slots and names only known kinds. They guard the table all the same.
TEST(AddStatementTest, NinthSlotAndUnknownKindEndTheRun) {
  test_support::TextParse p;
  DafTables tables;
  ASSERT_TRUE(PrepareTables(tables, p.s.pool));
  p.s.pool.Add("");
  StatementList list{};
  // The slot is checked before the kind name.
  test_support::RunResult ninth = p.Run([&] { AddStatement(p.s, list, 8, "bogus", "x"); });
  test_support::RunResult unknown = p.Run([&] { AddStatement(p.s, list, 0, "", "x"); });
  EXPECT_EQ(std::make_tuple(ninth.status, ninth.out, ninth.err),
            std::make_tuple(1, "", "Exceed number of statements. (bogus)\n"));
  EXPECT_EQ(std::make_tuple(unknown.status, unknown.out, unknown.err),
            std::make_tuple(1, "ERROR: AddStatement ()\n", ""));
}

}  // namespace
}  // namespace qelc
