#include "source/expect.h"

#include "source/diagnostics.h"
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
std::string Explain(const Explanation& explanation, const std::string& expected) {
  if (!Linting()) return {};
  if (explanation.text) return explanation.text();
  return "expected " + expected + ", found " + QuotedToken();
}

}  // namespace

std::string QuotedToken() {
  constexpr size_t kShownLength = 40;
  if (TokenText().empty()) return "the end of the input";
  std::string shown;
  for (char c : std::string_view(TokenText()).substr(0, kShownLength)) {
    if (c == '\n') {
      shown += "\\n";
    } else {
      shown += c;
    }
  }
  return "'" + shown + (TokenText().size() > kShownLength ? "...'" : "'");
}

void ExpectText(std::string_view expected, Explanation explanation) {
  if (!TokenIs(expected)) {
    ParseError(Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(),
                      int(expected.size()), expected.data(), TokenText().c_str()),
               explanation.check, Explain(explanation, "'" + std::string(expected) + "'"));
  }
  NextToken();
}

void ExpectKind(TokenKind kind, Explanation explanation) {
  if (CurrentTokenKind() != kind) {
    ParseError(Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(), int(kind),
                      int(CurrentTokenKind())),
               explanation.check, Explain(explanation, KindName(kind)));
  }
  NextToken();
}

bool SkipIf(std::string_view text) {
  if (!TokenIs(text)) return false;
  NextToken();
  return true;
}

void SkipToken() { NextToken(); }

void CheckTextLength(std::string_view text, int limit) {
  if (text.size() > size_t(limit)) {
    ParseError(Format("Line: %5d: Text longer than %d characters.\n", LineCounter(), limit),
               "text-length", Format("text longer than %d characters", limit));
  }
}

std::string TakeWord(int limit) {
  std::string word = PeekWord(limit);
  NextToken();
  return word;
}

const std::string& PeekWord(int limit) {
  CheckTextLength(TokenText(), limit);
  return TokenText();
}

}  // namespace qelc
