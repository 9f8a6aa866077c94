#include "source/token_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/fatal.h"
#include "source/test_support.h"

namespace qelc {
namespace {

using test_support::CaptureRun;
using test_support::TempFile;

struct Seen {
  std::string text;
  int32_t kind;
  int32_t line;  // the line counter when the token was handed out
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << '{' << ::testing::PrintToString(seen.text) << ", " << seen.kind << ", "
             << seen.line << '}';
}

class TokenStreamTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseTokenStream();
    ErrorCount() = 0;
  }

  void Open(std::string_view content) {
    file_ = std::make_unique<TempFile>(content);
    ASSERT_EQ(OpenTokenStream(file_->path()), 0);
  }

  Seen Next() {
    NextToken();
    return {TokenText(), TokenKind(), LineCounter()};
  }

  // Every token up to the end of the input (the empty text is not included).
  std::vector<Seen> All(std::string_view content) {
    Open(content);
    std::vector<Seen> tokens;
    for (Seen seen = Next(); !seen.text.empty(); seen = Next()) tokens.push_back(seen);
    return tokens;
  }

  std::vector<std::string> Texts(std::string_view content) {
    std::vector<std::string> texts;
    for (const Seen& seen : All(content)) texts.push_back(seen.text);
    return texts;
  }

  std::vector<int32_t> Kinds(std::string_view content) {
    std::vector<int32_t> kinds;
    for (const Seen& seen : All(content)) kinds.push_back(seen.kind);
    return kinds;
  }

  std::unique_ptr<TempFile> file_;
};

using Texts_ = std::vector<std::string>;
using Kinds_ = std::vector<int32_t>;

TEST_F(TokenStreamTest, HeaderThenEmptyTextForeverAtEnd) {
  Open("Device X {");
  EXPECT_EQ(Next(), (Seen{"Device", 0, 1}));
  EXPECT_EQ(Next(), (Seen{"X", 0, 1}));
  EXPECT_EQ(Next(), (Seen{"{", 0, 1}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Next(), (Seen{"", 0, 1}));
}

TEST_F(TokenStreamTest, EmptyOrBlankInputHasOnlyTheEmptyText) {
  Open("");
  EXPECT_EQ(Next(), (Seen{"", 0, 1}));
  Open(" \t\n \n");
  EXPECT_EQ(Next(), (Seen{"", 0, 3}));
}

TEST_F(TokenStreamTest, NothingIsReadBeforeTheFirstNextToken) {
  Open("\nA");
  EXPECT_EQ(TokenText(), "");
  EXPECT_EQ(LineCounter(), 2);  // the first character is already the lookahead
  EXPECT_EQ(Next(), (Seen{"A", 0, 2}));
}

TEST_F(TokenStreamTest, ConditionClauseKinds) {
  EXPECT_EQ(Texts("When PACKAGE isin ['P1' 'P2'] :\n"),
            (Texts_{"When", "PACKAGE", "isin", "[", "'P1'", "'P2'", "]", ":"}));
  EXPECT_EQ(Kinds("When PACKAGE isin ['P1' 'P2'] :\n"), (Kinds_{0, 2, 0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(Texts("IN_NUM[12]"), (Texts_{"IN_NUM", "[", "12", "]"}));
  EXPECT_EQ(Kinds("IN_NUM[12]"), (Kinds_{2, 0, 3, 0}));
}

TEST_F(TokenStreamTest, EveryDelimiterIsATokenOfItsOwn) {
  EXPECT_EQ(Texts("a,b?c;d:e[f]g{h}i|j+k-l=m(n)o*p"),
            (Texts_{"a", ",", "b", "?", "c", ";", "d", ":", "e", "[", "f", "]", "g", "{", "h", "}",
                    "i", "|", "j", "+", "k", "-", "l", "=", "m", "(", "n", ")", "o", "*", "p"}));
  EXPECT_EQ(Texts("{{}}"), (Texts_{"{", "{", "}", "}"}));
}

TEST_F(TokenStreamTest, SlashDotAndDoubleQuoteAreOrdinary) {
  EXPECT_EQ(Texts("a/b.c\"d\" e"), (Texts_{"a/b.c\"d\"", "e"}));
}

TEST_F(TokenStreamTest, OnlyBlankTabAndNewlineSeparate) {
  EXPECT_EQ(Texts(" \t a\t\tb \n\n c "), (Texts_{"a", "b", "c"}));
  // Vertical tab, form feed and a lone carriage return are ordinary characters.
  EXPECT_EQ(Texts("a\vb\fc\rd e"), (Texts_{"a\vb\fc\rd", "e"}));
}

TEST_F(TokenStreamTest, BytesAbove127AreOrdinary) {
  EXPECT_EQ(Texts("\xC3\xA9t\xC3\xA9 \xFF"), (Texts_{"\xC3\xA9t\xC3\xA9", "\xFF"}));
}

TEST_F(TokenStreamTest, SignIsADelimiterNotPartOfANumber) {
  EXPECT_EQ(Texts("-5 +7 "), (Texts_{"-", "5", "+", "7"}));
  EXPECT_EQ(Kinds("-5 +7 "), (Kinds_{0, 3, 0, 3}));
}

TEST_F(TokenStreamTest, NumbersAreDecimalDigitsOnly) {
  EXPECT_EQ(Kinds("0 0123 12a a12 1.5 1e3 0x10 9999999999999 \xD9\xA3 1\xB2 "),
            (Kinds_{3, 3, 0, 0, 0, 0, 0, 3, 0, 0}));
}

TEST_F(TokenStreamTest, ConditionVariablesIgnoreLetterCase) {
  EXPECT_EQ(Kinds("glc Ipn pN package Dev DEVBIN dsi In_Num out_num "),
            (Kinds_{2, 2, 2, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(Kinds("GLCX PACKAGES DE DEVBI IN_NUMS _DEV 'DEV' "), (Kinds_{0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(TokenStreamTest, LastWordOfTheInputIsNeverClassified) {
  EXPECT_EQ(All("x 123"), (std::vector<Seen>{{"x", 0, 1}, {"123", 0, 1}}));
  EXPECT_EQ(All("PACKAGE"), (std::vector<Seen>{{"PACKAGE", 0, 1}}));
  EXPECT_EQ(All("7"), (std::vector<Seen>{{"7", 0, 1}}));
  // Anything after the word, even white space, lets it be classified.
  EXPECT_EQ(All("123\n"), (std::vector<Seen>{{"123", 3, 2}}));
  EXPECT_EQ(All("PACKAGE "), (std::vector<Seen>{{"PACKAGE", 2, 1}}));
  EXPECT_EQ(All("123]"), (std::vector<Seen>{{"123", 3, 1}, {"]", 0, 1}}));
}

TEST_F(TokenStreamTest, QuotedStringsKeepTheirApostrophesAndResolveEscapes) {
  EXPECT_EQ(All("'it\\'s' "), (std::vector<Seen>{{"'it's'", 1, 1}}));
  EXPECT_EQ(Unquote("'it's'"), "it's");
  EXPECT_EQ(Texts("'a\\\\b' 'c\\d' "), (Texts_{"'a\\b'", "'cd'"}));
  EXPECT_EQ(All("'a, b {//}' x"), (std::vector<Seen>{{"'a, b {//}'", 1, 1}, {"x", 0, 1}}));
  EXPECT_EQ(Kinds("'' 'x''y'"), (Kinds_{1, 1, 1}));
  EXPECT_EQ(Texts("'' 'x''y'"), (Texts_{"''", "'x'", "'y'"}));
}

TEST_F(TokenStreamTest, NewlinesInsideStringsAreKeptAndCounted) {
  EXPECT_EQ(All("'a\nb' 'c\\\nd' e"),
            (std::vector<Seen>{{"'a\nb'", 1, 2}, {"'c\nd'", 1, 3}, {"e", 0, 3}}));
}

TEST_F(TokenStreamTest, StringEndsAtItsClosingQuoteWhateverFollows) {
  EXPECT_EQ(All("'x'y:"), (std::vector<Seen>{{"'x'", 1, 1}, {"y", 0, 1}, {":", 0, 1}}));
  // The closing quote is the last byte: still a complete string.
  EXPECT_EQ(All("'x'"), (std::vector<Seen>{{"'x'", 1, 1}}));
}

TEST_F(TokenStreamTest, ApostropheInsideAWordIsOrdinary) {
  EXPECT_EQ(All("abc'd e' f"), (std::vector<Seen>{{"abc'd", 0, 1}, {"e'", 0, 1}, {"f", 0, 1}}));
}

TEST_F(TokenStreamTest, UnterminatedStringIsAWordAndEndsTheInput) {
  Open("x 'abc\ndef");
  EXPECT_EQ(Next(), (Seen{"x", 0, 1}));
  EXPECT_EQ(Next(), (Seen{"'abc\ndef", 0, 2}));
  EXPECT_EQ(Next(), (Seen{"", 0, 2}));
  EXPECT_EQ(Next(), (Seen{"", 0, 2}));
}

TEST_F(TokenStreamTest, EscapeAsTheLastByteIsDropped) {
  EXPECT_EQ(All("'abc\\"), (std::vector<Seen>{{"'abc", 0, 1}}));
  // An escaped apostrophe does not close the string, so this one is unterminated.
  EXPECT_EQ(All("'abc\\'"), (std::vector<Seen>{{"'abc'", 0, 1}}));
}

TEST_F(TokenStreamTest, CommentRunsToTheEndOfItsLine) {
  Open("x;// note\ny z");
  EXPECT_EQ(Next(), (Seen{"x", 0, 1}));
  EXPECT_EQ(Next(), (Seen{";", 0, 1}));
  EXPECT_EQ(Next(), (Seen{"y", 0, 2}));
  EXPECT_EQ(Next(), (Seen{"z", 0, 2}));
}

TEST_F(TokenStreamTest, CommentsInEveryPosition) {
  EXPECT_EQ(All("// first\n// second\nc d"), (std::vector<Seen>{{"c", 0, 3}, {"d", 0, 3}}));
  EXPECT_EQ(All("//\nb "), (std::vector<Seen>{{"b", 0, 2}}));
  EXPECT_EQ(Texts("///x y\nb "), (Texts_{"b"}));
  EXPECT_EQ(Texts("a // to the end"), (Texts_{"a"}));
  EXPECT_EQ(Texts("a //\n"), (Texts_{"a"}));
  EXPECT_EQ(Texts("a;//\n'//' b"), (Texts_{"a", ";", "'//'", "b"}));
  // The two slashes make a comment before the delimiter behind them can end a word.
  EXPECT_EQ(Texts("//;x\ny "), (Texts_{"y"}));
  // The comment's newline and the character after it are both read before the
  // next token starts: here that character is itself a newline.
  EXPECT_EQ(All("// c\n\nb "), (std::vector<Seen>{{"b", 0, 3}}));
}

TEST_F(TokenStreamTest, SlashesInsideAWordAreNoComment) {
  EXPECT_EQ(Texts("abc//def x"), (Texts_{"abc//def", "x"}));
  EXPECT_EQ(Texts("a// b"), (Texts_{"a//", "b"}));
  EXPECT_EQ(Texts("/ / b"), (Texts_{"/", "/", "b"}));
  EXPECT_EQ(Texts("/x//y b"), (Texts_{"/x//y", "b"}));
}

TEST_F(TokenStreamTest, TwoSlashesAtTheVeryEndAreAWord) {
  // The end of the input is seen before the comment check.
  EXPECT_EQ(All("x //"), (std::vector<Seen>{{"x", 0, 1}, {"//", 0, 1}}));
}

TEST_F(TokenStreamTest, LineCounterCountsTheLookahead) {
  Open("A\nB C\n\n\nD");
  EXPECT_EQ(Next(), (Seen{"A", 0, 2}));
  EXPECT_EQ(Next(), (Seen{"B", 0, 2}));
  EXPECT_EQ(Next(), (Seen{"C", 0, 3}));
  EXPECT_EQ(Next(), (Seen{"D", 0, 5}));
}

TEST_F(TokenStreamTest, CarriageReturnBeforeLineFeedIsDropped) {
  std::vector<Seen> lf = All("Device X\n{ 12\n}\n");
  std::vector<Seen> crlf = All("Device X\r\n{ 12\r\n}\r\n");
  EXPECT_EQ(crlf, lf);
  EXPECT_EQ(crlf.back(), (Seen{"}", 0, 4}));
}

TEST_F(TokenStreamTest, OtherCarriageReturnsAreKept) {
  EXPECT_EQ(All("A\rB \r 12\r\n"),
            (std::vector<Seen>{{"A\rB", 0, 1}, {"\r", 0, 1}, {"12", 3, 2}}));
  EXPECT_EQ(All("A\r"), (std::vector<Seen>{{"A\r", 0, 1}}));
  // Only the carriage return directly before the line feed goes.
  EXPECT_EQ(All("A\r\r\nB "), (std::vector<Seen>{{"A\r", 0, 2}, {"B", 0, 2}}));
  EXPECT_EQ(All("'\r\r\n'"), (std::vector<Seen>{{"'\r\n'", 1, 2}}));
}

TEST_F(TokenStreamTest, TokensUpTo1023CharactersAreHandedOut) {
  std::string word(1023, 'w');
  EXPECT_EQ(All(word + " x"), (std::vector<Seen>{{word, 0, 1}, {"x", 0, 1}}));
  EXPECT_EQ(All(word), (std::vector<Seen>{{word, 0, 1}}));
  std::string digits(1023, '7');
  EXPECT_EQ(All(digits + "\n"), (std::vector<Seen>{{digits, 3, 2}}));
  std::string quoted = "'" + std::string(1021, 'q') + "'";
  EXPECT_EQ(All(quoted), (std::vector<Seen>{{quoted, 1, 1}}));
}

// A token of 1024 characters ends the run when it is complete, whatever its kind.
TEST_F(TokenStreamTest, LongerTokensAreRefused) {
  const std::string kMessage1 = "Line:     1: Text longer than 1023 characters.\n";
  const std::string kMessage2 = "Line:     2: Text longer than 1023 characters.\n";
  struct Case {
    std::string input;
    std::string message;
  } cases[] = {
      {std::string(1024, 'w') + " x", kMessage1},
      {std::string(1024, 'w'), kMessage1},
      {std::string(2000, 'w') + "\nx", kMessage2},
      {std::string(1024, '5') + ":", kMessage1},
      {"'" + std::string(1022, 'q') + "' x", kMessage1},
      {"'" + std::string(1023, 'q'), kMessage1},                   // unterminated
      {"'" + std::string(1022, 'q') + "'\n", kMessage2},  // the lookahead is counted
      {"'" + std::string(1022, 'q') + "\\'", kMessage1},  // unterminated, escaped quote
      {"'" + std::string(1020, 'q') + "\n\\''", kMessage2},
  };
  for (const Case& c : cases) {
    Open(c.input);
    ErrorCount() = 0;
    test_support::RunResult result = CaptureRun([] { NextToken(); });
    EXPECT_TRUE(result.exited) << c.input.size();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, c.message) << c.input.size();
    EXPECT_EQ(ErrorCount(), 1);
  }
}

TEST_F(TokenStreamTest, LongCommentsAreNoTokens) {
  EXPECT_EQ(Texts("//" + std::string(5000, 'c') + "\nx "), (Texts_{"x"}));
}

TEST_F(TokenStreamTest, OpenFailsOnAMissingFileOrADirectory) {
  EXPECT_EQ(OpenTokenStream("/nonexistent/qelc/none.pre"), 1);
  EXPECT_EQ(OpenTokenStream(std::filesystem::temp_directory_path().string()), 1);
  NextToken();
  EXPECT_EQ(TokenText(), "");
}

TEST_F(TokenStreamTest, ReopeningStartsAfresh) {
  Open("a\nb\nc");
  Next();
  Next();
  EXPECT_EQ(LineCounter(), 3);
  EXPECT_EQ(All("z "), (std::vector<Seen>{{"z", 0, 1}}));
}

TEST_F(TokenStreamTest, TokenIsIgnoresLetterCaseOnly) {
  Open("dEvIcE \xC3\x89 ");
  NextToken();
  EXPECT_TRUE(TokenIs("Device"));
  EXPECT_FALSE(TokenIs("Devic"));
  NextToken();
  EXPECT_FALSE(TokenIs("\xC3\xA9"));  // no folding beyond ASCII
}

TEST(UnquoteTest, StripsTheOpeningQuoteAndCutsAtTheLastQuote) {
  EXPECT_EQ(Unquote(""), "");
  EXPECT_EQ(Unquote("'abc'"), "abc");
  EXPECT_EQ(Unquote("abc"), "abc");
  EXPECT_EQ(Unquote("xy'z"), "xy");
  EXPECT_EQ(Unquote("'"), "");
  EXPECT_EQ(Unquote("''"), "");
  EXPECT_EQ(Unquote("'abc"), "abc");
  EXPECT_EQ(Unquote("'a'b'"), "a'b");
  EXPECT_EQ(Unquote("'a'b"), "a");
  EXPECT_EQ(Unquote("ab'"), "ab");
}

}  // namespace
}  // namespace qelc
