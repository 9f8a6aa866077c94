#include "source/expect.h"

#include "source/fatal.h"
#include "source/format.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

std::string KindName(TokenKind kind) {
  switch (kind) {
    case kStringToken:
      return "a quoted text";
    case kVariableToken:
      return "a condition variable";
    case kNumberToken:
      return "a number";
    case kWordToken:
      break;
  }
  return "a word";
}

// The linter's text of a failed expectation: the caller's, or what was expected.
// Built only while the linter runs; the compiler prints its fixed message.
std::string Explain(const Parser& p, const Explanation& explanation, const std::string& expected) {
  if (!Linting(p)) return {};
  if (explanation.text) return explanation.text(p);
  return "expected " + expected + ", found " + QuotedToken(p);
}

}  // namespace

std::string QuotedToken(const Parser& p) {
  constexpr size_t kShownLength = 40;
  if (TokenText(p).empty()) return "the end of the input";
  std::string shown;
  for (char c : std::string_view(TokenText(p)).substr(0, kShownLength)) {
    if (c == '\n') {
      shown += "\\n";
    } else {
      shown += c;
    }
  }
  return "'" + shown + (TokenText(p).size() > kShownLength ? "...'" : "'");
}

void ExpectText(Parser& p, std::string_view expected, Explanation explanation) {
  if (!TokenIs(p, expected)) {
    ParseError(p,
               Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(p),
                      int(expected.size()), expected.data(), TokenText(p).c_str()),
               explanation.check, Explain(p, explanation, "'" + std::string(expected) + "'"));
  }
  NextToken(p);
}

void ExpectKind(Parser& p, TokenKind kind, Explanation explanation) {
  if (CurrentTokenKind(p) != kind) {
    ParseError(p,
               Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(p), int(kind),
                      int(CurrentTokenKind(p))),
               explanation.check, Explain(p, explanation, KindName(kind)));
  }
  NextToken(p);
}

bool SkipIf(Parser& p, std::string_view text) {
  if (!TokenIs(p, text)) return false;
  NextToken(p);
  return true;
}

void SkipToken(Parser& p) { NextToken(p); }

void CheckTextLength(Parser& p, std::string_view text, int limit) {
  CheckTextLength(p.diagnostics, LineCounter(p), text, limit);
}

std::string TakeWord(Parser& p, int limit) {
  std::string word = PeekWord(p, limit);
  NextToken(p);
  return word;
}

const std::string& PeekWord(Parser& p, int limit) {
  CheckTextLength(p, TokenText(p), limit);
  return TokenText(p);
}

}  // namespace qelc
