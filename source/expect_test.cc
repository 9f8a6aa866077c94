#include "source/expect.h"

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

class ExpectTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseTokenStream();
    ErrorCount() = 0;
  }

  // Opens the stream on `content` and reads the first token.
  void Start(std::string_view content) {
    file_ = std::make_unique<TempFile>(content);
    ASSERT_EQ(OpenTokenStream(file_->path()), 0);
    NextToken();
    ErrorCount() = 0;
  }

  std::unique_ptr<TempFile> file_;
};

TEST_F(ExpectTest, MatchingTextAdvancesWhateverTheLetterCase) {
  Start("device X");
  RunResult result = CaptureRun([] { EXPECT_EQ(ExpectText("Device"), 0); });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(TokenText(), "X");
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(ExpectTest, MismatchedTextEndsTheRunWithTheLineNumber) {
  Start("Devise X");
  RunResult result = CaptureRun([] { ExpectText("Device"); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     1: Expecting 'Device', but seeing 'Devise'.\n");
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_EQ(TokenText(), "Devise");  // nothing was consumed
}

TEST_F(ExpectTest, NewlineBehindTheTokenIsAlreadyCounted) {
  Start("Devise\nX");
  RunResult result = CaptureRun([] { ExpectText("Device"); });
  EXPECT_EQ(result.out, "Line:     2: Expecting 'Device', but seeing 'Devise'.\n");
}

TEST_F(ExpectTest, EndOfInputIsSeenAsTheEmptyText) {
  Start("{ x");
  RunResult result = CaptureRun([] {
    ExpectText("{");
    SkipToken();
    ExpectText("}");
  });
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     1: Expecting '}', but seeing ''.\n");
}

TEST_F(ExpectTest, LineNumbersWiderThanFiveDigitsAreNotCut) {
  Start(std::string(123456, '\n') + "x ");
  RunResult result = CaptureRun([] { ExpectText("y"); });
  EXPECT_EQ(result.out, "Line: 123457: Expecting 'y', but seeing 'x'.\n");
}

TEST_F(ExpectTest, KindMismatchNamesBothCodes) {
  Start("abc 12 'q' PN ");
  RunResult result = CaptureRun([] { ExpectKind(kNumberToken); });
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     1: Expecting '3', but seeing '0'.\n");
  EXPECT_EQ(ErrorCount(), 1);
}

TEST_F(ExpectTest, MatchingKindAdvances) {
  Start("abc 12 'q' PN ");
  RunResult result = CaptureRun([] {
    ExpectKind(kWordToken);
    ExpectKind(kNumberToken);
    ExpectKind(kStringToken);
    ExpectKind(kVariableToken);
    ExpectKind(kWordToken);  // the empty text at the end of the input
  });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(result.out, "");
}

TEST_F(ExpectTest, TakeWordCopiesAndConsumes) {
  Start("Name 'v a l' next");
  std::string name;
  std::string value;
  RunResult result = CaptureRun([&] {
    name = TakeWord();
    value = TakeWord();
  });
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(name, "Name");
  EXPECT_EQ(value, "'v a l'");
  EXPECT_EQ(TokenText(), "next");
}

TEST_F(ExpectTest, TakeWordAcceptsTheLimitAndRefusesOneMore) {
  std::string atLimit(255, 'a');
  Start(atLimit + " " + std::string(256, 'b') + "\nx");
  std::string taken;
  RunResult result = CaptureRun([&] {
    taken = TakeWord();
    TakeWord();
  });
  EXPECT_EQ(taken, atLimit);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     2: Text longer than 255 characters.\n");
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_EQ(TokenText(), std::string(256, 'b'));  // refused before it is consumed
}

TEST_F(ExpectTest, TakeWordMeasuresQuotesToo) {
  Start("'" + std::string(50, 's') + "' x");
  RunResult result = CaptureRun([] { TakeWord(51); });
  EXPECT_EQ(result.out, "Line:     1: Text longer than 51 characters.\n");
}

TEST_F(ExpectTest, CheckTextLengthBoundary) {
  Start("x");
  EXPECT_FALSE(CaptureRun([] { CheckTextLength(std::string(31999, 'j'), 31999); }).exited);
  RunResult result = CaptureRun([] { CheckTextLength(std::string(32000, 'j'), 31999); });
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Line:     1: Text longer than 31999 characters.\n");
}

TEST(CheckStatementQuotesTest, AcceptsEmptyOrQuotedStatements) {
  EXPECT_NO_THROW(CheckStatementQuotes(""));
  EXPECT_NO_THROW(CheckStatementQuotes("'"));  // its first character is also its last
  EXPECT_NO_THROW(CheckStatementQuotes("''"));
  EXPECT_NO_THROW(CheckStatementQuotes("'a = b;'"));
}

std::string QuoteMessage(std::string_view statement) {
  try {
    CheckStatementQuotes(statement);
  } catch (const CFailMsg& failure) {
    return failure.Message();
  }
  return "(accepted)";
}

TEST(CheckStatementQuotesTest, NamesTheMissingQuote) {
  TempFile file("a\n\nb");
  ASSERT_EQ(OpenTokenStream(file.path()), 0);
  NextToken();
  EXPECT_EQ(QuoteMessage("'abc"), "Line:     2: Expecting single quote at the end of the statement.\n");
  EXPECT_EQ(QuoteMessage("abc'"),
            "Line:     2: Expecting single quote at the start of the statement.\n");
  EXPECT_EQ(QuoteMessage("abc"), "Line:     2: Expecting single quote at the start of the statement.\n");
  EXPECT_EQ(QuoteMessage("a'b"), "Line:     2: Expecting single quote at the start of the statement.\n");
  CloseTokenStream();
}

TEST(CFailMsgTest, CopiesItsMessage) {
  CFailMsg original("Line:     3: x\n");
  CFailMsg copy(original);
  EXPECT_EQ(copy.Message(), "Line:     3: x\n");
  EXPECT_EQ(CFailMsg().Message(), "");
}

TEST(FormatTest, LongOutputIsComplete) {
  std::string long_text(5000, 'z');
  EXPECT_EQ(Format("<%s|%5d>", long_text.c_str(), 42), "<" + long_text + "|   42>");
  EXPECT_EQ(Format("%s", ""), "");
}

}  // namespace
}  // namespace qelc
