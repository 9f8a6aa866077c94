#include "source/expect.h"

#include <gtest/gtest.h>

#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

TEST(ExpectTest, LineNumbersWiderThanFiveDigitsAreNotCut) {
  test_support::TextParse p(std::string(123456, '\n') + "x ");
  NextToken(p.s);
  EXPECT_EQ(p.Run([&] { ExpectKind(p.s, kNumberToken); }).out,
            "Line: 123457: Expecting '3', but seeing '0'.\n");
}

}  // namespace
}  // namespace qelc
