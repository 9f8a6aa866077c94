#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

// The lexical rules of the source languages that the compiled files keep: a
// stored condition holds the tokens of its source, each behind a backslash,
// and a stored word is the token as the tokenizer read it. The tokenizer reads
// by these rules and the decompiler writes by them.

namespace qelc {

constexpr char kQuote = '\'';
constexpr char kEscape = '\\';

// The characters that end a word; each is a token of its own.
constexpr std::string_view kDelimiterCharacters = ",?;:[]{}|+-=()*";
// The blanks between tokens (a carriage return is dropped before a line end).
constexpr std::string_view kWhiteCharacters = " \t\n";

// A word of the languages and one line of Markdown on what it means, which an
// editor shows.
struct LexiconWord {
  std::string_view word;
  std::string_view about;
};

// The words that a condition reads as variables, letter case aside.
inline constexpr LexiconWord kConditionVariableWords[] = {
    {"GLC", "Condition variable `GLC`."},
    {"IPN", "Condition variable `IPN`."},
    {"PN", "Condition variable `PN`: the part number, may be indexed (`PN[3]`)."},
    {"PACKAGE", "Condition variable `PACKAGE`: the device's package."},
    {"DEV", "Condition variable `DEV`: the device's name."},
    {"DEVBIN", "Condition variable `DEVBIN`."},
    {"DSI", "Condition variable `DSI`."},
    {"IN_NUM", "Condition variable `IN_NUM`: a number of inputs."},
    {"OUT_NUM", "Condition variable `OUT_NUM`: a number of outputs."},
};
constexpr auto kConditionVariables = [] {
  std::array<std::string_view, std::size(kConditionVariableWords)> words{};
  for (size_t i = 0; i < words.size(); ++i) words[i] = kConditionVariableWords[i].word;
  return words;
}();

// The words of a condition between its variables: a test takes one value or
// a bracketed list of values, a join takes two tests. A test affirms when the
// variable has one of the values it names (`is`, `isin`).
enum class ConditionOperand { kValue, kList, kJoin };
struct ConditionOperatorWord {
  std::string_view word;
  ConditionOperand operand;
  std::string_view about;
  bool affirms = false;
};
// The joins, which the grammar of a condition names: `and` binds tighter.
inline constexpr std::string_view kAndWord = "and";
inline constexpr std::string_view kOrWord = "or";
inline constexpr ConditionOperatorWord kConditionOperators[] = {
    {"is", ConditionOperand::kValue, "`variable is 'value'`: the variable has the value.", true},
    {"isnot", ConditionOperand::kValue,
     "`variable isnot 'value'`: the variable has another value."},
    {"isin", ConditionOperand::kList,
     "`variable isin ['a' 'b']`: the variable has one of the values.", true},
    {"isnotin", ConditionOperand::kList,
     "`variable isnotin ['a' 'b']`: the variable has none of the values."},
    {kAndWord, ConditionOperand::kJoin, "Both tests hold; binds tighter than `or`."},
    {kOrWord, ConditionOperand::kJoin, "Either test holds."},
};

// The attributes of an Initialize line `pin.attribute = value ;` and the
// column of the pin's row that each sets.
enum class PinAttribute { kSignal, kChangeable, kReservedName, kDisplayName };
struct PinAttributeWord {
  std::string_view word;
  PinAttribute sets;
  std::string_view about;
};
inline constexpr PinAttributeWord kPinAttributes[] = {
    {"name", PinAttribute::kSignal,
     "The pin's signal name; `: RSV` after the value marks the pin reserved."},
    {"nchange", PinAttribute::kChangeable,
     "Whether the pin may be changed: the value's leading digits."},
    {"PinEdit", PinAttribute::kChangeable, "Whether the pin may be changed (as `nchange`)."},
    {"reserve", PinAttribute::kReservedName, "The pin's reserved name; marks the pin reserved."},
    {"displayname", PinAttribute::kDisplayName, "The name the pin is shown by."},
};

// The words that open a clause of a section's body: `When condition :`,
// `Always :` (stored under the condition "1") and the branches of a pin group.
inline constexpr std::string_view kWhenWord = "When";
inline constexpr std::string_view kAlwaysWord = "Always";
inline constexpr std::string_view kIfWord = "if";
inline constexpr std::string_view kElseWord = "else";
inline constexpr std::string_view kClauseWords[] = {kWhenWord, kAlwaysWord, kIfWord, kElseWord};
inline constexpr std::string_view kAlwaysCondition = "1";

// The longest condition text that a table stores.
constexpr size_t kConditionLimit = 255;

// Letter case is folded for A-Z and a-z only; no locale is involved anywhere.
constexpr char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Inline: the parsers compare every token with their keywords this way.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    // Most bytes compared are spelled alike and need no folding.
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// The entry of `words` for `word`, letter case aside, or null.
template <typename Word, size_t N>
inline const Word* FindWord(const Word (&words)[N], std::string_view word) {
  for (const Word& entry : words) {
    if (EqualsNoCase(entry.word, word)) return &entry;
  }
  return nullptr;
}

// The condition word `word`, letter case aside, when it is a test (`is`,
// `isnot`, `isin`, `isnotin`); null for a join or any other word.
inline const ConditionOperatorWord* FindConditionTest(std::string_view word) {
  const ConditionOperatorWord* entry = FindWord(kConditionOperators, word);
  return entry && entry->operand != ConditionOperand::kJoin ? entry : nullptr;
}

// The first word of an Initialize line that sets `attribute`.
constexpr std::string_view PinAttributeName(PinAttribute attribute) {
  for (const PinAttributeWord& entry : kPinAttributes) {
    if (entry.sets == attribute) return entry.word;
  }
  return {};
}

}  // namespace qelc
