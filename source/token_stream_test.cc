#include "source/token_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/test_support.h"

namespace qelc {
namespace {

class TokenStreamTest : public ::testing::Test {
 protected:
  test_support::TextParse p_;
  ParseState& s_ = p_.s;
};

// The tokens of `input`; kinds and lines hold a digit per token (the kind: 0 word,
// 1 string, 2 variable, 3 number; the line counter as the token is handed out)
// and are not checked when empty.
struct Tokens {
  std::string input;
  std::vector<std::string> texts;
  std::string kinds;
  std::string lines;
};

TEST_F(TokenStreamTest, SplitsClassifiesAndCountsLines) {
  const size_t kBlock = 65536;
  const std::string w1023(1023, 'w'), d1023(1023, '7'), q1023 = "'" + std::string(1021, 'q') + "'";
  const Tokens cases[] = {
      {"Device X {", {"Device", "X", "{"}, "000", "111"},
      {"", {}, "", ""},
      {" \t\n \n", {}, "", ""},
      {"When PACKAGE isin ['P1' 'P2'] :\n",
       {"When", "PACKAGE", "isin", "[", "'P1'", "'P2'", "]", ":"},
       "02001100",
       ""},
      {"IN_NUM[12]", {"IN_NUM", "[", "12", "]"}, "2030", ""},
      {"a,b?c;d:e[f]g{h}i|j+k-l=m(n)o*p",
       {"a", ",", "b", "?", "c", ";", "d", ":", "e", "[", "f", "]", "g", "{", "h", "}",
        "i", "|", "j", "+", "k", "-", "l", "=", "m", "(", "n", ")", "o", "*", "p"},
       "",
       ""},
      {"{{}}", {"{", "{", "}", "}"}, "", ""},
      {"a/b.c\"d\" e", {"a/b.c\"d\"", "e"}, "", ""},
      // Only blank, tab and newline separate; other control bytes and bytes
      // above 127 are ordinary.
      {" \t a\t\tb \n\n c ", {"a", "b", "c"}, "", ""},
      {"a\vb\fc\rd e", {"a\vb\fc\rd", "e"}, "", ""},
      {"\xC3\xA9t\xC3\xA9 \xFF", {"\xC3\xA9t\xC3\xA9", "\xFF"}, "", ""},
      {"-5 +7 ", {"-", "5", "+", "7"}, "0303", ""},
      {"0 0123 12a a12 1.5 1e3 0x10 9999999999999 \xD9\xA3 1\xB2 ",
       {"0", "0123", "12a", "a12", "1.5", "1e3", "0x10", "9999999999999", "\xD9\xA3", "1\xB2"},
       "3300000300",
       ""},
      {"glc Ipn pN package Dev DEVBIN dsi In_Num out_num ",
       {"glc", "Ipn", "pN", "package", "Dev", "DEVBIN", "dsi", "In_Num", "out_num"},
       "222222222",
       ""},
      {"GLCX PACKAGES DE DEVBI IN_NUMS _DEV 'DEV' ",
       {"GLCX", "PACKAGES", "DE", "DEVBI", "IN_NUMS", "_DEV", "'DEV'"},
       "0000001",
       ""},
      // Words of a variable's length and first letter that are none.
      {"DSV dei inc GLX Pack_ge DEVBIX P_ In_Nu oUT_NUx ",
       {"DSV", "dei", "inc", "GLX", "Pack_ge", "DEVBIX", "P_", "In_Nu", "oUT_NUx"},
       "000000000",
       ""},
      // The last word of the input is never classified; anything behind it lets it be.
      {"x 123", {"x", "123"}, "00", "11"},
      {"PACKAGE", {"PACKAGE"}, "0", "1"},
      {"123\n", {"123"}, "3", "2"},
      {"PACKAGE ", {"PACKAGE"}, "2", "1"},
      {"123]", {"123", "]"}, "30", "11"},
      // Quoted strings keep their apostrophes and resolve escapes.
      {"'a\\\\b' 'c\\d' ", {"'a\\b'", "'cd'"}, "11", ""},
      {"'a, b {//}' x", {"'a, b {//}'", "x"}, "10", "11"},
      {"'' 'x''y'", {"''", "'x'", "'y'"}, "111", ""},
      {"'a\nb' 'c\\\nd' e", {"'a\nb'", "'c\nd'", "e"}, "110", "233"},
      {"'x'y:", {"'x'", "y", ":"}, "100", "111"},
      {"'x'", {"'x'"}, "1", "1"},
      {"abc'd e' f", {"abc'd", "e'", "f"}, "000", "111"},
      // An unterminated string is a word that ends the input; so is one whose
      // last byte is an escape (dropped) or an escaped apostrophe.
      {"x 'abc\ndef", {"x", "'abc\ndef"}, "00", "12"},
      {"'abc\\", {"'abc"}, "0", "1"},
      {"'abc\\'", {"'abc'"}, "0", "1"},
      // Comments.
      {"// first\n// second\nc d", {"c", "d"}, "00", "33"},
      {"//\nb ", {"b"}, "0", "2"},
      {"///x y\nb ", {"b"}, "", ""},
      {"a // to the end", {"a"}, "", ""},
      {"a //\n", {"a"}, "", ""},
      {"a;//\n'//' b", {"a", ";", "'//'", "b"}, "", ""},
      {"//;x\ny ", {"y"}, "", ""},  // the slashes make a comment before ';' ends a word
      {"// c\n\nb ", {"b"}, "0", "3"},
      {"a// b", {"a//", "b"}, "", ""},
      {"/ / b", {"/", "/", "b"}, "", ""},
      {"/x//y b", {"/x//y", "b"}, "", ""},
      {"x //", {"x", "//"}, "00", "11"},  // the end of input is seen before the comment
      {"//" + std::string(5000, 'c') + "\nx ", {"x"}, "", ""},
      // The line counter counts the lookahead character.
      {"A\nB C\n\n\nD", {"A", "B", "C", "D"}, "", "2235"},
      // Only a carriage return right before a line feed is dropped.
      {"A\rB \r 12\r\n", {"A\rB", "\r", "12"}, "003", "112"},
      {"A\r", {"A\r"}, "0", "1"},
      {"'\r\r\n'", {"'\r\n'"}, "1", "2"},
      // Tokens up to 1023 characters are handed out.
      {w1023, {w1023}, "0", "1"},
      {d1023 + "\n", {d1023}, "3", "2"},
      {q1023, {q1023}, "1", "1"},
      // The file is read in blocks of 65536 bytes; what crosses from one block
      // into the next is read whole.
      {std::string(kBlock - 10, ' ') + w1023 + "\n;", {w1023, ";"}, "00", "22"},
      {std::string(kBlock - 2, ' ') + "'a\nb\\'c\nd' z", {"'a\nb'c\nd'", "z"}, "10", "33"},
      {std::string(kBlock - 5, ' ') + "// a comment\r\nnext", {"next"}, "0", "2"},
      {std::string(kBlock - 1, '\t') + "//\r\nx y", {"x", "y"}, "00", "22"},
      {std::string(kBlock - 1, ' ') + "12\r\n", {"12"}, "3", "2"},
  };
  for (const Tokens& c : cases) {
    p_.Open(c.input);
    std::vector<std::string> texts;
    std::string kinds, lines;
    for (NextToken(s_); !TokenText(s_).empty(); NextToken(s_)) {
      texts.emplace_back(TokenText(s_));
      kinds += char('0' + CurrentTokenKind(s_));
      lines += char('0' + LineCounter(s_));
    }
    EXPECT_EQ(texts, c.texts) << c.input;
    EXPECT_TRUE(c.kinds.empty() || kinds == c.kinds) << c.input << " kinds " << kinds;
    EXPECT_TRUE(c.lines.empty() || lines == c.lines) << c.input << " lines " << lines;
    NextToken(s_);  // the empty text stays
    EXPECT_EQ(TokenText(s_), "");
  }
}

// What a reader sees of each token: its text, kind, place, the line counter
// and the line of the token before.
// Where places are kept, also where each token and the one before it end.
struct Seen {
  std::vector<std::string> tokens;
  std::vector<std::string> ends;
  bool operator==(const Seen&) const = default;
};
Seen SeenTokens(ParseState& s, bool placing) {
  auto place = [](TextPoint point) {
    return std::to_string(point.line) + ":" + std::to_string(point.column);
  };
  Seen seen;
  for (NextToken(s); !TokenText(s).empty(); NextToken(s)) {
    const Token& token = CurrentToken(s);
    seen.tokens.push_back(std::string(token.text) + " " + std::to_string(token.kind) + " " +
                          place(token.start) + " " + std::to_string(LineCounter(s)) + " " +
                          std::to_string(s.tokens.PreviousTokenLine()));
    if (placing) seen.ends.push_back(place(s.tokens.End()) + " " + place(s.tokens.PreviousEnd()));
  }
  return seen;
}

// The stream reads most tokens ahead, a buffer's stretch at a time; told to
// read none ahead, it reads each by itself. Both see the same tokens, at the
// same places, with the same line counter, whether places are kept or not, over
// every way a stretch can end: strings, comments, long words, carriage
// returns, the end of a block.
TEST_F(TokenStreamTest, ReadingAheadSeesWhatReadingOneAtATimeSees) {
  const char* const pieces[] = {
      "Device", "X",       ":",         ";",  "{",    "}",  "PACKAGE", "pn", "123", "12a",  "'P1'",
      "'a\nb'", "'x\\'y'", "// note\n", "\n", "\r\n", "\r", "\t",      "  ", "//",  "w//v", "$"};
  uint32_t random = 12345;
  auto next = [&random](uint32_t below) {
    random = random * 1103515245u + 12345u;
    return (random >> 16) % below;
  };
  std::string input;
  while (input.size() < 300000) {
    if (next(500) == 0) input += std::string(900 + next(100), 'L') + " ";
    input += pieces[next(std::size(pieces))];
    input += next(3) == 0 ? "" : " ";
  }
  for (size_t end : {input.size(), size_t(65536 * 2 + 7), size_t(65535)}) {
    std::string text = input.substr(0, end);
    Seen seen[2][2];  // [places kept][read ahead]
    std::vector<TextPoint> comments[2];
    for (int placing : {0, 1}) {
      for (int ahead : {0, 1}) {
        s_.tokens.TellComments(placing ? &comments[ahead] : nullptr);
        s_.tokens.ReadAheadAtMost(ahead ? 64 : 0);
        p_.Open(text);
        seen[placing][ahead] = SeenTokens(s_, placing);
      }
    }
    s_.tokens.TellComments(nullptr);
    s_.tokens.ReadAheadAtMost(64);
    ASSERT_GT(seen[0][0].tokens.size(), 1000u);
    EXPECT_EQ(seen[0][1], seen[0][0]) << "input of " << end << " bytes";
    EXPECT_EQ(seen[1][1], seen[1][0]) << "input of " << end << " bytes, places kept";
    EXPECT_EQ(seen[1][0].tokens, seen[0][0].tokens) << "input of " << end << " bytes";
    EXPECT_EQ(comments[1], comments[0]) << "input of " << end << " bytes";
  }
}

// Told comments, the stream names where each starts and where every token
// ends (a string over its line ends, the end of the input at its start),
// without changing the tokens.
TEST_F(TokenStreamTest, TellsCommentsAndTokenEnds) {
  std::vector<TextPoint> comments;
  s_.tokens.TellComments(&comments);
  p_.Open("// first\nA 'b\nc' // after\n  x// y //z\n'open");
  std::vector<std::string> texts, ends;
  for (NextToken(s_); !TokenText(s_).empty(); NextToken(s_)) {
    texts.emplace_back(TokenText(s_));
    const TextPoint end = s_.tokens.End();
    ends.push_back(std::to_string(end.line) + ":" + std::to_string(end.column));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "'b\nc'", "x//", "y", "'open"}));
  EXPECT_EQ(ends, (std::vector<std::string>{"2:2", "3:3", "4:6", "4:8", "5:6"}));
  ASSERT_EQ(comments.size(), 3u);
  EXPECT_EQ(comments[0].line, 1);
  EXPECT_EQ(comments[0].column, 1);
  EXPECT_EQ(comments[1].line, 3);
  EXPECT_EQ(comments[1].column, 4);
  EXPECT_EQ(comments[2].line, 4);
  EXPECT_EQ(comments[2].column, 9);
  s_.tokens.TellComments(nullptr);
}

// A token of 1024 characters ends the run when it is complete, whatever its kind.
TEST_F(TokenStreamTest, LongerTokensAreRefused) {
  const std::string kMessage1 = "Line:     1: Text longer than 1023 characters.\n";
  const std::string kMessage2 = "Line:     2: Text longer than 1023 characters.\n";
  const std::pair<std::string, std::string> cases[] = {
      {std::string(1024, 'w'), kMessage1},
      {std::string(2000, 'w') + "\nx", kMessage2},
      {std::string(1024, '5') + ":", kMessage1},
      {"'" + std::string(1023, 'q'), kMessage1},          // unterminated
      {"'" + std::string(1022, 'q') + "'\n", kMessage2},  // the lookahead is counted
      {"'" + std::string(1022, 'q') + "\\'", kMessage1},  // unterminated, escaped quote
      {"'" + std::string(1020, 'q') + "\n\\''", kMessage2},
      {std::string(65436, ' ') + std::string(2000, 'w') + " x", kMessage1},
  };
  for (const auto& [input, message] : cases) {
    p_.Open(input);
    test_support::RunResult result = p_.Run([&] { NextToken(s_); });
    EXPECT_TRUE(result.exited) << input.size();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, message) << input.size();
  }
}

TEST(UnquoteTest, DropsALeadingQuoteAndCutsAtTheLastQuote) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},   {"'abc'", "abc"}, {"abc", "abc"},   {"xy'z", "xy"}, {"'", ""},
      {"''", ""}, {"'abc", "abc"},  {"'a'b'", "a'b"}, {"'a'b", "a"},  {"ab'", "ab"}};
  for (const auto& [text, unquoted] : cases) EXPECT_EQ(Unquote(text), unquoted) << text;
}

TEST(IsDelimiterTokenTest, OneDelimiterCharacterOfAWord) {
  for (const char* text : {",", ":", ";", "{", "}", "=", "|", "(", "*"}) {
    EXPECT_TRUE(IsDelimiterToken({text, kWordToken, {}})) << text;
  }
  // Bytes above 127 are no delimiters, nor are longer words or quoted texts.
  for (const char* text : {"\xe9", "\xff", "a", "::", "", "'"}) {
    EXPECT_FALSE(IsDelimiterToken({text, kWordToken, {}})) << text;
  }
  EXPECT_FALSE(IsDelimiterToken({":", kStringToken, {}}));
}

}  // namespace
}  // namespace qelc
