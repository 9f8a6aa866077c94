#include "decompile/source_text.h"

#include <vector>

namespace qelc::decompile {

namespace {

constexpr char kQuote = '\'';
constexpr char kEscape = '\\';

bool IsDelimiter(char c) {
  return std::string_view(",?;:[]{}|+-=()*").find(c) != std::string_view::npos;
}
bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// True when a line of the text, after its blanks, starts with '#': the
// preprocessor would read that line as a directive.
bool HasDirectiveLine(std::string_view text) {
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    size_t first = text.find_first_not_of(" \t", at + 1);
    if (first != std::string_view::npos && text[first] == '#') return true;
  }
  return false;
}

bool IsPlainWord(std::string_view text) {
  if (text.empty() || text.front() == kQuote || text.starts_with("//")) return false;
  for (char c : text) {
    if (c == '\0' || IsWhite(c) || IsDelimiter(c)) return false;
  }
  return true;
}

// The words of a stored condition: each starts with a backslash; a quoted
// word runs to the apostrophe that the next backslash or the end follows.
std::optional<std::vector<std::string_view>> SplitCondition(std::string_view stored) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < stored.size()) {
    if (stored[at] != kEscape) return std::nullopt;
    size_t start = at + 1;
    size_t end;
    if (start < stored.size() && stored[start] == kQuote) {
      end = start + 1;
      while (true) {
        end = stored.find(kQuote, end);
        if (end == std::string_view::npos) return std::nullopt;
        ++end;
        if (end == stored.size() || stored[end] == kEscape) break;
      }
    } else {
      end = stored.find(kEscape, start);
      if (end == std::string_view::npos) end = stored.size();
    }
    if (end == start) return std::nullopt;
    words.push_back(stored.substr(start, end - start));
    at = end;
  }
  return words;
}

}  // namespace

std::optional<std::string> Quoted(std::string_view text) {
  if (HasDirectiveLine(text)) return std::nullopt;
  std::string quoted(1, kQuote);
  for (char c : text) {
    if (c == '\0' || c == '\r') return std::nullopt;
    if (c == kQuote || c == kEscape) quoted += kEscape;
    quoted += c;
  }
  quoted += kQuote;
  return quoted;
}

std::optional<std::string> AsWritten(std::string_view text) {
  if (IsPlainWord(text)) return std::string(text);
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote) {
    return Quoted(text.substr(1, text.size() - 2));
  }
  return std::nullopt;
}

std::optional<std::string> ConditionSource(std::string_view stored) {
  auto words = SplitCondition(stored);
  if (!words) return std::nullopt;
  std::string source;
  std::string_view previous;
  for (std::string_view word : *words) {
    std::string written;
    if (word.front() == kQuote) {
      auto quoted = Quoted(word.substr(1, word.size() - 2));
      if (!quoted) return std::nullopt;
      written = *quoted;
    } else if (word.size() == 1 && IsDelimiter(word[0])) {
      written = std::string(word);
    } else if (IsPlainWord(word)) {
      written = std::string(word);
    } else {
      return std::nullopt;
    }
    // Brackets hug their variable and index; parentheses their contents.
    bool tight = previous.empty() || word == "]" || word == ")" || previous == "(" ||
                 (word == "[" && previous != "isin" && previous != "isnotin" &&
                  !previous.starts_with(kQuote) && previous != "]") ||
                 previous == "[";
    if (!tight) source += ' ';
    source += written;
    previous = word;
  }
  return source;
}

}  // namespace qelc::decompile
