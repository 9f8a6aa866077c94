#include "source/line_map.h"

#include <algorithm>

namespace qelc {

int32_t LineMap::AddFile(std::string name, SourcePoint includedAt) {
  files_.push_back(std::move(name));
  includedAt_.push_back(includedAt);
  return int32_t(files_.size() - 1);
}

Location LineMap::Locate(TextPoint start, TextPoint end) const {
  return Locate(Find(start), Find(end));
}

Location LineMap::Locate(SourcePoint from, SourcePoint to) const {
  bool backwards = to.line < from.line || (to.line == from.line && to.column < from.column);
  if (to.file != from.file || backwards) to = from;
  Location at;
  at.line = from.line;
  at.column = from.column;
  at.endLine = to.line;
  at.endColumn = to.column;
  if (files_.empty()) return at;
  at.file = files_[size_t(from.file)];
  // Each file is added once per #include line that brings it in, so the chain
  // is the one by which this very copy was read; the line names the file by
  // the name it was added with.
  for (int32_t file = from.file; includedAt_[size_t(file)].file >= 0;) {
    const SourcePoint& site = includedAt_[size_t(file)];
    int32_t nameEnd = site.column + int32_t(files_[size_t(file)].size());
    at.includedFrom.push_back({files_[size_t(site.file)], site.line, site.column, nameEnd});
    file = site.file;
  }
  return at;
}

void LineMap::Wrote(std::string_view text, SourcePoint origin) {
  if (text.empty()) return;
  // A whole line that follows on the last stretch's lines in the same file
  // extends it: the map grows with the directives, includes and rewritten
  // long lines, not with the lines of the source.
  bool continues = false;
  if (!stretches_.empty() && next_.column == 1 && origin.column == 1) {
    const Stretch& last = stretches_.back();
    continues = origin.file == last.origin.file &&
                origin.line - last.origin.line == next_.line - last.start.line;
  }
  if (!continues) stretches_.push_back({next_, origin});
  // The user's end is the last character written, not the line after it.
  end_ = origin;
  end_.column += int32_t(text.size()) - (text.back() == '\n' ? 1 : 0);
  if (text.back() == '\n') {
    ++next_.line;
    next_.column = 1;
  } else {
    next_.column += int32_t(text.size());
  }
}

SourcePoint LineMap::Find(TextPoint point) const {
  auto before = [](TextPoint a, TextPoint b) {
    return a.line < b.line || (a.line == b.line && a.column < b.column);
  };
  if (stretches_.empty()) return end_;
  if (!before(point, next_)) return end_;
  // The last stretch that starts at or before the point.
  auto after = std::upper_bound(stretches_.begin(), stretches_.end(), point,
                                [&](TextPoint p, const Stretch& s) { return before(p, s.start); });
  if (after == stretches_.begin()) return stretches_.front().origin;
  const Stretch& stretch = *(after - 1);
  SourcePoint found = stretch.origin;
  if (point.line == stretch.start.line) {
    found.column += point.column - stretch.start.column;
  } else {
    // A later line of the stretch starts at the first column of its own.
    found.line += point.line - stretch.start.line;
    found.column = point.column;
  }
  return found;
}

}  // namespace qelc
