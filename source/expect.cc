#include "source/expect.h"

#include "source/fatal.h"
#include "source/format.h"
#include "source/token_stream.h"

namespace qelc {

void ExpectText(std::string_view expected) {
  if (!TokenIs(expected)) {
    ParseError(Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(),
                      int(expected.size()), expected.data(), TokenText().c_str()));
  }
  NextToken();
}

void ExpectKind(TokenKind kind) {
  if (CurrentTokenKind() != kind) {
    ParseError(Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(), int(kind),
                      int(CurrentTokenKind())));
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
    ParseError(Format("Line: %5d: Text longer than %d characters.\n", LineCounter(), limit));
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
