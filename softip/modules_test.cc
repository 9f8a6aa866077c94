#include "softip/modules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "source/test_support.h"

namespace qelc {
namespace {

TEST(CheckStatementQuotesTest, NamesTheMissingQuote) {
  test_support::TextParse p("a\n\nb");
  NextToken(p.s);
  const std::string start = "Line:     2: Expecting single quote at the start of the statement.\n";
  const std::pair<const char*, std::string> cases[] = {
      {"", ""},
      {"'", ""},  // its first character is also its last
      {"''", ""},
      {"'a = b;'", ""},
      {"'abc", "Line:     2: Expecting single quote at the end of the statement.\n"},
      {"abc'", start},
      {"abc", start},
      {"a'b", start}};
  for (const auto& [statement, message] : cases) {
    test_support::RunResult run = p.Run([&] { CheckStatementQuotes(p.s, statement); });
    EXPECT_EQ(run.out, message) << statement;
    EXPECT_EQ(run.exited, !message.empty()) << statement;
  }
}

}  // namespace
}  // namespace qelc
