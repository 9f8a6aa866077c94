#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qelc/facts.h"
#include "source/diagnostics.h"

namespace qelc {

// A place in one of the user's files: the index of the file in LineMap::Files()
// and its line and column, counted from 1.
struct SourcePoint {
  int32_t file = 0;
  int32_t line = 1;
  int32_t column = 1;
};

// Which file, line and column of the user's sources every stretch of the
// preprocessed text came from. The preprocessor tells it each piece it writes
// and where the piece was read; a token's place in the preprocessed text then
// leads back to the user's file. Directives and dropped branches write nothing,
// and the last line of an included file that lacks its line end runs on into
// the next line written, so one preprocessed line may hold pieces of several
// files: each piece is a stretch of its own.
class LineMap {
 public:
  // Adds a file name (as the source or its #include line gave it) and returns
  // its index; `includedAt` is where the #include line names it (file -1 for
  // the source itself).
  int32_t AddFile(std::string name, SourcePoint includedAt = {-1, 0, 0});
  const std::vector<std::string>& Files() const { return files_; }

  // The preprocessor wrote `text` (at most one line end, at its end) for the
  // piece read at `origin`.
  void Wrote(std::string_view text, SourcePoint origin);

  // The user's place of a place in the preprocessed text. A column inside a
  // line that a define rewrote counts from the start of the piece, so it may be
  // off by the difference in length of the words replaced before it. A place
  // past the end of the text (the end of the input) is the end of the last
  // piece.
  SourcePoint Find(TextPoint point) const;

  // The user's place of the stretch from `start` to `end` of the preprocessed
  // text, with the #include lines that reach its file. An end that leads into
  // another file or before the start (the stretch ran over the end of an
  // included file) is taken as the start's.
  Location Locate(TextPoint start, TextPoint end) const;
  // The same of a stretch of the user's files (a directive line's words).
  Location Locate(SourcePoint start, SourcePoint end) const;

  // The #ifdef and #ifndef lines still open, innermost last: where a source
  // that leaves one open is told so.
  void OpenedConditional(SourcePoint at) { openConditionals_.push_back(at); }
  void ClosedConditional() {
    if (!openConditionals_.empty()) openConditionals_.pop_back();
  }
  const std::vector<SourcePoint>& OpenConditionals() const { return openConditionals_; }

  // While linting, the preprocessor notes its directives here as facts of the
  // source: #define names, #include lines and #ifdef/#ifndef blocks.
  SourceFacts& DirectiveFacts() { return directiveFacts_; }
  // Whether they are noted: a linter that only reports findings does without
  // them, which grow with every use of a define.
  void KeepDirectiveFacts(bool keep) { keepsFacts_ = keep; }
  bool KeepsDirectiveFacts() const { return keepsFacts_; }

 private:
  // From `start` on, the text is the user's from `origin` on: the rest of the
  // start's line, and then whole lines, one for one, up to the next stretch.
  struct Stretch {
    TextPoint start;
    SourcePoint origin;
  };
  std::vector<std::string> files_;
  std::vector<SourcePoint> includedAt_;  // by file
  std::vector<Stretch> stretches_;
  std::vector<SourcePoint> openConditionals_;
  SourceFacts directiveFacts_;
  bool keepsFacts_ = true;
  TextPoint next_;   // where the next piece written starts
  SourcePoint end_;  // the user's place just after the last piece written
};

}  // namespace qelc
