#pragma once

// Places in a document's text as an editor names them (a line and a character
// counted in UTF-16 code units, both from 0) and as the compiler names them (a
// line and a byte column, both from 1).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qelc::language {

struct Position {
  int32_t line = 0;
  int32_t character = 0;  // UTF-16 code units from the start of the line
  bool operator==(const Position&) const = default;
};

struct Range {
  Position start;
  Position end;
  bool operator==(const Range&) const = default;
};

// The byte offset of `at` in `text`; a character past the end of its line is
// the line's end, a line past the last is the end of the text.
size_t OffsetOf(std::string_view text, Position at);

// The editor's position of the byte offset `offset` (at most text.size()).
Position PositionOf(std::string_view text, size_t offset);

// The byte offset of the compiler's `line` and `column` (from 1), clamped as
// OffsetOf is.
size_t OffsetOfColumn(std::string_view text, int32_t line, int32_t column);

// The range of the token that starts at the compiler's `line` and `column`: a
// quoted string up to its closing apostrophe (or the end of its line), a word
// up to the next delimiter or blank, else the one character there. Empty at
// the end of a line or of the text.
Range TokenRange(std::string_view text, int32_t line, int32_t column);

// The starts of the lines of one text, for finding many places in it: each
// place then costs the length of its own line, not of the text before it.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  // The editor's position of the compiler's `line` and `column`, clamped as
  // OffsetOfColumn is.
  Position PositionOfColumn(int32_t line, int32_t column) const;
  // The byte offset of the compiler's `line` and `column`, clamped the same way.
  size_t Offset(int32_t line, int32_t column) const;
  // The compiler's line and byte column (both from 1) of the editor's `at`,
  // clamped as OffsetOf is.
  struct Column {
    int32_t line;
    int32_t column;
  };
  Column ColumnOf(Position at) const;

 private:
  std::string_view text_;
  std::vector<size_t> starts_;
};

}  // namespace qelc::language
