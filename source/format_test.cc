#include "source/format.h"

#include <gtest/gtest.h>

#include <string>

namespace qelc {
namespace {

TEST(FormatTest, LongOutputIsComplete) {
  std::string long_text(5000, 'z');
  EXPECT_EQ(Format("<%s|%5d>", long_text.c_str(), 42), "<" + long_text + "|   42>");
}

}  // namespace
}  // namespace qelc
