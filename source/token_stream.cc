#include "source/token_stream.h"

#include <array>
#include <cstdio>
#include <memory>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

constexpr char kQuote = '\'';
constexpr char kEscape = '\\';

constexpr std::array<bool, 256> CharSet(std::string_view members) {
  std::array<bool, 256> set{};
  for (char c : members) set[static_cast<unsigned char>(c)] = true;
  return set;
}
constexpr auto kWhiteSpace = CharSet(" \t\n");
constexpr auto kDelimiters = CharSet(",?;:[]{}|+-=()*");

constexpr std::string_view kConditionVariables[] = {
    "GLC", "IPN", "PN", "PACKAGE", "DEV", "DEVBIN", "DSI", "IN_NUM", "OUT_NUM"};

struct Stream {
  FilePtr file;
  std::unique_ptr<TextReader> reader;
  int lookahead = EOF;
  int32_t line = 1;
  Token token;
};

Stream stream;

bool IsWhite(int c) { return c != EOF && kWhiteSpace[c]; }
bool IsDelimiter(int c) { return c != EOF && kDelimiters[c]; }

int ReadChar() {
  int c = stream.reader ? stream.reader->Get() : EOF;
  if (c == '\n') ++stream.line;
  return c;
}

void Advance() { stream.lookahead = ReadChar(); }

// Text beyond the limit is not kept; the token is refused once it is complete.
void Append(int c) {
  if (stream.token.text.size() <= size_t(kTokenLimit)) stream.token.text.push_back(char(c));
}

void Complete() { CheckTextLength(stream.token.text, kTokenLimit); }

void ReadQuoted() {
  Append(stream.lookahead);
  for (;;) {
    int c = ReadChar();
    if (c == EOF) break;  // unterminated: handed out as a word
    if (c == kEscape) {
      c = ReadChar();
      if (c == EOF) break;
    } else if (c == kQuote) {
      Append(c);
      Advance();
      stream.token.kind = kStringToken;
      break;
    }
    Append(c);
  }
  if (stream.token.kind != kStringToken) stream.lookahead = EOF;
  Complete();
}

void Classify() {
  const std::string& text = stream.token.text;
  for (std::string_view variable : kConditionVariables) {
    if (EqualsNoCase(text, variable)) stream.token.kind = kVariableToken;
  }
  for (char c : text) {
    if (c < '0' || c > '9') return;
  }
  stream.token.kind = kNumberToken;
}

}  // namespace

const Token& CurrentToken() { return stream.token; }
int32_t LineCounter() { return stream.line; }

int OpenTokenStream(const std::string& path) {
  CloseTokenStream();
  stream.line = 1;
  stream.token = Token{};
  stream.file = OpenForReading(path);
  if (!stream.file) return 1;
  stream.reader = std::make_unique<TextReader>(stream.file.get());
  Advance();
  return 0;
}

void CloseTokenStream() {
  stream.reader.reset();
  stream.file.reset();
  stream.lookahead = EOF;
}

void NextToken() {
  std::string& text = stream.token.text;
  for (;;) {
    text.clear();
    stream.token.kind = kWordToken;
    while (IsWhite(stream.lookahead)) Advance();
    if (stream.lookahead == EOF) return;

    if (IsDelimiter(stream.lookahead)) {
      Append(stream.lookahead);
      Advance();
      return;
    }
    if (stream.lookahead == kQuote) {
      ReadQuoted();
      return;
    }
    for (;;) {
      Append(stream.lookahead);
      Advance();
      if (stream.lookahead == EOF) {
        // A word at the very end of the input is not classified.
        Complete();
        return;
      }
      if (text == "//") break;
      if (IsDelimiter(stream.lookahead) || IsWhite(stream.lookahead)) {
        Complete();
        Classify();
        return;
      }
    }
    // A comment runs to the end of its line; the token starts over after it.
    while (stream.lookahead != '\n' && stream.lookahead != EOF) Advance();
    Advance();
  }
}

bool TokenIs(std::string_view word) { return EqualsNoCase(stream.token.text, word); }

std::string Unquote(std::string_view text) {
  if (!text.empty() && text.front() == kQuote) text.remove_prefix(1);
  size_t last = text.rfind(kQuote);
  if (last != std::string_view::npos) text = text.substr(0, last);
  return std::string(text);
}

}  // namespace qelc
