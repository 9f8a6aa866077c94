#include "language/scan.h"

#include <algorithm>

#include "formats/lexicon.h"
#include "source/ascii.h"
#include "source/preprocessor.h"

namespace qelc::language {

namespace {

// The tokenizer's blanks; a carriage return counts as one only before a line
// feed, which the compiler's reader drops it from.
bool IsBlankAt(std::string_view text, size_t at) {
  char c = text[at];
  if (c == '\r') return at + 1 < text.size() && text[at + 1] == '\n';
  return kWhiteCharacters.find(c) != std::string_view::npos;
}

bool IsDelimiter(char c) { return kDelimiterCharacters.find(c) != std::string_view::npos; }

// Whether the line is one of the preprocessor's directives.
bool IsDirective(std::string_view line) {
  std::string name, value;
  return ClassifyLine(line, name, value) != kPlainLine;
}

}  // namespace

std::vector<Word> ScanWords(std::string_view text) {
  std::vector<Word> words;
  int depth = 0;
  size_t at = 0;
  auto add = [&](Word::Kind kind, size_t start, size_t end) {
    std::string_view word = text.substr(start, end - start);
    if (word == "}") depth = std::max(0, depth - 1);
    words.push_back({kind, word, start, depth});
    if (word == "{") ++depth;
  };
  bool lineStart = true;
  while (at < text.size()) {
    char c = text[at];
    if (lineStart) {
      lineStart = false;
      size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      if (IsDirective(text.substr(at, end - at))) {
        at = end;
        continue;
      }
    }
    if (c == '\n') {
      lineStart = true;
      ++at;
    } else if (IsBlankAt(text, at)) {
      ++at;
    } else if (text.substr(at, 2) == "//") {
      at = std::min(text.size(), text.find('\n', at));
    } else if (c == '\'') {
      size_t end = at + 1;
      while (end < text.size() && text[end] != '\'') end += text[end] == '\\' ? 2 : 1;
      end = std::min(text.size(), end + 1);
      add(Word::Kind::kString, at, end);
      at = end;
    } else if (IsDelimiter(c)) {
      add(Word::Kind::kDelimiter, at, at + 1);
      ++at;
    } else {
      size_t end = at;
      while (end < text.size() && !IsBlankAt(text, end) && !IsDelimiter(text[end])) {
        ++end;
      }
      add(Word::Kind::kWord, at, end);
      at = end;
    }
  }
  return words;
}

std::string_view Unquoted(std::string_view word) {
  if (word.size() >= 2 && word.front() == '\'' && word.back() == '\'') {
    return word.substr(1, word.size() - 2);
  }
  return word;
}

size_t WordIndexAt(const std::vector<Word>& words, size_t offset) {
  auto after = std::upper_bound(words.begin(), words.end(), offset,
                                [](size_t at, const Word& word) { return at < word.offset; });
  if (after == words.begin()) return words.size();
  const Word& word = *(after - 1);
  if (offset > word.offset + word.text.size()) return words.size();
  return size_t(after - 1 - words.begin());
}

bool InCondition(const std::vector<Word>& words, size_t end) {
  for (size_t at = std::min(end, words.size()); at-- > 0;) {
    std::string_view text = words[at].text;
    if (text == ":" || text == "{" || text == "}" || text == ",") return false;
    if (EqualsNoCase(text, kWhenWord) || EqualsNoCase(text, "_when") ||
        EqualsNoCase(text, kIfWord)) {
      return true;
    }
  }
  return false;
}

}  // namespace qelc::language
