#include "source/line_map.h"

#include <algorithm>

namespace qelc {

int32_t LineMap::AddFile(std::string name) {
  files_.push_back(std::move(name));
  return int32_t(files_.size() - 1);
}

void LineMap::Wrote(std::string_view text, SourcePoint origin) {
  if (text.empty()) return;
  stretches_.push_back({next_, origin});
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
  found.column += point.column - stretch.start.column;
  return found;
}

}  // namespace qelc
