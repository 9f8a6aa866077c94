#include "source/expect.h"

#include <cstdarg>
#include <cstdio>

#include "source/diagnostics.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

std::string KindName(int32_t kind) {
  switch (kind) {
    case kStringToken:
      return "a quoted text";
    case kVariableToken:
      return "a condition variable";
    case kNumberToken:
      return "a number";
  }
  return "a word";
}

// The linter's text of a failed expectation: the caller's, or what was expected.
std::string Explain(const Explanation& explanation, const std::string& expected) {
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

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? size_t(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

int ExpectText(std::string_view expected, Explanation explanation) {
  if (!TokenIs(expected)) {
    ParseError(explanation.check,
               Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(),
                      int(expected.size()), expected.data(), TokenText().c_str()),
               Explain(explanation, "'" + std::string(expected) + "'"));
  }
  NextToken();
  return 0;
}

int ExpectKind(int32_t kind, Explanation explanation) {
  if (TokenKind() != kind) {
    ParseError(explanation.check,
               Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(), kind,
                      TokenKind()),
               Explain(explanation, KindName(kind)));
  }
  NextToken();
  return 0;
}

void SkipToken() { NextToken(); }

void CheckTextLength(std::string_view text, int limit) {
  if (text.size() > size_t(limit)) {
    ParseError("text-length",
               Format("Line: %5d: Text longer than %d characters.\n", LineCounter(), limit),
               Format("text longer than %d characters", limit));
  }
}

std::string TakeWord(int limit) {
  CheckTextLength(TokenText(), limit);
  std::string word = TokenText();
  NextToken();
  return word;
}

void CheckStatementQuotes(std::string_view statement) {
  if (statement.empty() || (statement.front() == '\'' && statement.back() == '\'')) return;
  bool opened = statement.front() == '\'';
  // The compiler's soft-IP road reports this message when it catches it; the
  // linter reports it where it stands.
  if (Linting()) {
    ParseError("statement-quotes", {},
               opened ? "a macro statement must end with a single quote"
                      : "a macro statement must start with a single quote");
  }
  const char* format = opened
                           ? "Line: %5d: Expecting single quote at the end of the statement.\n"
                           : "Line: %5d: Expecting single quote at the start of the statement.\n";
  throw CFailMsg(Format(format, LineCounter()));
}

}  // namespace qelc
