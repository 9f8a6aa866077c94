#include "source/expect.h"

#include <cstdarg>
#include <cstdio>

#include "source/fatal.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

[[noreturn]] void ParseError(const std::string& message) {
  std::fputs(message.c_str(), stdout);
  ++ErrorCount();
  ExitRun(1);
}

}  // namespace

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

int ExpectText(std::string_view expected) {
  if (!TokenIs(expected)) {
    ParseError(Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(),
                      int(expected.size()), expected.data(), TokenText().c_str()));
  }
  NextToken();
  return 0;
}

int ExpectKind(int32_t kind) {
  if (TokenKind() != kind) {
    ParseError(Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(), kind,
                      TokenKind()));
  }
  NextToken();
  return 0;
}

void SkipToken() { NextToken(); }

void CheckTextLength(std::string_view text, int limit) {
  if (text.size() > size_t(limit)) {
    ParseError(Format("Line: %5d: Text longer than %d characters.\n", LineCounter(), limit));
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
  const char* format = statement.front() == '\''
                           ? "Line: %5d: Expecting single quote at the end of the statement.\n"
                           : "Line: %5d: Expecting single quote at the start of the statement.\n";
  throw CFailMsg(Format(format, LineCounter()));
}

}  // namespace qelc
