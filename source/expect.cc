#include "source/expect.h"

#include "source/fatal.h"
#include "source/format.h"
#include "source/suggest.h"
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

bool IsWord(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (FoldCase(c) < 'a' || FoldCase(c) > 'z') return false;
  }
  return true;
}

// The cause noted by SkipTextValue: the value's first two words, and the token
// found when it stands on their line after them.
std::string UnquotedValueText(const Parser& p) {
  std::string words = p.cause.unquoted;
  const Token& found = CurrentToken(p);
  bool onTheLine =
      found.start.line == p.cause.from.line && found.start.column > p.cause.from.column;
  if (onTheLine && !IsDelimiterToken(p) && found.kind != kStringToken) {
    words += " ";
    words += found.text;
  }
  return "a value of several words must be quoted (" + QuotedText(words) + ")";
}

// Ends the run on a failed expectation. The linter's text is the caller's, or
// the cause a rule noted at this token, or what was expected (with the keyword
// the token was likely meant to be); the compiler prints its fixed message.
[[noreturn]] void FailExpectation(Parser& p, std::string console, const Explanation& explanation,
                                  std::string_view expected) {
  if (!Linting(p)) ParseError(p, std::move(console), explanation.check);
  if (explanation.text) ParseError(p, std::move(console), explanation.check, explanation.text(p));
  if (CauseNotedHere(p) && !RunOnStringReachesFound(p)) {
    // A cause away from the token found names it.
    const TextPoint& at = p.cause.at;
    bool elsewhere =
        at.line != CurrentToken(p).start.line || at.column != CurrentToken(p).start.column;
    std::string cause = p.cause.unquoted.empty() ? p.cause.text : UnquotedValueText(p);
    ParseErrorAt(p, at, std::move(console), explanation.check,
                 elsewhere ? cause + "; found " + QuotedToken(p) : cause);
  }
  std::string text = "expected " + std::string(expected) + ", found " + QuotedToken(p);
  std::string_view word = std::string_view(expected).substr(1, expected.size() - 2);
  if (expected.starts_with('\'') && IsWord(word) && IsWord(TokenText(p))) {
    Suggestion suggestion(TokenText(p));
    suggestion.Consider(word);
    text += suggestion.Text();
    Propose(suggestion, p.diagnostics, CurrentToken(p).start);
  }
  ParseError(p, std::move(console), explanation.check, std::move(text));
}

}  // namespace

std::string QuotedText(std::string_view text) {
  constexpr size_t kShownLength = 40;
  std::string shown;
  for (char c : text.substr(0, kShownLength)) {
    if (c == '\n') {
      shown += "\\n";
    } else {
      shown += c;
    }
  }
  return "'" + shown + (text.size() > kShownLength ? "...'" : "'");
}

std::string QuotedToken(const Parser& p) {
  if (TokenText(p).empty()) return "the end of the input";
  return QuotedText(TokenText(p));
}

bool CauseNotedHere(const Parser& p) {
  const NotedCause& cause = p.cause;
  TextPoint at = CurrentToken(p).start;
  if (cause.from.line == 0 || at.line < cause.from.line) return false;
  switch (cause.reach) {
    case CauseReach::kToken:
      return at == cause.from;
    case CauseReach::kRestOfLine:
      return at.line == cause.from.line && at.column >= cause.from.column;
    case CauseReach::kIntoNextLine:
      if (at.line == cause.from.line) return at.column >= cause.from.column;
      return p.tokens.PreviousEnd().line == cause.from.line;
    case CauseReach::kOnward:
      return true;
  }
  return false;
}

void NoteCause(Parser& p, TextPoint at, std::string text, CauseReach reach, std::string insert) {
  p.cause = {CurrentToken(p).start, reach, at, std::move(text), std::move(insert), {}};
}

void SkipTextValue(Parser& p) {
  if (!Linting(p)) return NextToken(p);
  // The value's text is kept: the stream reads the next token over it.
  Token value = CurrentToken(p);
  std::string valueText(value.text);
  value.text = valueText;
  NextToken(p);
  if (!p.cause.unquoted.empty()) p.cause = {};
  const Token& next = CurrentToken(p);
  if (value.kind == kStringToken || value.text.empty() || IsDelimiterToken(value) ||
      next.start.line != value.start.line || next.text.empty() || IsDelimiterToken(p) ||
      next.kind == kStringToken || next.kind == kVariableToken) {
    return;
  }
  NoteCause(p, value.start, {}, CauseReach::kIntoNextLine);
  p.cause.unquoted = valueText + " " + std::string(next.text);
}

void FailExpectedText(Parser& p, std::string_view expected, const Explanation& explanation) {
  FailExpectation(p,
                  Format("Line: %5d: Expecting '%.*s', but seeing '%s'.\n", LineCounter(p),
                         int(expected.size()), expected.data(), std::string(TokenText(p)).c_str()),
                  explanation, "'" + std::string(expected) + "'");
}

void ExpectKind(Parser& p, TokenKind kind, const Explanation& explanation) {
  if (CurrentTokenKind(p) != kind) {
    FailExpectation(p,
                    Format("Line: %5d: Expecting '%d', but seeing '%d'.\n", LineCounter(p),
                           int(kind), int(CurrentTokenKind(p))),
                    explanation, KindName(kind));
  }
  NextToken(p);
}

void SkipToken(Parser& p) { NextToken(p); }

bool IsDelimiterToken(const Parser& p) { return IsDelimiterToken(CurrentToken(p)); }

std::string TakeTextValue(Parser& p, int limit) {
  std::string word(PeekWord(p, limit));
  SkipTextValue(p);
  return word;
}

}  // namespace qelc
