#include "decompile/source_text.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "formats/lexicon.h"

namespace qelc::decompile {

namespace {

bool IsWhite(char c) { return c == '\r' || kWhiteCharacters.find(c) != std::string_view::npos; }

// True when a line of the text, after its blanks, starts with '#': the
// preprocessor would read that line as a directive.
bool HasDirectiveLine(std::string_view text) {
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    size_t first = text.find_first_not_of(" \t", at + 1);
    if (first != std::string_view::npos && text[first] == '#') return true;
  }
  return false;
}

// A word that the tokenizer reads as it stands wherever it is written: not a
// string, not a comment, and not a directive where it starts a line.
bool IsPlainWord(std::string_view text) {
  if (text.empty() || text.front() == kQuote || text.front() == '#' || text.starts_with("//")) {
    return false;
  }
  for (char c : text) {
    if (c == '\0' || IsWhite(c) || IsDelimiter(c)) return false;
  }
  return true;
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

// One reading of a stored condition as the tokens of a condition that the
// compiler reads. A token is what stands between two backslashes, except that a
// quoted value may itself hold backslashes: it runs to an apostrophe that a
// backslash or the end follows, and which one is told only by what comes after
// it. The grammar is flattened into the states below, with the depth of the
// open parentheses; what may follow a (place, state, depth) depends on nothing
// else, so each is searched once, shortest value first: the reading found is
// the one a person would have written.
//   condition -> term (('and' | 'or') term)*
//   term      -> nothing | '(' condition ')' | variable ('[' number ']')* [test]
//   test      -> ('is' | 'isnot') value | ('isin' | 'isnotin') '[' value* ']'
class StoredConditionReading {
 public:
  explicit StoredConditionReading(std::string_view stored) : stored_(stored) {}

  // The tokens of one reading, or nothing when no condition stores the text.
  std::optional<std::vector<std::string_view>> Tokens() {
    if (stored_.size() > kConditionLimit || !Read({0, kTermStart, 0})) return std::nullopt;
    return tokens_;
  }

 private:
  enum State : uint8_t {
    kTermStart,  // a term may start: '(', a variable, or nothing
    kAfterVariable,
    kIndex,      // after '[': the index
    kIndexEnd,   // after the index: ']'
    kValue,      // after is or isnot
    kListStart,  // after isin or isnotin: '['
    kList,       // in the list: a value or ']'
    kAfterTerm,  // 'and', 'or', ')' or the end
  };
  struct Config {
    size_t place;
    State state;
    size_t depth;
  };

  // Reads on from `at` to the end; on success tokens_ holds the reading.
  bool Read(Config at) {
    if (at.place == stored_.size() && at.state == kAfterTerm && at.depth == 0) return true;
    if (!searched_.insert((at.place << 16 | at.depth) << 4 | at.state).second) return false;
    std::string_view word = WordAt(at.place);
    auto is = [&](std::string_view keyword) { return EqualsNoCase(word, keyword); };
    auto next = [&](State state, size_t depth) {
      return Take({at.place + 1 + word.size(), state, depth}, word);
    };
    auto nothing = [&](State state) { return Read({at.place, state, at.depth}); };
    const ConditionOperatorWord* test = FindConditionTest(word);
    switch (at.state) {
      case kTermStart:
        return (word == "(" && next(kTermStart, at.depth + 1)) ||
               (IsVariable(word) && next(kAfterVariable, at.depth)) || nothing(kAfterTerm);
      case kAfterVariable:
        return (word == "[" && next(kIndex, at.depth)) ||
               (test &&
                next(test->operand == ConditionOperand::kValue ? kValue : kListStart, at.depth)) ||
               nothing(kAfterTerm);
      case kIndex:
        return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos &&
               next(kIndexEnd, at.depth);
      case kIndexEnd:
        return word == "]" && next(kAfterVariable, at.depth);
      case kValue:
        return Value(at, kAfterTerm);
      case kListStart:
        return word == "[" && next(kList, at.depth);
      case kList:
        return Value(at, kList) || (word == "]" && next(kAfterTerm, at.depth));
      case kAfterTerm:
        return ((is(kAndWord) || is(kOrWord)) && next(kTermStart, at.depth)) ||
               (word == ")" && at.depth > 0 && next(kAfterTerm, at.depth - 1));
    }
    return false;
  }

  bool Take(Config to, std::string_view token) {
    tokens_.push_back(token);
    if (Read(to)) return true;
    tokens_.pop_back();
    return false;
  }

  // A quoted value at `at`: up to an apostrophe that a backslash or the end
  // follows, the nearest first.
  bool Value(Config at, State then) {
    size_t start = at.place + 1;
    if (stored_.size() <= start || stored_[start] != kQuote) return false;
    for (size_t end = stored_.find(kQuote, start + 1); end != std::string_view::npos;
         end = stored_.find(kQuote, end + 1)) {
      if ((end + 1 == stored_.size() || stored_[end + 1] == kEscape) &&
          Take({end + 1, then, at.depth}, stored_.substr(start, end + 1 - start))) {
        return true;
      }
    }
    return false;
  }

  // The word at `place`: from its backslash up to the next one; empty where
  // no backslash stands.
  std::string_view WordAt(size_t place) const {
    if (place >= stored_.size() || stored_[place] != kEscape) return {};
    size_t end = std::min(stored_.find(kEscape, place + 1), stored_.size());
    return stored_.substr(place + 1, end - (place + 1));
  }

  static bool IsVariable(std::string_view word) {
    return std::any_of(std::begin(kConditionVariables), std::end(kConditionVariables),
                       [word](std::string_view variable) { return EqualsNoCase(word, variable); });
  }

  std::string_view stored_;
  std::vector<std::string_view> tokens_;
  std::unordered_set<size_t> searched_;
};

}  // namespace

bool IsDelimiter(char c) { return kDelimiterCharacters.find(c) != std::string_view::npos; }

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

std::optional<std::string> AsToken(std::string_view text) {
  if (text.size() == 1 && IsDelimiter(text[0])) return std::string(text);
  return AsWritten(text);
}

std::optional<std::string> ConditionSource(std::string_view stored) {
  auto tokens = StoredConditionReading(stored).Tokens();
  if (!tokens) return std::nullopt;
  std::string source;
  std::string_view previous;
  for (std::string_view token : *tokens) {
    std::string written(token);
    if (token.front() == kQuote) {
      auto quoted = Quoted(token.substr(1, token.size() - 2));
      if (!quoted) return std::nullopt;
      written = *quoted;
    }
    // Brackets hug their variable and index; parentheses their contents.
    const ConditionOperatorWord* test = FindConditionTest(previous);
    bool listOpens = test && test->operand == ConditionOperand::kList;
    bool tight = previous.empty() || token == "]" || token == ")" || previous == "(" ||
                 previous == "[" ||
                 (token == "[" && !listOpens && previous.front() != kQuote && previous != "]");
    if (!tight) source += ' ';
    source += written;
    previous = token;
  }
  // The reading is checked against the tokenizer: the written text must store
  // the very same words.
  if (StoredCondition(source) != stored) return std::nullopt;
  return source;
}

}  // namespace qelc::decompile
