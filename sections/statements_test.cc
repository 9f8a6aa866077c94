#include "sections/statements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "qelc/compile.h"
#include "source/fatal.h"
#include "source/token_stream.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {
namespace {

class StatementsTest : public testing::Test {
 protected:
  void SetUp() override {
    PoolSetUp(pool_, &Tables().poolUsedSize, kPoolCapacity);
    PoolAdd("");
  }
  void TearDown() override {
    ResetRunState();
    std::remove(path_.c_str());
  }

  // Opens the token stream on `source` and reads its first token.
  void Tokens(const std::string& source) {
    FILE* file = std::fopen(path_.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(source.c_str(), file);
    std::fclose(file);
    ASSERT_EQ(OpenTokenStream(path_), 0);
    NextToken();
  }

  std::string PoolBytes() const { return std::string(pool_, size_t(Tables().poolUsedSize)); }

  static std::string Kind(const StatementSlot& slot) { return PoolString(slot.kind); }
  static std::string Text(const StatementSlot& slot) { return PoolString(slot.text); }

  // Runs `action`, which must end the run, and returns its exit status.
  template <typename Action>
  static int FatalStatus(Action action) {
    try {
      action();
    } catch (const FatalExit& exit) {
      return exit.status;
    }
    return -1;
  }

  char pool_[kPoolCapacity] = {};
  std::string path_ = testing::TempDir() + "statements_test.pre";
};

TEST_F(StatementsTest, KindNameAddsZZZBeforeTheTypeName) {
  StringRef decl = StatementKindName("pDecl");
  EXPECT_STREQ(PoolString(decl), "Decl");
  EXPECT_EQ(PoolBytes(), std::string("\0ZZZ\0Decl\0", 10));

  // Letter case aside, and two kind names share one type name.
  EXPECT_EQ(StatementKindName("PDECL"), decl);
  EXPECT_EQ(StatementKindName("gdecl"), decl);
  EXPECT_STREQ(PoolString(StatementKindName("oEquationReq")), "Equation_Req");
  EXPECT_EQ(PoolBytes(), std::string("\0ZZZ\0Decl\0Equation_Req\0", 23));
}

TEST_F(StatementsTest, UnknownKindNameIsZZZ) {
  EXPECT_EQ(StatementKindName("Decl"), 1);  // a type name is no kind name
  EXPECT_EQ(StatementKindName(""), 1);
  EXPECT_EQ(StatementKindName("ZZZ"), 1);
  EXPECT_EQ(PoolBytes(), std::string("\0ZZZ\0", 5));
}

TEST_F(StatementsTest, AddStatementPoolsZZZTypeTextZZZEmpty) {
  PrologEpilogFlag() = 1;
  AddStatement(2, 0, "pPTerm", "a\x01");
  EXPECT_EQ(PoolBytes(), std::string("\0ZZZ\0PTerm\0a\x01\0", 14));
  const StatementSlot* slots = Tables().prolog[2].statements.slots;
  EXPECT_EQ(Kind(slots[0]), "PTerm");
  EXPECT_EQ(Text(slots[0]), "a\x01");
  EXPECT_EQ(Kind(slots[1]), "ZZZ");
  EXPECT_EQ(slots[1].text, 0);
  EXPECT_EQ(Tables().epilog[2].statements.slots[0].kind, 0);

  PrologEpilogFlag() = 0;
  AddStatement(2, 0, "pDecl", "d");
  EXPECT_EQ(Kind(Tables().epilog[2].statements.slots[0]), "Decl");
  EXPECT_EQ(Kind(slots[0]), "PTerm");
}

TEST_F(StatementsTest, AddStatementChoosesTheListByKind) {
  CurrentGroupIndex() = 3;
  AddStatement(1, 0, "gEquation", "e");
  EXPECT_EQ(Kind(Tables().groups[1].groups[3].statements.slots[0]), "Equation");
  EXPECT_EQ(Tables().groups[1].groups[0].statements.slots[0].kind, 0);

  AddStatement(4, 0, "oAction", "x");
  EXPECT_EQ(Kind(Tables().outputSyntaxes[4].statements.slots[0]), "Action");
}

TEST_F(StatementsTest, EighthSlotHasNoEndSlot) {
  Tables().outputSyntaxes[5].name = PoolAdd("next");
  AddStatement(4, 7, "oAction", "x");
  EXPECT_EQ(Kind(Tables().outputSyntaxes[4].statements.slots[7]), "Action");
  EXPECT_STREQ(PoolString(Tables().outputSyntaxes[5].name), "next");
  EXPECT_EQ(StoredStatements(Tables().outputSyntaxes[4].statements).size(), 8u);
}

TEST_F(StatementsTest, NinthSlotIsRefusedBeforeTheKindIsLookedAt) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(FatalStatus([] { AddStatement(0, 8, "bogus", "x"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Exceed number of statements. (bogus)\n");
}

TEST_F(StatementsTest, UnknownKindIsAnError) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(FatalStatus([] { AddStatement(0, 0, "", "x"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: AddStatement ()\n");
}

TEST_F(StatementsTest, ReadStatementJoinsUnquotedStrings) {
  Tokens("PTerm : 'a' 'it\\'s' '' next");
  PrologEpilogFlag() = 1;
  int32_t counter = 2;
  ReadStatement("pPTerm", 0, counter);
  EXPECT_EQ(counter, 3);
  EXPECT_EQ(Text(Tables().prolog[0].statements.slots[2]), "a\x01it's\x01\x01");
  EXPECT_EQ(TokenText(), "next");
}

TEST_F(StatementsTest, ReadStatementWithRevStartsWithTheMark) {
  Tokens("Equation , REV : 'a'");
  int32_t counter = 0;
  ReadStatement("oEquation", 0, counter);
  EXPECT_EQ(Text(Tables().outputSyntaxes[0].statements.slots[0]), "-!-!-!\x01" "a\x01");
}

TEST_F(StatementsTest, ReadStatementWithoutStringsHasEmptyText) {
  Tokens("Decl : x");
  int32_t counter = 0;
  ReadStatement("oAction", 0, counter);
  const StatementSlot& slot = Tables().outputSyntaxes[0].statements.slots[0];
  EXPECT_EQ(Kind(slot), "Action");
  EXPECT_EQ(slot.text, 0);
}

TEST_F(StatementsTest, ReadStatementNeedsRevAfterComma) {
  Tokens("PTerm , x : 'a'");
  testing::internal::CaptureStdout();
  int32_t counter = 0;
  EXPECT_EQ(FatalStatus([&] { ReadStatement("pPTerm", 0, counter); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Line:     1: Expecting 'rev', but seeing 'x'.\n");
}

TEST_F(StatementsTest, BlockJoinsEveryWordUpToTheFirstKeyword) {
  Tokens("x 'y' 3 , PACKAGE Decl : 'd' Equation : 'e' Decl : 'again'");
  PrologEpilogFlag() = 1;
  ReadStatementBlock(1);
  auto stored = StoredStatements(Tables().prolog[1].statements);
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(Kind(stored[0]), "Always");
  EXPECT_EQ(Text(stored[0]), "x\x01y\x01" "3\x01,\x01PACKAGE\x01");
  EXPECT_EQ(Kind(stored[1]), "Decl");
  EXPECT_EQ(Kind(stored[2]), "Equation");
  EXPECT_EQ(TokenText(), "Decl");  // out of order: left for the caller
}

TEST_F(StatementsTest, BlockStopsAtEndOfInput) {
  Tokens("x y");
  PrologEpilogFlag() = 0;
  ReadStatementBlock(0);
  EXPECT_EQ(Text(Tables().epilog[0].statements.slots[0]), "x\x01y\x01");
  EXPECT_EQ(TokenText(), "");
}

TEST_F(StatementsTest, JoinedTextIsLimited) {
  Tokens("");
  std::string text(kStatementTextLimit - 10, 'a');
  JoinWord(text, std::string(9, 'b'));
  EXPECT_EQ(text.size(), size_t(kStatementTextLimit));

  text.resize(kStatementTextLimit - 10);
  testing::internal::CaptureStdout();
  EXPECT_EQ(FatalStatus([&] { JoinWord(text, std::string(10, 'b')); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Line:     1: Text longer than 31999 characters.\n");
}

}  // namespace
}  // namespace qelc
