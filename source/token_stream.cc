#include "source/token_stream.h"

#include <algorithm>
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
  // Bytes read so far (the lookahead included) and the offset at which the
  // current line starts: a token's column is measured from there.
  int64_t offset = 0;
  int64_t lineStart = 0;
  int32_t previousLine = 0;
  Token token;
};

Stream stream;

bool IsWhite(int c) { return c != EOF && kWhiteSpace[c]; }
bool IsDelimiter(int c) { return c != EOF && kDelimiters[c]; }

// The bytes that the runs below take in one piece.
bool IsWhiteByte(char c) { return kWhiteSpace[static_cast<unsigned char>(c)]; }
bool IsWordByte(char c) { return !IsWhiteByte(c) && !kDelimiters[static_cast<unsigned char>(c)]; }
bool IsPlainQuotedByte(char c) { return c != kQuote && c != kEscape; }
bool IsCommentByte(char c) { return c != '\n'; }

int ReadChar() {
  int c = stream.reader ? stream.reader->Get() : EOF;
  if (c == EOF) return c;
  ++stream.offset;
  if (c == '\n') {
    ++stream.line;
    stream.lineStart = stream.offset;
  }
  return c;
}

void Advance() { stream.lookahead = ReadChar(); }

// Called on a run before it is consumed, so stream.offset is where it begins.
void CountLines(std::string_view bytes) {
  size_t last = bytes.rfind('\n');
  if (last == std::string_view::npos) return;
  stream.line += int32_t(std::count(bytes.begin(), bytes.end(), '\n'));
  stream.lineStart = stream.offset + int64_t(last) + 1;
}

// Text beyond the limit is not kept; the token is refused once it is complete.
void Append(int c) {
  if (stream.token.text.size() <= size_t(kTokenLimit)) stream.token.text.push_back(char(c));
}
void AppendBytes(std::string_view bytes) {
  std::string& text = stream.token.text;
  if (text.size() <= size_t(kTokenLimit)) text.append(bytes.substr(0, kTokenLimit + 1 - text.size()));
}

// Reads on while `inRun` holds for the next byte, handing the bytes to `take` a
// buffer's run at a time; the lookahead is left as it was. Most of the input
// goes through here rather than byte by byte.
template <typename InRun, typename Take>
void ConsumeRun(InRun inRun, Take take) {
  if (!stream.reader) return;
  for (;;) {
    std::string_view bytes = stream.reader->Buffered();
    size_t length = 0;
    while (length < bytes.size() && inRun(bytes[length])) ++length;
    take(bytes.substr(0, length));
    stream.reader->Consume(length);
    stream.offset += int64_t(length);
    if (length < bytes.size() || bytes.empty()) return;
  }
}

void Complete() { CheckTextLength(stream.token.text, kTokenLimit); }

void ReadQuoted() {
  Append(stream.lookahead);
  for (;;) {
    ConsumeRun(IsPlainQuotedByte, [](std::string_view bytes) {
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
      Advance();
      stream.token.kind = kStringToken;
      break;
    }
    Append(c);
  }
  if (stream.token.kind != kStringToken) stream.lookahead = EOF;
  Complete();
}

// Most words are longer than any condition variable or start with a letter
// that none starts with, and need no comparison.
constexpr size_t kLongestVariable = [] {
  size_t longest = 0;
  for (std::string_view variable : kConditionVariables) longest = std::max(longest, variable.size());
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

void Classify() {
  const std::string& text = stream.token.text;
  if (IsConditionVariable(text)) stream.token.kind = kVariableToken;
  for (char c : text) {
    if (c < '0' || c > '9') return;
  }
  stream.token.kind = kNumberToken;
}

// A word starting with "//" opens a comment, except when those two characters
// are the whole rest of the input.
bool OpensComment(const std::string& word) {
  return word.starts_with("//") && !(word.size() == 2 && stream.lookahead == EOF);
}

// The lookahead is the token's first character once it is read; at the end of
// input nothing is pending and the place is after the last character.
TextPoint LookaheadPoint() {
  int64_t pending = stream.lookahead == EOF ? 0 : 1;
  return {stream.line, int32_t(stream.offset - pending - stream.lineStart + 1)};
}

}  // namespace

const Token& CurrentToken() { return stream.token; }

std::span<const std::string_view> ConditionVariables() { return kConditionVariables; }
int32_t LineCounter() { return stream.line; }
int32_t PreviousTokenLine() { return stream.previousLine; }

bool OpenTokenStream(const std::string& path) {
  FilePtr file = OpenForReading(path);
  if (!file) {
    CloseTokenStream();
    stream.line = 1;
    stream.token = Token{};
    return false;
  }
  OpenTokenStream(std::move(file));
  return true;
}

void OpenTokenStream(FilePtr file) {
  CloseTokenStream();
  stream.line = 1;
  stream.offset = 0;
  stream.lineStart = 0;
  stream.token = Token{};
  stream.token.start.line = 0;  // so the first token opens its line
  stream.file = std::move(file);
  stream.reader = std::make_unique<TextReader>(stream.file.get());
  Advance();
}

void CloseTokenStream() {
  stream.reader.reset();
  stream.file.reset();
  stream.lookahead = EOF;
}

void NextToken() {
  stream.previousLine = stream.token.start.line;
  std::string& text = stream.token.text;
  for (;;) {
    text.clear();
    stream.token.kind = kWordToken;
    if (IsWhite(stream.lookahead)) {
      ConsumeRun(IsWhiteByte, CountLines);
      Advance();
    }
    stream.token.start = LookaheadPoint();
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
    // A word: up to white space, a delimiter or the end of the input.
    Append(stream.lookahead);
    ConsumeRun(IsWordByte, AppendBytes);
    Advance();
    if (!OpensComment(text)) {
      Complete();
      // A word at the very end of the input is not classified.
      if (stream.lookahead != EOF) Classify();
      return;
    }
    // A comment runs to the end of its line; the token starts over after it.
    if (stream.lookahead != '\n' && stream.lookahead != EOF) {
      ConsumeRun(IsCommentByte, [](std::string_view) {});
      Advance();  // the line end, or the end of the input
    }
    Advance();
  }
}

std::string Unquote(std::string_view text) {
  if (!text.empty() && text.front() == kQuote) text.remove_prefix(1);
  size_t last = text.rfind(kQuote);
  if (last != std::string_view::npos) text = text.substr(0, last);
  return std::string(text);
}

}  // namespace qelc
