#include "language/text.h"

#include <algorithm>

namespace qelc::language {

namespace {

// The number of bytes of the UTF-8 sequence that `lead` starts (1 for a byte
// that starts none, so that any text can be walked).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The index of the line that holds `offset`, of lines that start at `starts`.
size_t LineOf(const std::vector<size_t>& starts, size_t offset) {
  return size_t(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

}  // namespace

LineIndex::LineIndex(std::string_view text) : text_(text), compilerLines_{0}, editorLines_{0} {
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n') {
      compilerLines_.push_back(at + 1);
      editorLines_.push_back(at + 1);
    } else if (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n')) {
      editorLines_.push_back(at + 1);
    }
  }
  for (size_t line = 0; line < editorLines_.size(); ++line) {
    if (EditorLineEnd(line) - editorLines_[line] > kMarkSpacing) MarkLine(line);
  }
}

// The marks lie on the walk that PositionOf and OffsetOf make from the line's
// start, a sequence at a time.
void LineIndex::MarkLine(size_t line) {
  size_t end = EditorLineEnd(line);
  size_t lastMark = editorLines_[line];
  int32_t units = 0;
  for (size_t byte = editorLines_[line]; byte < end;) {
    if (byte - lastMark >= kMarkSpacing) {
      marks_.push_back({byte, units});
      lastMark = byte;
    }
    size_t length = SequenceLength(static_cast<unsigned char>(text_[byte]));
    units += length == 4 ? 2 : 1;
    byte += length;
  }
}

template <typename Before>
LineIndex::Mark LineIndex::WalkFrom(size_t line, Before before) const {
  size_t start = editorLines_[line];
  auto first =
      std::upper_bound(marks_.begin(), marks_.end(), start,
                       [](size_t offset, const Mark& mark) { return offset < mark.offset; });
  size_t end = EditorLineEnd(line);
  auto last = std::lower_bound(first, marks_.end(), end, [](const Mark& mark, size_t offset) {
    return mark.offset < offset;
  });
  auto after = std::partition_point(first, last, before);
  return after == first ? Mark{start, 0} : *(after - 1);
}

size_t LineIndex::OffsetOfColumn(int32_t line, int32_t column) const {
  if (line < 1) line = 1;
  if (size_t(line) > compilerLines_.size()) return text_.size();
  size_t start = compilerLines_[size_t(line) - 1];
  size_t end =
      size_t(line) < compilerLines_.size() ? compilerLines_[size_t(line)] - 1 : text_.size();
  if (end > start && end < text_.size() && text_[end - 1] == '\r') --end;
  return std::min(end, start + size_t(std::max(0, column - 1)));
}

size_t LineIndex::EditorLineEnd(size_t line) const {
  if (line + 1 >= editorLines_.size()) return text_.size();
  size_t end = editorLines_[line + 1] - 1;  // the line end's last character
  if (text_[end] == '\n' && end > editorLines_[line] && text_[end - 1] == '\r') --end;
  return end;
}

Position LineIndex::PositionOf(size_t offset) const {
  offset = std::min(offset, text_.size());
  size_t line = LineOf(editorLines_, offset);
  // An offset inside a line end (between its CR and LF) is the line's end.
  size_t end = std::min(offset, EditorLineEnd(line));
  Mark from = WalkFrom(line, [end](const Mark& mark) { return mark.offset <= end; });
  Position at{int32_t(line), from.units};
  for (size_t byte = from.offset; byte < end;) {
    size_t length = SequenceLength(static_cast<unsigned char>(text_[byte]));
    at.character += length == 4 ? 2 : 1;
    byte += length;
  }
  return at;
}

size_t LineIndex::OffsetOf(Position at) const {
  if (at.line < 0) return 0;
  if (size_t(at.line) >= editorLines_.size()) return text_.size();
  Mark from =
      WalkFrom(size_t(at.line), [&at](const Mark& mark) { return mark.units <= at.character; });
  size_t offset = from.offset;
  size_t end = EditorLineEnd(size_t(at.line));
  for (int32_t units = from.units; offset < end && units < at.character;) {
    size_t length = SequenceLength(static_cast<unsigned char>(text_[offset]));
    units += length == 4 ? 2 : 1;
    offset = std::min(end, offset + length);
  }
  return offset;
}

Range LineIndex::RangeOf(int32_t line, int32_t column, int32_t endLine, int32_t endColumn) const {
  size_t start = OffsetOfColumn(line, column);
  size_t end = std::max(start, OffsetOfColumn(endLine, endColumn));
  return {PositionOf(start), PositionOf(end)};
}

LineIndex::Column LineIndex::ColumnOf(Position at) const {
  size_t offset = OffsetOf(at);
  size_t line = LineOf(compilerLines_, offset);
  return {int32_t(line) + 1, int32_t(offset - compilerLines_[line]) + 1};
}

size_t OffsetOf(std::string_view text, Position at) { return LineIndex(text).OffsetOf(at); }

Position PositionOf(std::string_view text, size_t offset) {
  return LineIndex(text).PositionOf(offset);
}

}  // namespace qelc::language
