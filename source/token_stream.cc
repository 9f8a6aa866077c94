#include "source/token_stream.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "source/ascii.h"
#include "source/format.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

constexpr std::array<bool, 256> CharSet(std::string_view members) {
  std::array<bool, 256> set{};
  for (char c : members) set[static_cast<unsigned char>(c)] = true;
  return set;
}
constexpr auto kWhiteSpace = CharSet(kWhiteCharacters);
constexpr auto kDelimiters = CharSet(kDelimiterCharacters);

bool IsWhite(int c) { return c != EOF && kWhiteSpace[c]; }
bool IsDelimiter(int c) { return c != EOF && kDelimiters[c]; }

// The bytes that the runs below take in one piece.
bool IsWhiteByte(char c) { return kWhiteSpace[static_cast<unsigned char>(c)]; }
bool IsWordByte(char c) { return !IsWhiteByte(c) && !kDelimiters[static_cast<unsigned char>(c)]; }
bool IsPlainQuotedByte(char c) { return c != kQuote && c != kEscape; }
bool IsCommentByte(char c) { return c != '\n'; }

// Most words are longer than any condition variable or start with a letter
// that none starts with, and need no comparison.
constexpr size_t kLongestVariable = [] {
  size_t longest = 0;
  for (std::string_view variable : kConditionVariables)
    longest = std::max(longest, variable.size());
  return longest;
}();
constexpr auto kVariableInitials = [] {
  std::array<bool, 256> set{};
  for (std::string_view variable : kConditionVariables) {
    set[static_cast<unsigned char>(variable[0])] = true;
    set[static_cast<unsigned char>(FoldCase(variable[0]))] = true;
  }
  return set;
}();

bool IsConditionVariable(std::string_view word) {
  if (word.size() > kLongestVariable || !kVariableInitials[static_cast<unsigned char>(word[0])]) {
    return false;
  }
  return std::any_of(std::begin(kConditionVariables), std::end(kConditionVariables),
                     [word](std::string_view variable) { return EqualsNoCase(word, variable); });
}

}  // namespace

inline int TokenStream::ReadChar() {
  int c = reader_ ? reader_->Get() : EOF;
  if (c == EOF) return c;
  ++offset_;
  if (c == '\n') {
    ++line_;
    lineStart_ = offset_;
  }
  return c;
}

// Called on a run before it is consumed, so offset_ is where it begins.
inline void TokenStream::CountLines(std::string_view bytes) {
  size_t last = bytes.rfind('\n');
  if (last == std::string_view::npos) return;
  line_ += int32_t(std::count(bytes.begin(), bytes.end(), '\n'));
  lineStart_ = offset_ + int64_t(last) + 1;
}

// Text beyond the limit is not kept; the token is refused once it is complete.
inline void TokenStream::Append(int c) {
  if (token_.text.size() <= size_t(kTokenLimit)) token_.text.push_back(char(c));
}
inline void TokenStream::AppendBytes(std::string_view bytes) {
  std::string& text = token_.text;
  if (text.size() <= size_t(kTokenLimit))
    text.append(bytes.substr(0, kTokenLimit + 1 - text.size()));
}

// Reads on while `inRun` holds for the next byte, handing the bytes to `take` a
// buffer's run at a time; the lookahead is left as it was. Most of the input
// goes through here rather than byte by byte.
template <typename InRun, typename Take>
void TokenStream::ConsumeRun(InRun inRun, Take take) {
  if (!reader_) return;
  for (;;) {
    std::string_view bytes = reader_->Buffered();
    size_t length = 0;
    while (length < bytes.size() && inRun(bytes[length])) ++length;
    take(bytes.substr(0, length));
    reader_->Consume(length);
    offset_ += int64_t(length);
    if (length < bytes.size() || bytes.empty()) return;
  }
}

inline void TokenStream::Complete() {
  CheckTextLength(diagnostics_, line_, token_.text, kTokenLimit);
}

void TokenStream::ReadQuoted() {
  Append(lookahead_);
  for (;;) {
    ConsumeRun(IsPlainQuotedByte, [this](std::string_view bytes) {
      CountLines(bytes);
      AppendBytes(bytes);
    });
    int c = ReadChar();
    if (c == EOF) break;  // unterminated: handed out as a word
    if (c == kEscape) {
      c = ReadChar();
      if (c == EOF) break;
    } else if (c == kQuote) {
      Append(c);
      if (Placing()) end_ = AfterLastRead();
      Advance();
      token_.kind = kStringToken;
      break;
    }
    Append(c);
  }
  if (token_.kind != kStringToken) {
    lookahead_ = EOF;
    // An unclosed string ends at the end of the input: its place is taken there.
    if (Placing()) end_ = AfterLastRead();
  }
  Complete();
  if (diagnostics_.Linting()) NoteQuoted();
}

void TokenStream::NoteQuoted() {
  const std::string& text = token_.text;
  if (text.find('\n') == std::string::npos) return;
  // A string that ends the input with a line end ends on the line before.
  int32_t endLine = token_.kind != kStringToken && text.back() == '\n' ? line_ - 1 : end_.line;
  runOn_ = {token_.start, endLine};
  if (token_.kind == kStringToken && diagnostics_.Enabled(kStringSpansLines)) {
    diagnostics_.WarnAt(token_.start, kStringSpansLines,
                        Format("the string holds a line end: it runs on to line %d",
                               diagnostics_.Locate(TextPoint{endLine, 1}).line));
  }
}

inline void TokenStream::Classify() {
  const std::string& text = token_.text;
  if (IsConditionVariable(text)) token_.kind = kVariableToken;
  for (char c : text) {
    if (c < '0' || c > '9') return;
  }
  token_.kind = kNumberToken;
}

// A word starting with "//" opens a comment, except when those two characters
// are the whole rest of the input.
inline bool TokenStream::OpensComment(const std::string& word) const {
  return word.starts_with("//") && !(word.size() == 2 && lookahead_ == EOF);
}

// The lookahead is the token's first character once it is read; at the end of
// input nothing is pending and the place is after the last character.
inline TextPoint TokenStream::LookaheadPoint() const {
  int64_t pending = lookahead_ == EOF ? 0 : 1;
  return {line_, int32_t(offset_ - pending - lineStart_ + 1)};
}

// Just after the last character read (the lookahead not counted).
inline TextPoint TokenStream::AfterLastRead() const {
  return {line_, int32_t(offset_ - lineStart_ + 1)};
}

const WarningCheck kStringSpansLines{"string-spans-lines", true,
                                     "a quoted string that holds a line end"};

bool IsDelimiterToken(const Token& token) {
  return token.text.size() == 1 && token.kind == kWordToken &&
         IsDelimiter(static_cast<unsigned char>(token.text[0]));
}

std::span<const std::string_view> ConditionVariables() { return kConditionVariables; }

void TokenStream::Open(FilePtr file) {
  Close();
  line_ = 1;
  offset_ = 0;
  lineStart_ = 0;
  token_ = Token{};
  token_.start.line = 0;  // so the first token opens its line
  end_ = previousEnd_ = TextPoint{};
  runOn_ = {};
  file_ = std::move(file);
  if (file_) reader_ = std::make_unique<TextReader>(file_.get());
  Advance();
}

void TokenStream::Close() {
  reader_.reset();
  file_.reset();
  lookahead_ = EOF;
}

void TokenStream::Next() {
  Read();
  if (diagnostics_.Linting()) diagnostics_.ReadToken(token_.start, end_);
}

void TokenStream::Read() {
  previousLine_ = token_.start.line;
  const bool placing = Placing();
  if (placing) previousEnd_ = end_;
  std::string& text = token_.text;
  for (;;) {
    text.clear();
    token_.kind = kWordToken;
    if (IsWhite(lookahead_)) {
      ConsumeRun(IsWhiteByte, [this](std::string_view bytes) { CountLines(bytes); });
      Advance();
    }
    token_.start = LookaheadPoint();
    if (lookahead_ == EOF) {
      if (placing) end_ = token_.start;
      return;
    }

    if (IsDelimiter(lookahead_)) {
      Append(lookahead_);
      if (placing) end_ = AfterLastRead();
      Advance();
      return;
    }
    if (lookahead_ == kQuote) {
      ReadQuoted();
      return;
    }
    // A word: up to white space, a delimiter or the end of the input.
    Append(lookahead_);
    ConsumeRun(IsWordByte, [this](std::string_view bytes) { AppendBytes(bytes); });
    if (placing) end_ = AfterLastRead();
    Advance();
    if (!OpensComment(text)) {
      Complete();
      // A word at the very end of the input is not classified.
      if (lookahead_ != EOF) Classify();
      return;
    }
    // A comment runs to the end of its line; the token starts over after it.
    if (commentStarts_) commentStarts_->push_back(token_.start);
    if (lookahead_ != '\n' && lookahead_ != EOF) {
      ConsumeRun(IsCommentByte, [](std::string_view) {});
      Advance();  // the line end, or the end of the input
    }
    Advance();
  }
}

void CheckTextLength(Diagnostics& diagnostics, int32_t line, std::string_view text, int limit) {
  if (text.size() > size_t(limit)) {
    diagnostics.Fail(Format("Line: %5d: Text longer than %d characters.\n", line, limit),
                     Stream::kStandardOutput, "text-length",
                     Format("text longer than %d characters", limit));
  }
}

std::string Unquote(std::string_view text) {
  if (!text.empty() && text.front() == kQuote) text.remove_prefix(1);
  size_t last = text.rfind(kQuote);
  if (last != std::string_view::npos) text = text.substr(0, last);
  return std::string(text);
}

}  // namespace qelc
