#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/text_reader.h"

namespace qelc {

// Token kinds; the codes appear in the expectation messages, so they are fixed.
enum TokenKind : int32_t {
  kWordToken = 0,      // a word, a delimiter, or the empty text at end of input
  kStringToken = 1,    // a quoted string, apostrophes included
  kVariableToken = 2,  // a condition variable such as PACKAGE
  kNumberToken = 3,    // decimal digits only
};

// The longest token the stream hands out; a longer one ends the run.
constexpr int kTokenLimit = 1023;

struct Token {
  // The text as read, valid until the stream reads the next token: most lie
  // where the stream read them.
  std::string_view text;
  TokenKind kind = kWordToken;
  // Where the token starts in the stream; the end of input is placed after the
  // last character. The line counter may already be past it (it counts the
  // lookahead), this is where the token itself stands.
  TextPoint start;
};

// The token stream over the .pre file of one compilation: one current token,
// one character of lookahead and a line counter that counts the lookahead too.
class TokenStream {
 public:
  // A token too long is refused through `diagnostics`.
  explicit TokenStream(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
  TokenStream(const TokenStream&) = delete;
  TokenStream& operator=(const TokenStream&) = delete;

  const Token& Current() const { return token_; }
  int32_t LineCounter() const { return line_; }
  // The line on which the token before the current one started (0 for the first
  // token): the linter resumes at a keyword that opens a line.
  int32_t PreviousTokenLine() const { return previousLine_; }

  // Kept only while findings are collected (Diagnostics::Linting): the place
  // just after the last character of the token before the current one, and the
  // last quoted string that ran over a line end (line 0: none yet), from its
  // opening apostrophe to the line of its last character.
  TextPoint PreviousEnd() const { return previousEnd_; }
  // Kept only while findings are collected: the place just after the last
  // character of the current token (its start at the end of the input).
  TextPoint End() const { return end_; }
  struct QuotedRun {
    TextPoint start{0, 0};
    int32_t endLine = 0;
  };
  const QuotedRun& LastRunOnString() const { return runOn_; }

  // For a tool that lays the source out again (the formatter): End() is kept
  // for every token, and the place where each comment starts is appended to
  // `commentStarts` as the stream passes over it. Off (null) unless asked for,
  // so that the compiler pays one test per token. Told before Open.
  void TellComments(std::vector<TextPoint>* commentStarts) {
    commentStarts_ = commentStarts;
    placing_ = PlacesWanted();
  }

  // How many tokens the stream reads ahead at most (all of its room unless
  // told); none reads every token by itself, the slower way that a test
  // compares reading ahead with. Told before Open.
  void ReadAheadAtMost(size_t tokens) { readAhead_ = std::min(tokens, ahead_.size()); }

  // Starts reading `file` (nothing is read yet but the first character); a null
  // file reads as an empty one.
  void Open(FilePtr file);
  // Inline for the tokens read ahead where no places are kept: most of the
  // compiler's.
  void Next() {
    if (aheadNext_ < aheadCount_ && !placing_) [[likely]] {
      previousLine_ = token_.start.line;
      const ReadAheadToken& next = ahead_[aheadNext_++];
      token_.text = next.text;
      token_.kind = next.kind;
      token_.start = next.start;
      line_ = next.lineCounter;
      return;
    }
    NextRead();
  }
  void Close();

 private:
  void NextRead();
  size_t ReadAhead(size_t most);
  void Read();
  void Peek();
  void Advance();
  void Append(int c);
  void AppendBytes(std::string_view bytes);
  template <bool (*InRun)(char), bool kCountsLines, typename Take>
  void TakeRun(Take take);
  void Complete();
  void ReadQuoted();
  void ReadWord();
  void SkipComment();
  void Classify();
  bool OpensComment(std::string_view word) const;
  TextPoint LookaheadPoint() const;
  TextPoint AfterLastRead() const;
  void NoteQuoted();
  // Whether places are kept: comments are told, or findings collected (which
  // they are, or not, from before a stream opens). Worked out at Open and
  // TellComments.
  bool PlacesWanted() const { return commentStarts_ != nullptr || diagnostics_.Linting(); }
  bool placing_ = false;
  size_t readAhead_ = kReadAhead;

  Diagnostics& diagnostics_;
  FilePtr file_;
  std::unique_ptr<TextReader> reader_;
  int lookahead_ = EOF;
  int32_t line_ = 1;
  // Bytes read so far (the lookahead included) and the offset at which the
  // current line starts: a token's column is measured from there.
  int64_t offset_ = 0;
  int64_t lineStart_ = 0;
  int32_t previousLine_ = 0;
  Token token_;
  // Tokens read ahead, handed out in turn before anything more is read.
  struct ReadAheadToken {
    std::string_view text;
    TextPoint start;
    int32_t lineCounter = 1;
    TokenKind kind = kWordToken;
  };
  static constexpr size_t kReadAhead = 64;
  std::array<ReadAheadToken, kReadAhead> ahead_;
  size_t aheadNext_ = 0;
  size_t aheadCount_ = 0;
  // The text of a token that is not read in one piece from the buffer: a
  // quoted string, a word across two reads, a delimiter read on its own.
  std::string spelled_;
  // Tracked while linting, or while comments are told, only.
  std::vector<TextPoint>* commentStarts_ = nullptr;
  TextPoint end_;
  TextPoint previousEnd_;
  QuotedRun runOn_;
};

// The line-numbered message of a text longer than `limit` characters, read on
// line `line`, status 1.
void RefuseLongText(Diagnostics& diagnostics, int32_t line, int limit);

// Refuses a text longer than `limit` characters, read on line `line`.
inline void CheckTextLength(Diagnostics& diagnostics, int32_t line, std::string_view text,
                            int limit) {
  if (text.size() > size_t(limit)) [[unlikely]]
    RefuseLongText(diagnostics, line, limit);
}

// A quoted string that holds a line end in a source that compiles.
extern const WarningCheck kStringSpansLines;

// The token is one of the delimiter characters (, ? ; : [ ] { } | + - = ( ) *).
bool IsDelimiterToken(const Token& token);

// The condition variables, in the order the tokenizer knows them.
std::span<const std::string_view> ConditionVariables();

// Drops a leading apostrophe and cuts the text at the last apostrophe that
// remains: 'abc' gives abc, abc stays abc, xy'z gives xy.
std::string Unquote(std::string_view text);

}  // namespace qelc
