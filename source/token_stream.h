#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/text_reader.h"

namespace qelc {

// Token kinds; the codes appear in the expectation messages, so they are fixed.
enum TokenKind : int32_t {
  kWordToken = 0,       // a word, a delimiter, or the empty text at end of input
  kStringToken = 1,     // a quoted string, apostrophes included
  kVariableToken = 2,   // a condition variable such as PACKAGE
  kNumberToken = 3,     // decimal digits only
};

// The longest token the stream hands out; a longer one ends the run.
constexpr int kTokenLimit = 1023;

struct Token {
  std::string text;
  TokenKind kind = kWordToken;
  // Where the token starts in the stream; the end of input is placed after the
  // last character. The line counter may already be past it (it counts the
  // lookahead), this is where the token itself stands.
  TextPoint start;
};

// The process-wide token stream over the .pre file: one current token, one
// character of lookahead and a line counter that counts the lookahead too.
const Token& CurrentToken();
inline const std::string& TokenText() { return CurrentToken().text; }
inline TokenKind CurrentTokenKind() { return CurrentToken().kind; }
int32_t LineCounter();
// The line on which the token before the current one started (0 for the first
// token): the linter resumes at a keyword that opens a line.
int32_t PreviousTokenLine();

// True when the file is open (nothing is read yet but the first character),
// false when it cannot be opened.
bool OpenTokenStream(const std::string& path);
// The same over a stream that is already open (the linter's text in memory).
void OpenTokenStream(FilePtr file);
void NextToken();
void CloseTokenStream();

// The condition variables, in the order the tokenizer knows them.
std::span<const std::string_view> ConditionVariables();

// True when the current token's text equals `word`, letter case aside.
inline bool TokenIs(std::string_view word) { return EqualsNoCase(TokenText(), word); }

// Drops a leading apostrophe and cuts the text at the last apostrophe that
// remains: 'abc' gives abc, abc stays abc, xy'z gives xy.
std::string Unquote(std::string_view text);

}  // namespace qelc
