#include "source/token_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <memory>

#include "source/ascii.h"
#include "source/format.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

// What a byte is to the tokenizer; one table lookup tells it.
enum ByteClass : uint8_t { kOrdinaryByte, kQuoteByte, kWhiteByte, kDelimiterByte };

constexpr auto kByteClasses = [] {
  std::array<ByteClass, 256> classes{};
  for (char c : kWhiteCharacters) classes[static_cast<unsigned char>(c)] = kWhiteByte;
  for (char c : kDelimiterCharacters) classes[static_cast<unsigned char>(c)] = kDelimiterByte;
  classes[static_cast<unsigned char>(kQuote)] = kQuoteByte;
  return classes;
}();

ByteClass ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }
ByteClass ClassOf(int c) { return kByteClasses[c]; }  // a byte, not EOF

// What the reader writes after its buffered bytes: a delimiter, which ends a
// run of blanks and a word alike.
constexpr char kEndMark = kDelimiterCharacters[0];
static_assert(kByteClasses[static_cast<unsigned char>(kEndMark)] == kDelimiterByte);

bool IsWhite(int c) { return c != EOF && ClassOf(c) == kWhiteByte; }
bool IsDelimiter(int c) { return c != EOF && ClassOf(c) == kDelimiterByte; }

bool IsWhiteByte(char c) { return ClassOf(c) == kWhiteByte; }
// An apostrophe opens a quoted string, but inside a word it is ordinary.
bool IsWordByte(char c) { return ClassOf(c) <= kQuoteByte; }
bool IsPlainQuotedByte(char c) { return c != kQuote && c != kEscape; }
bool IsCommentByte(char c) { return c != '\n'; }

// Most words are longer than any condition variable, or start with a letter
// that no variable of their length starts with, and need no comparison.
constexpr size_t kLongestVariable = [] {
  size_t longest = 0;
  for (std::string_view variable : kConditionVariables)
    longest = std::max(longest, variable.size());
  return longest;
}();
static_assert(std::size(kConditionVariables) <= 16);
// By length and first letter (either case), the variables that a word may be:
// bit i stands for kConditionVariables[i].
constexpr auto kVariableCandidates = [] {
  std::array<std::array<uint16_t, 256>, kLongestVariable + 1> candidates{};
  for (size_t i = 0; i < std::size(kConditionVariables); ++i) {
    std::string_view variable = kConditionVariables[i];
    auto& ofLength = candidates[variable.size()];
    ofLength[static_cast<unsigned char>(variable[0])] |= uint16_t(1u << i);
    ofLength[static_cast<unsigned char>(FoldCase(variable[0]))] |= uint16_t(1u << i);
  }
  return candidates;
}();

[[gnu::always_inline]] inline bool IsConditionVariable(std::string_view word) {
  if (word.size() > kLongestVariable) return false;
  for (unsigned candidates = kVariableCandidates[word.size()][static_cast<unsigned char>(word[0])];
       candidates != 0; candidates &= candidates - 1) {
    if (EqualsNoCase(word, kConditionVariables[std::countr_zero(candidates)])) return true;
  }
  return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The kind of a complete word that is not the last of the input.
[[gnu::always_inline]] inline TokenKind WordKind(std::string_view word) {
  // Most words are neither: they start with a letter that no variable starts with.
  if (IsDigit(word[0])) {
    return std::all_of(word.begin(), word.end(), IsDigit) ? kNumberToken : kWordToken;
  }
  return IsConditionVariable(word) ? kVariableToken : kWordToken;
}

}  // namespace

// The byte at the reader's position becomes the lookahead: it counts as read
// (offset and line counter) but stays in the buffer, so that a token can be
// taken from the buffer in one piece starting at it.
inline void TokenStream::Peek() {
  std::string_view bytes = reader_->Buffered();
  if (bytes.empty()) {
    lookahead_ = EOF;
    return;
  }
  lookahead_ = static_cast<unsigned char>(bytes[0]);
  ++offset_;
  if (lookahead_ == '\n') {
    ++line_;
    lineStart_ = offset_;
  }
}

inline void TokenStream::Advance() {
  if (lookahead_ == EOF) return;
  reader_->Consume(1);
  Peek();
}

// Text beyond the limit is not kept; the token is refused once it is complete.
inline void TokenStream::Append(int c) {
  if (spelled_.size() <= size_t(kTokenLimit)) spelled_.push_back(char(c));
}
inline void TokenStream::AppendBytes(std::string_view bytes) {
  std::string& text = spelled_;
  if (text.size() <= size_t(kTokenLimit))
    text.append(bytes.substr(0, kTokenLimit + 1 - text.size()));
}

// Takes the run of bytes for which `InRun` holds, from the lookahead (which is
// one of them) on, handing them to `take` a buffer's piece at a time; the
// lookahead is then the first byte after the run. Most of the input goes
// through here, one table lookup a byte.
template <bool (*InRun)(char), bool kCountsLines, typename Take>
inline void TokenStream::TakeRun(Take take) {
  for (;;) {
    std::string_view bytes = reader_->Buffered();
    size_t length = 1;
    for (; length < bytes.size() && InRun(bytes[length]); ++length) {
      if (kCountsLines && bytes[length] == '\n') {
        ++line_;
        lineStart_ = offset_ + int64_t(length);
      }
    }
    take(bytes.substr(0, length));
    reader_->Consume(length);
    if (length < bytes.size()) {
      // Most runs end in the buffer: the byte after the run is at hand.
      offset_ += int64_t(length);
      lookahead_ = static_cast<unsigned char>(bytes[length]);
      if (lookahead_ == '\n') {
        ++line_;
        lineStart_ = offset_;
      }
      return;
    }
    // The lookahead was counted when it was peeked at; the rest is counted now.
    offset_ += int64_t(length) - 1;
    Peek();
    if (lookahead_ == EOF || !InRun(char(lookahead_))) return;
  }
}

// The token's text is the one spelled out; a text too long is refused now.
inline void TokenStream::Complete() {
  token_.text = spelled_;
  CheckTextLength(diagnostics_, line_, token_.text, kTokenLimit);
}

void TokenStream::ReadQuoted() {
  std::string& text = spelled_;
  text.assign(1, kQuote);
  Advance();
  while (lookahead_ != EOF) {
    if (IsPlainQuotedByte(char(lookahead_))) {
      TakeRun<IsPlainQuotedByte, true>([this](std::string_view bytes) { AppendBytes(bytes); });
      continue;
    }
    if (lookahead_ == kEscape) {
      Advance();
      if (lookahead_ == EOF) break;
      Append(lookahead_);
      Advance();
      continue;
    }
    Append(kQuote);
    if (placing_) end_ = AfterLastRead();
    Advance();
    token_.kind = kStringToken;
    break;
  }
  // An unclosed string ends at the end of the input: its place is taken there.
  if (token_.kind != kStringToken && placing_) end_ = AfterLastRead();
  Complete();
  if (diagnostics_.Linting()) NoteQuoted();
}

// A word: up to white space, a delimiter, an apostrophe or the end of the input.
inline void TokenStream::ReadWord() {
  spelled_.clear();
  size_t length = 0;
  TakeRun<IsWordByte, false>([this, &length](std::string_view bytes) {
    length += bytes.size();
    AppendBytes(bytes);
  });
  // A word never holds a line end: it ends on the line it starts on.
  if (placing_) end_ = {token_.start.line, token_.start.column + int32_t(length)};
}

// A comment runs to the end of its line; the lookahead is then the byte after it.
inline void TokenStream::SkipComment() {
  if (lookahead_ != '\n' && lookahead_ != EOF)
    TakeRun<IsCommentByte, false>([](std::string_view) {});
  Advance();
}

void TokenStream::NoteQuoted() {
  std::string_view text = token_.text;
  if (text.find('\n') == std::string_view::npos) return;
  // A string that ends the input with a line end ends on the line before.
  int32_t endLine = token_.kind != kStringToken && text.back() == '\n' ? line_ - 1 : end_.line;
  runOn_ = {token_.start, endLine};
  if (token_.kind == kStringToken && diagnostics_.Enabled(kStringSpansLines)) {
    diagnostics_.WarnAt(token_.start, kStringSpansLines,
                        Format("the string holds a line end: it runs on to line %d",
                               diagnostics_.Locate(TextPoint{endLine, 1}).line));
  }
}

inline void TokenStream::Classify() { token_.kind = WordKind(token_.text); }

// A word starting with "//" opens a comment, except when those two characters
// are the whole rest of the input.
inline bool TokenStream::OpensComment(std::string_view word) const {
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
  placing_ = PlacesWanted();
  line_ = 1;
  offset_ = 0;
  lineStart_ = 0;
  token_ = Token{};
  token_.start.line = 0;  // so the first token opens its line
  end_ = previousEnd_ = TextPoint{};
  runOn_ = {};
  file_ = std::move(file);
  lookahead_ = EOF;
  if (file_) {
    reader_ = std::make_unique<TextReader>(file_.get(), kEndMark);
    Peek();
  }
}

void TokenStream::Close() {
  aheadNext_ = aheadCount_ = 0;
  // The current token outlives the buffer it may lie in.
  if (token_.text.data() != spelled_.data()) {
    spelled_.assign(token_.text);
    token_.text = spelled_;
  }
  reader_.reset();
  file_.reset();
  lookahead_ = EOF;
}

// Reads ahead up to `most` of the common tokens in one pass over the read
// buffer: the blanks before each, a delimiter or a word, and the byte after it
// (the next lookahead) all lie in the buffer, and no word opens a comment. The
// stream's state is then the one after the last of them; each token read ahead
// carries the line counter of its own moment. Their texts stay in the buffer,
// which is not read into again before the last of them was handed out. Returns
// how many were read: none leaves every other token to Read.
size_t TokenStream::ReadAhead(size_t most) {
  if (lookahead_ == EOF) return 0;
  std::string_view bytes = reader_->Buffered();
  const char* const first = bytes.data();  // the lookahead
  const char* const end = first + bytes.size();
  // Offsets count the bytes read, the lookahead included: `first` is byte
  // offset_ - 1. The state as of the last token taken; the lookahead is counted
  // already, line end included.
  const int64_t firstOffset = offset_ - 1;
  int32_t line = line_;
  int64_t lineStart = lineStart_;
  const char* at = first;
  size_t count = 0;
  for (; count < most; ++count) {
    const char* p = at;
    int32_t tokenLine = line;
    int64_t tokenLineStart = lineStart;
    // The end mark stops both scans.
    if (ClassOf(*p) == kWhiteByte) {
      for (++p; ClassOf(*p) == kWhiteByte; ++p) {
        if (*p == '\n') {
          ++tokenLine;
          tokenLineStart = firstOffset + (p - first) + 1;
        }
      }
    }
    if (p == end) break;
    const char* const start = p;
    ByteClass startClass = ClassOf(*start);
    if (startClass == kQuoteByte) break;
    if (startClass == kDelimiterByte) {
      ++p;
    } else {
      for (++p; IsWordByte(*p); ++p) {
      }
      size_t length = size_t(p - start);
      if (length > size_t(kTokenLimit) || (length >= 2 && start[0] == '/' && start[1] == '/'))
        break;
    }
    if (p == end) break;

    ReadAheadToken& token = ahead_[count];
    token.text = std::string_view(start, size_t(p - start));
    token.kind = startClass == kDelimiterByte ? kWordToken : WordKind(token.text);
    token.start = {tokenLine, int32_t(firstOffset + (start - first) - tokenLineStart + 1)};
    // The byte after the token is the lookahead now, and counts.
    if (*p == '\n') {
      ++tokenLine;
      tokenLineStart = firstOffset + (p - first) + 1;
    }
    token.lineCounter = tokenLine;
    line = tokenLine;
    lineStart = tokenLineStart;
    at = p;
  }
  if (count == 0) return 0;
  reader_->Consume(size_t(at - first));
  offset_ = firstOffset + (at - first) + 1;
  lookahead_ = static_cast<unsigned char>(*at);
  line_ = line;
  lineStart_ = lineStart;
  aheadNext_ = 0;
  aheadCount_ = count;
  return count;
}

void TokenStream::NextRead() {
  // Most tokens are read ahead a buffer's stretch at a time; the rest by Read,
  // which starts from the same state.
  previousLine_ = token_.start.line;
  const bool placing = placing_;
  if (placing) previousEnd_ = end_;
  if (aheadNext_ < aheadCount_ || ReadAhead(readAhead_) > 0) {
    const ReadAheadToken& next = ahead_[aheadNext_++];
    token_.text = next.text;
    token_.kind = next.kind;
    token_.start = next.start;
    line_ = next.lineCounter;
    // A delimiter or a word: it ends on the line it starts on.
    if (placing) end_ = {token_.start.line, token_.start.column + int32_t(token_.text.size())};
  } else {
    Read();
  }
  if (diagnostics_.Linting()) diagnostics_.ReadToken(token_.start, end_);
}

void TokenStream::Read() {
  const bool placing = placing_;
  std::string& text = spelled_;
  for (;;) {
    token_.kind = kWordToken;
    if (IsWhite(lookahead_)) TakeRun<IsWhiteByte, true>([](std::string_view) {});
    token_.start = LookaheadPoint();
    if (lookahead_ == EOF) {
      token_.text = {};
      if (placing) end_ = token_.start;
      return;
    }
    switch (ClassOf(lookahead_)) {
      case kDelimiterByte:
        text.assign(1, char(lookahead_));
        token_.text = text;
        if (placing) end_ = AfterLastRead();
        Advance();
        return;
      case kQuoteByte:
        ReadQuoted();
        return;
      default:
        break;
    }
    ReadWord();
    if (!OpensComment(text)) {
      Complete();
      // A word at the very end of the input is not classified.
      if (lookahead_ != EOF) Classify();
      return;
    }
    // The token starts over after the comment.
    if (commentStarts_) commentStarts_->push_back(token_.start);
    SkipComment();
  }
}

void RefuseLongText(Diagnostics& diagnostics, int32_t line, int limit) {
  diagnostics.Fail(Format("Line: %5d: Text longer than %d characters.\n", line, limit),
                   Stream::kStandardOutput, "text-length",
                   Format("text longer than %d characters", limit));
}

std::string Unquote(std::string_view text) {
  if (!text.empty() && text.front() == kQuote) text.remove_prefix(1);
  size_t last = text.rfind(kQuote);
  if (last != std::string_view::npos) text = text.substr(0, last);
  return std::string(text);
}

}  // namespace qelc
