#include "source/expect.h"

#include <gtest/gtest.h>

#include <string>

#include "source/fatal.h"
#include "source/test_support.h"
#include "source/token_stream.h"

namespace qelc {
namespace {

using test_support::TempFile;

TEST(ExpectTest, LineNumbersWiderThanFiveDigitsAreNotCut) {
  TempFile file(std::string(123456, '\n') + "x ");
  ASSERT_EQ(OpenTokenStream(file.path()), 0);
  NextToken();
  EXPECT_EQ(test_support::CaptureRun([] { ExpectKind(kNumberToken); }).out,
            "Line: 123457: Expecting '3', but seeing '0'.\n");
  CloseTokenStream();
  ErrorCount() = 0;
}

TEST(CheckStatementQuotesTest, NamesTheMissingQuote) {
  TempFile file("a\n\nb");
  ASSERT_EQ(OpenTokenStream(file.path()), 0);
  NextToken();
  const std::string start = "Line:     2: Expecting single quote at the start of the statement.\n";
  const std::pair<const char*, std::string> cases[] = {
      {"", ""}, {"'", ""},  // its first character is also its last
      {"''", ""}, {"'a = b;'", ""},
      {"'abc", "Line:     2: Expecting single quote at the end of the statement.\n"},
      {"abc'", start}, {"abc", start}, {"a'b", start}};
  for (const auto& [statement, message] : cases) {
    std::string thrown;
    try {
      CheckStatementQuotes(statement);
    } catch (const CFailMsg& failure) {
      thrown = failure.Message();
    }
    EXPECT_EQ(thrown, message) << statement;
  }
  CloseTokenStream();
}

}  // namespace
}  // namespace qelc
