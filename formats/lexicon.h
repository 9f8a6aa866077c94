#pragma once

#include <cstddef>
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

// The words that a condition reads as variables, letter case aside.
constexpr std::string_view kConditionVariables[] = {
    "GLC", "IPN", "PN", "PACKAGE", "DEV", "DEVBIN", "DSI", "IN_NUM", "OUT_NUM"};

// The longest condition text that a table stores.
constexpr size_t kConditionLimit = 255;

// Letter case is folded for A-Z and a-z only; no locale is involved anywhere.
constexpr char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Inline: the parsers compare every token with their keywords this way.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace qelc
