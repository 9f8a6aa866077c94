#include "decompile/source_text.h"

#include <vector>

namespace qelc::decompile {

namespace {

constexpr char kQuote = '\'';
constexpr char kEscape = '\\';

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

// The condition text that reading `source` stores: each token the tokenizer
// reads, behind a backslash. A quoted string keeps its apostrophes and loses
// its escapes; a word ends at a blank or a delimiter.
std::string StoredCondition(std::string_view source) {
  std::string stored;
  size_t at = 0;
  while (at < source.size()) {
    char c = source[at];
    if (IsWhite(c)) {
      ++at;
      continue;
    }
    stored += kEscape;
    if (IsDelimiter(c)) {
      stored += c;
      ++at;
    } else if (c == kQuote) {
      stored += c;
      for (++at; at < source.size(); ++at) {
        if (source[at] == kEscape && at + 1 < source.size()) {
          stored += source[++at];
        } else {
          stored += source[at];
          if (source[at] == kQuote) break;
        }
      }
      ++at;
    } else {
      while (at < source.size() && !IsWhite(source[at]) && !IsDelimiter(source[at])) {
        stored += source[at++];
      }
    }
  }
  return stored;
}

}  // namespace

bool IsDelimiter(char c) {
  return std::string_view(",?;:[]{}|+-=()*").find(c) != std::string_view::npos;
}

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
  // A quoted value stands after is or isnot, or in an isin list; anywhere else
  // the words were split where the condition's strings were not (a value may
  // hold an apostrophe before a backslash), and no split is guessed.
  auto is = [](std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      if ((word[i] | 0x20) != keyword[i]) return false;
    }
    return true;
  };
  // After a value, or a list of them, comes 'and', 'or', ')' or the end.
  bool inList = false;
  bool afterValue = false;
  std::string_view before;
  for (std::string_view word : *words) {
    if (afterValue && !is(word, "and") && !is(word, "or") && word != ")") return std::nullopt;
    afterValue = false;
    if (word.front() == kQuote) {
      bool afterTest = is(before, "is") || is(before, "isnot");
      if (!afterTest && !inList) return std::nullopt;
      afterValue = !inList;
    } else if (word == "[" && (is(before, "isin") || is(before, "isnotin"))) {
      inList = true;
    } else if (word == "]" && inList) {
      inList = false;
      afterValue = true;
    } else if (inList) {
      return std::nullopt;
    }
    before = word;
  }
  if (inList) return std::nullopt;
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
  // Where the stored words can be split more than one way (a quoted value that
  // holds an apostrophe before a backslash), the reading of the written text
  // decides: only a text that reads back to the same words is given.
  if (StoredCondition(source) != stored) return std::nullopt;
  return source;
}

}  // namespace qelc::decompile
