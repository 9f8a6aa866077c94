#include "source/condition.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "source/fatal.h"
#include "source/test_support.h"
#include "source/token_stream.h"

namespace qelc {
namespace {

using test_support::CaptureRun;
using test_support::RunResult;
using test_support::TempFile;

class ConditionTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseTokenStream();
    ClearCondition();
    ErrorCount() = 0;
  }

  void Start(std::string_view content) {
    file_ = std::make_unique<TempFile>(content);
    ASSERT_EQ(OpenTokenStream(file_->path()), 0);
    NextToken();
  }

  // Reads one When clause from `source`; the result holds how the run ended.
  RunResult When(std::string_view source) {
    Start(source);
    return CaptureRun([] { ReadWhen(); });
  }

  // The condition text of a clause that must be accepted, followed by `next`.
  std::string Accepted(std::string_view clause) {
    RunResult result = When(std::string(clause) + " next");
    EXPECT_FALSE(result.exited) << clause << "\n" << result.out;
    EXPECT_EQ(TokenText(), "next") << clause;
    return ConditionText();
  }

  std::unique_ptr<TempFile> file_;
};

TEST_F(ConditionTest, FullExampleIsFlattenedTokenByToken) {
  EXPECT_EQ(Accepted("When PACKAGE is 'P44' and (PN[3] isnot 'X' or DEV isin ['A' 'B']) :"),
            "\\PACKAGE\\is\\'P44'\\and\\(\\PN\\[\\3\\]\\isnot\\'X'\\or\\DEV\\isin\\[\\'A'\\'B'\\]\\)");
}

TEST_F(ConditionTest, AcceptedForms) {
  EXPECT_EQ(Accepted("When :"), "");
  EXPECT_EQ(Accepted("When PACKAGE :"), "\\PACKAGE");
  EXPECT_EQ(Accepted("When DEV isin [ ] :"), "\\DEV\\isin\\[\\]");
  EXPECT_EQ(Accepted("When dev IS 'x' :"), "\\dev\\IS\\'x'");
  EXPECT_EQ(Accepted("WHEN GLC isNotIn ['a''b'] OR In_Num[1][22] AND pn :"),
            "\\GLC\\isNotIn\\[\\'a'\\'b'\\]\\OR\\In_Num\\[\\1\\]\\[\\22\\]\\AND\\pn");
  EXPECT_EQ(Accepted("When ((DSI is 'it\\'s')) :"), "\\(\\(\\DSI\\is\\'it's'\\)\\)");
  EXPECT_EQ(Accepted("When ( ) :"), "\\(\\)");
}

// A primary may be empty, so the connectives stand on their own.
TEST_F(ConditionTest, EmptyPrimariesAroundConnectives) {
  EXPECT_EQ(Accepted("When and or and :"), "\\and\\or\\and");
}

TEST_F(ConditionTest, SoftIpClauseUsesItsOwnKeyword) {
  Start("_WHEN OUT_NUM[0] is '1' : next");
  RunResult result = CaptureRun([] { ReadSoftIpWhen(); });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(ConditionText(), "\\OUT_NUM\\[\\0\\]\\is\\'1'");
}

TEST_F(ConditionTest, ReadConditionAppendsAndReadWhenEmpties) {
  Start("PACKAGE DEV When IPN : x");
  RunResult result = CaptureRun([] {
    ClearCondition();
    ReadCondition();
    ReadCondition();
  });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(ConditionText(), "\\PACKAGE\\DEV");
  result = CaptureRun([] { ReadWhen(); });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(ConditionText(), "\\IPN");
}

struct Failure {
  const char* clause;
  const char* message;
};

TEST_F(ConditionTest, GrammarErrorsEndTheRunAtTheFirstUnexpectedToken) {
  const Failure failures[] = {
      {"If PACKAGE :", "Line:     1: Expecting 'When', but seeing 'If'.\n"},
      {"When foo :", "Line:     1: Expecting ':', but seeing 'foo'.\n"},
      {"When PACKAGE is X :", "Line:     1: Expecting '1', but seeing '0'.\n"},
      {"When PACKAGE isin ['A', 'B'] :", "Line:     1: Expecting ']', but seeing ','.\n"},
      {"When (PACKAGE is 'A' :", "Line:     1: Expecting ')', but seeing ':'.\n"},
      {"When PN[x] :", "Line:     1: Expecting '3', but seeing '0'.\n"},
      {"When PN[3 :", "Line:     1: Expecting ']', but seeing ':'.\n"},
      {"When PN['3'] :", "Line:     1: Expecting '3', but seeing '1'.\n"},
      {"When DEV isin 'A' :", "Line:     1: Expecting '[', but seeing ''A''.\n"},
      {"When DEV is 'A' 'B' :", "Line:     1: Expecting ':', but seeing ''B''.\n"},
      {"When PACKAGE is 'A' DEV :", "Line:     1: Expecting ':', but seeing 'DEV'.\n"},
      {"When PACKAGE\nis X :", "Line:     2: Expecting '1', but seeing '0'.\n"},
  };
  for (const Failure& failure : failures) {
    ErrorCount() = 0;
    RunResult result = When(failure.clause);
    EXPECT_TRUE(result.exited) << failure.clause;
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, failure.message) << failure.clause;
    EXPECT_EQ(ErrorCount(), 1);
  }
}

// Builds "When DEV isin ['<fill>'] :" whose condition text has exactly `length`
// characters: \DEV\isin\[ and \] take 13, the string one more than its own length.
std::string ClauseOfLength(size_t length) {
  return "When DEV isin ['" + std::string(length - 13 - 1 - 2, 'f') + "'] :";
}

TEST_F(ConditionTest, TextOf255CharactersIsAccepted) {
  std::string clause = ClauseOfLength(255);
  std::string text = Accepted(clause);
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.substr(text.size() - 4), "f'\\]");
}

TEST_F(ConditionTest, PieceThatWouldOverflowIsRefused) {
  // The closing bracket is the piece that would make 256 characters.
  RunResult result = When(ClauseOfLength(256));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     1: Text longer than 255 characters.\n");
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_EQ(TokenText(), "]");
  EXPECT_LE(ConditionText().size(), 255u);
}

TEST_F(ConditionTest, OverflowIsReportedBeforeTheExpectationOfThePiece) {
  // The string takes the text to 254; the wrong token in place of "]" would
  // take it to 258, and it is appended before it is checked.
  std::string clause = "When DEV isin ['" + std::string(240, 'f') + "' abc :";
  RunResult result = When(clause);
  EXPECT_EQ(result.out, "Line:     1: Text longer than 255 characters.\n");
}

TEST_F(ConditionTest, LongConditionsAcrossManyTokens) {
  std::string clause = "When";
  for (int i = 0; i < 50; ++i) clause += " PN[" + std::to_string(i % 10) + "] or";
  clause += " :";
  // Each "\PN\[\d\]\or" adds 12 characters: 21 of them and one more "\PN" make
  // exactly 255, and the "\[" after it is refused.
  RunResult result = When(clause);
  EXPECT_EQ(result.out, "Line:     1: Text longer than 255 characters.\n");
  EXPECT_EQ(ConditionText().size(), 255u);
  EXPECT_EQ(TokenText(), "[");
}

}  // namespace
}  // namespace qelc
