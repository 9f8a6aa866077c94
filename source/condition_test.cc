#include "source/condition.h"

#include <gtest/gtest.h>

#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

using test_support::RunResult;

class ConditionTest : public ::testing::Test {
 protected:
  // Reads one When clause (or `read`) from `source`; the result holds how the run ended.
  RunResult When(std::string_view source, void (*read)(Parser&) = ReadWhen) {
    p_.Open(source);
    NextToken(p_.s);
    return p_.Run([&] { read(p_.s); });
  }
  const std::string& ConditionText() const { return p_.s.condition; }
  std::string_view TokenText() const { return qelc::TokenText(p_.s); }

  test_support::TextParse p_;
};

TEST_F(ConditionTest, AcceptedClausesAreFlattenedTokenByToken) {
  const std::pair<std::string, std::string> cases[] = {
      {"When PACKAGE is 'P44' and (PN[3] isnot 'X' or DEV isin ['A' 'B']) :",
       "\\PACKAGE\\is\\'P44'\\and\\(\\PN\\[\\3\\]\\isnot\\'X'\\or\\DEV\\isin\\[\\'A'\\'B'\\]\\)"},
      {"When :", ""},
      {"When PACKAGE :", "\\PACKAGE"},
      {"When DEV isin [ ] :", "\\DEV\\isin\\[\\]"},
      {"When dev IS 'x' :", "\\dev\\IS\\'x'"},
      {"WHEN GLC isNotIn ['a''b'] OR In_Num[1][22] AND pn :",
       "\\GLC\\isNotIn\\[\\'a'\\'b'\\]\\OR\\In_Num\\[\\1\\]\\[\\22\\]\\AND\\pn"},
      {"When ((DSI is 'it\\'s')) :", "\\(\\(\\DSI\\is\\'it's'\\)\\)"},
      {"When ( ) :", "\\(\\)"},
      {"When and or and :", "\\and\\or\\and"},               // a primary may be empty
      {"When DEV isin ['" + std::string(239, 'f') + "'] :",  // 255 characters
       "\\DEV\\isin\\[\\'" + std::string(239, 'f') + "'\\]"},
  };
  for (const auto& [clause, text] : cases) {
    RunResult result = When(clause + " next");
    EXPECT_FALSE(result.exited) << clause << "\n" << result.out;
    EXPECT_EQ(ConditionText(), text);
    EXPECT_EQ(TokenText(), "next") << clause;
  }
  EXPECT_FALSE(When("_WHEN OUT_NUM[0] is '1' : next", ReadSoftIPWhen).exited);
  EXPECT_EQ(ConditionText(), "\\OUT_NUM\\[\\0\\]\\is\\'1'");
}

TEST_F(ConditionTest, ErrorsEndTheRunAtTheFirstUnexpectedToken) {
  const std::string tooLong = "Line:     1: Text longer than 255 characters.\n";
  std::string manyPins = "When";
  for (int i = 0; i < 50; ++i) manyPins += " PN[" + std::to_string(i % 10) + "] or";
  const std::pair<std::string, std::string> cases[] = {
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
      // \DEV\isin\[ and \] take 13 characters, the string one more than its own
      // length: 256 in all, refused at the piece that would overflow.
      {"When DEV isin ['" + std::string(240, 'f') + "'] :", tooLong},
      // The wrong token in place of "]" is appended before it is checked.
      {"When DEV isin ['" + std::string(240, 'f') + "' abc :", tooLong},
      // Each "\PN\[\d\]\or" adds 12: 21 of them and "\PN" make 255, "\[" is refused.
      {manyPins + " :", tooLong},
  };
  for (const auto& [clause, message] : cases) {
    RunResult result = When(clause);
    EXPECT_EQ(result.status, 1) << clause;
    EXPECT_EQ(result.out, message) << clause;
    EXPECT_LE(ConditionText().size(), 255u);
  }
  EXPECT_EQ(ConditionText().size(), 255u);  // the last: full up to the refused piece
  EXPECT_EQ(TokenText(), "[");
}

}  // namespace
}  // namespace qelc
