#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qelc::decompile {

// One of the characters the tokenizer reads as a word of its own.
bool IsDelimiter(char c);

// `text` as a quoted string that the tokenizer reads back as `text`: between
// apostrophes, with a backslash before each apostrophe and backslash. Returns
// nothing for a text no quoted string holds (a NUL byte, a carriage return,
// which the reader drops before a line end, or a line the preprocessor would
// take for a directive).
std::optional<std::string> Quoted(std::string_view text);

// A word stored as written, as a source writes it: a plain word as it is, a
// text in apostrophes as a quoted string whose token is that text. Nothing
// when no single word of a source is read as `text`.
std::optional<std::string> AsWritten(std::string_view text);

// A token stored as read, where a reader takes whatever token stands there:
// as AsWritten, or a delimiter character as itself.
std::optional<std::string> AsToken(std::string_view text);

// A stored condition (every word behind a backslash) in the syntax of a
// source: `PACKAGE is 'P44' and (PN[3] isnot 'X')`. The empty condition is the
// empty text. Nothing when the text is not a sequence of words that a
// condition stores.
std::optional<std::string> ConditionSource(std::string_view stored);

}  // namespace qelc::decompile
