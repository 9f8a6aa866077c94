#include "language/text.h"

#include "decompile/source_text.h"

namespace qelc::language {

namespace {

size_t LineStart(std::string_view text, int32_t line) {
  size_t offset = 0;
  for (int32_t at = 0; at < line; ++at) {
    size_t end = text.find('\n', offset);
    if (end == std::string_view::npos) return text.size();
    offset = end + 1;
  }
  return offset;
}

size_t LineEnd(std::string_view text, size_t lineStart) {
  size_t end = text.find('\n', lineStart);
  if (end == std::string_view::npos) end = text.size();
  if (end > lineStart && text[end - 1] == '\r') --end;
  return end;
}

// The number of bytes of the UTF-8 sequence that `lead` starts (1 for a byte
// that starts none, so that any text can be walked).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The offset `units` UTF-16 code units on from `start`, at most `end`.
size_t AfterUnits(std::string_view text, size_t start, size_t end, int32_t units) {
  size_t offset = start;
  for (int32_t counted = 0; offset < end && counted < units;) {
    size_t length = SequenceLength(static_cast<unsigned char>(text[offset]));
    counted += length == 4 ? 2 : 1;
    offset = std::min(end, offset + length);
  }
  return offset;
}

// The UTF-16 code units from `start` to `offset`.
int32_t UnitsBetween(std::string_view text, size_t start, size_t offset) {
  int32_t units = 0;
  for (size_t byte = start; byte < offset;) {
    size_t length = SequenceLength(static_cast<unsigned char>(text[byte]));
    units += length == 4 ? 2 : 1;
    byte += length;
  }
  return units;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool EndsWord(char c) { return IsBlank(c) || decompile::IsDelimiter(c); }

}  // namespace

size_t OffsetOf(std::string_view text, Position at) {
  size_t start = LineStart(text, at.line);
  return AfterUnits(text, start, LineEnd(text, start), at.character);
}

Position PositionOf(std::string_view text, size_t offset) {
  Position at;
  size_t lineStart = 0;
  for (size_t end = text.find('\n'); end != std::string_view::npos && end < offset;
       end = text.find('\n', lineStart)) {
    ++at.line;
    lineStart = end + 1;
  }
  at.character = UnitsBetween(text, lineStart, offset);
  return at;
}

size_t OffsetOfColumn(std::string_view text, int32_t line, int32_t column) {
  size_t start = LineStart(text, std::max(0, line - 1));
  size_t end = LineEnd(text, start);
  return std::min(end, start + std::max(0, column - 1));
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
  starts_.push_back(0);
  for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', end + 1)) {
    starts_.push_back(end + 1);
  }
}

size_t LineIndex::Offset(int32_t line, int32_t column) const {
  size_t index = size_t(std::max(0, line - 1));
  if (index >= starts_.size()) return text_.size();
  size_t start = starts_[index];
  return std::min(LineEnd(text_, start), start + size_t(std::max(0, column - 1)));
}

Position LineIndex::PositionOfColumn(int32_t line, int32_t column) const {
  size_t index = size_t(std::max(0, line - 1));
  if (index >= starts_.size()) return PositionOf(text_, text_.size());
  size_t start = starts_[index];
  return {int32_t(index), UnitsBetween(text_, start, Offset(line, column))};
}

LineIndex::Column LineIndex::ColumnOf(Position at) const {
  if (size_t(at.line) >= starts_.size()) {
    return {int32_t(starts_.size()), int32_t(text_.size() - starts_.back()) + 1};
  }
  size_t start = starts_[size_t(at.line)];
  size_t offset = AfterUnits(text_, start, LineEnd(text_, start), at.character);
  return {at.line + 1, int32_t(offset - start) + 1};
}

Range TokenRange(std::string_view text, int32_t line, int32_t column) {
  size_t start = OffsetOfColumn(text, line, column);
  size_t lineEnd = LineEnd(text, start);
  size_t end = start;
  if (start < lineEnd) {
    if (text[start] == '\'') {
      // A backslash keeps the next character inside the string.
      for (end = start + 1; end < lineEnd && text[end] != '\''; ++end) {
        if (text[end] == '\\' && end + 1 < lineEnd) ++end;
      }
      end = std::min(lineEnd, end + 1);
    } else if (EndsWord(text[start])) {
      end = start + 1;
    } else {
      while (end < lineEnd && !EndsWord(text[end])) ++end;
    }
  }
  return {PositionOf(text, start), PositionOf(text, end)};
}

}  // namespace qelc::language
