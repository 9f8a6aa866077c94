#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qelc {

// Longest text a DAF section stores or joins word by word (names, values, items).
constexpr int kStoredTextLimit = 255;

// What the linter says when an expectation fails: the check's name and, built
// only while the linter runs, the rule that was broken in the language's own
// words. Without a text the linter names the token that was expected.
struct Explanation {
  std::string_view check = "syntax";
  std::string (*text)() = nullptr;
};

// The current token's text must equal `expected` (letter case aside); then the
// stream advances. Otherwise the line-numbered message ends the run (status 1).
int ExpectText(std::string_view expected, Explanation explanation = {});

// The current token must be of `kind`; then the stream advances.
int ExpectKind(int32_t kind, Explanation explanation = {});

// The current token as the linter quotes it on one line: 'text' (a long one
// cut, line ends as \n), or "the end of the input".
std::string QuotedToken();

// Consumes the current token whatever it is.
void SkipToken();

// Refuses a text longer than `limit` characters: the line-numbered message, one
// more error, status 1.
void CheckTextLength(std::string_view text, int limit);

// "Takes the word": copies the current token's text after checking it against
// `limit`, then consumes the token.
std::string TakeWord(int limit = kStoredTextLimit);

// The exception of the soft-IP parsers: one finished message text.
class CFailMsg {
 public:
  CFailMsg() = default;
  explicit CFailMsg(std::string message) : message_(std::move(message)) {}
  CFailMsg(const CFailMsg&) = default;
  virtual ~CFailMsg() = default;

  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// A macro statement must be empty or start and end with an apostrophe; otherwise
// a CFailMsg naming the missing quote is thrown.
void CheckStatementQuotes(std::string_view statement);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qelc
