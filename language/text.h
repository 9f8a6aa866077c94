#pragma once

// Places in a document's text as an editor names them (a line and a character
// counted in UTF-16 code units, both from 0) and as the compiler names them (a
// line and a byte column, both from 1).

#include <cstddef>
#include <cstdint>
#include <string>
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

// A replacement of the text of `range` by `newText`.
struct TextEdit {
  Range range;
  std::string newText;
};

// A range in a file, by its absolute path.
struct Place {
  std::string path;
  Range range;
};

// The lines of one text as the compiler counts them (a line feed ends a line)
// and as an editor counts them (a line feed, a carriage return and a line
// feed, or a carriage return alone), so that the compiler's places become the
// editor's. Built once per text, each question costs two binary searches and a
// walk over at most kMarkSpacing bytes: a long line (a soft-IP block of tens of
// thousands of names on one line) holds marks along it, so that its many
// findings do not each walk it from its start.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  std::string_view Text() const { return text_; }
  // The byte offset of the compiler's `line` and `column` (from 1): a column
  // past the end of its line is the line's end (before its line end), a line
  // past the last is the end of the text.
  size_t OffsetOfColumn(int32_t line, int32_t column) const;
  // The editor's position of a byte offset (at most the text's size).
  Position PositionOf(size_t offset) const;
  // The byte offset of the editor's `at`: a character past the end of its line
  // is the line's end, a line past the last is the end of the text.
  size_t OffsetOf(Position at) const;
  // The editor's range of a stretch that the compiler places.
  Range RangeOf(int32_t line, int32_t column, int32_t endLine, int32_t endColumn) const;
  // The editor's position of the compiler's `line` and `column`.
  Position PositionOfColumn(int32_t line, int32_t column) const {
    return PositionOf(OffsetOfColumn(line, column));
  }
  // The compiler's line and byte column (both from 1) of the editor's `at`.
  struct Column {
    int32_t line;
    int32_t column;
  };
  Column ColumnOf(Position at) const;

 private:
  // A place inside an editor's line, on a UTF-8 sequence's first byte, and the
  // UTF-16 units of the line before it.
  struct Mark {
    size_t offset;
    int32_t units;
  };
  static constexpr size_t kMarkSpacing = 256;

  size_t EditorLineEnd(size_t line) const;
  void MarkLine(size_t line);
  // The last mark of the editor's `line` that `before(mark)` holds for (marks
  // hold in a row from the line's start), or the line's start.
  template <typename Before>
  Mark WalkFrom(size_t line, Before before) const;

  std::string_view text_;
  std::vector<size_t> compilerLines_;  // the offset at which each line starts
  std::vector<size_t> editorLines_;
  std::vector<Mark> marks_;  // in the order of their offsets
};

// The byte offset of `at` in `text`, as LineIndex::OffsetOf.
size_t OffsetOf(std::string_view text, Position at);

// The editor's position of the byte offset `offset` (at most text.size()).
Position PositionOf(std::string_view text, size_t offset);

}  // namespace qelc::language
