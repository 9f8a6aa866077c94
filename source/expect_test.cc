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
  ASSERT_TRUE(OpenTokenStream(file.path()));
  NextToken();
  EXPECT_EQ(test_support::CaptureRun([] { ExpectKind(kNumberToken); }).out,
            "Line: 123457: Expecting '3', but seeing '0'.\n");
  CloseTokenStream();
}

}  // namespace
}  // namespace qelc
