#pragma once

// The words of a document's text as the tokenizer splits them, read straight
// from the editor's text: comments and directive lines are passed over, and
// every word keeps its place, so that a position in the editor finds its word.
// Only what must see the text as it is being typed reads it this way
// (completion, where the source is half-written, and the formatter's check
// for comments); every other question is answered from the source's facts
// (language/source_facts.h), which the compiler's own parsers give.

#include <cstddef>
#include <string_view>
#include <vector>

namespace qelc::language {

struct Word {
  enum class Kind { kWord, kString, kDelimiter };
  Kind kind;
  std::string_view text;  // as written (a string with its apostrophes)
  size_t offset = 0;      // in the document's text
  int depth = 0;          // braces open before it ('{' counts itself outside, '}' inside)
};

std::vector<Word> ScanWords(std::string_view text);

// The text of a quoted string without its apostrophes (backslashes stay); any
// other word as it is.
std::string_view Unquoted(std::string_view word);

// The index of the word that holds `offset` (or ends at it), or words.size().
size_t WordIndexAt(const std::vector<Word>& words, size_t offset);

// Whether the words before `end` (back to the last ':', brace or comma) hold
// a word that opens a condition: `When`, `_when` or `if`.
bool InCondition(const std::vector<Word>& words, size_t end);

}  // namespace qelc::language
