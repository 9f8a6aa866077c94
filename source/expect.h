#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/text_limits.h"
#include "source/parser.h"

namespace qelc {

// The only ways the parsers look at and advance the token stream. Their names
// carry one meaning each, and the parsers keep to it:
//   Read...   reads one grammar rule; the rule stands in a comment above it.
//   Take...   takes the current token's value and consumes the token.
//   Peek...   gives the current token's value and leaves the token current.
//   Expect... the current token must be the one named; then it is consumed.
//   SkipIf    consumes the current token when it is the one named.
//   Skip...   consumes the current token, whatever it is.

// Longest text a DAF section stores or joins word by word (names, values, items).
constexpr int kStoredTextLimit = text_limit::kStored;

// What the linter says when an expectation fails: the check's name and, built
// only while the linter runs, the rule that was broken in the language's own
// words. Without a text the linter names the token that was expected.
struct Explanation {
  std::string_view check = "syntax";
  std::string (*text)(const Parser&) = nullptr;
};

// While the linter runs: notes `text` as the likely cause of an expectation that
// fails at the current token (or as far from it as `reach` says), said at `at`.
// Callers build the text only when Linting(p).
void NoteCause(Parser& p, TextPoint at, std::string text, CauseReach reach = CauseReach::kToken,
               std::string insert = {});

// True when a cause was noted for an expectation failing at the current token.
bool CauseNotedHere(const Parser& p);

// Ends the run on the expectation of `expected` that the current token fails.
[[noreturn]] void FailExpectedText(Parser& p, std::string_view expected,
                                   const Explanation& explanation);

// The current token's text must equal `expected` (letter case aside); then the
// stream advances. Otherwise the line-numbered message ends the run (status 1).
// Inline, with the explanation by reference: the parsers expect a token at
// almost every step, and the explanation is read only when one fails.
inline void ExpectText(Parser& p, std::string_view expected, const Explanation& explanation = {}) {
  if (!TokenIs(p, expected)) FailExpectedText(p, expected, explanation);
  NextToken(p);
}

// The current token must be of `kind`; then the stream advances.
void ExpectKind(Parser& p, TokenKind kind, const Explanation& explanation = {});

// True, and the token consumed, when its text equals `text` (letter case aside).
inline bool SkipIf(Parser& p, std::string_view text) {
  if (!TokenIs(p, text)) return false;
  NextToken(p);
  return true;
}

// A text as the linter quotes it on one line: 'text', a long one cut, line
// ends as \n.
std::string QuotedText(std::string_view text);

// The current token quoted so, or "the end of the input".
std::string QuotedToken(const Parser& p);

// True when the current token is one delimiter character (',', ':', '{', ...).
bool IsDelimiterToken(const Parser& p);

// Consumes the current token whatever it is.
void SkipToken(Parser& p);

// Consumes the current token, a value of free text. While the linter runs, a
// word that follows it on its line most likely goes on with the value, written
// without its quotes, and takes the place of what should follow the value: an
// expectation that fails from that word to the first token of the next line
// says so at the value.
void SkipTextValue(Parser& p);

// "Takes the word" of a value of free text: TakeWord, consumed by SkipTextValue.
std::string TakeTextValue(Parser& p, int limit = kStoredTextLimit);

// Refuses a text longer than `limit` characters: the line-numbered message, one
// more error, status 1.
inline void CheckTextLength(Parser& p, std::string_view text, int limit) {
  CheckTextLength(p.diagnostics, LineCounter(p), text, limit);
}

// The current token's text after the same check, the token left current: for a
// caller that stores the text before the stream moves on, so that a full table
// is reported before anything wrong with the next token.
inline std::string_view PeekWord(Parser& p, int limit = kStoredTextLimit) {
  CheckTextLength(p, TokenText(p), limit);
  return TokenText(p);
}

// "Takes the word": copies the current token's text after checking it against
// `limit`, then consumes the token.
inline std::string TakeWord(Parser& p, int limit = kStoredTextLimit) {
  std::string word(PeekWord(p, limit));
  NextToken(p);
  return word;
}

}  // namespace qelc
