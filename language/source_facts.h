#pragma once

// The facts of one source (qelc/facts.h), as the linter's run over the
// workspace's texts gives them, and their places as an editor names them.
// Every question but completion is answered from these.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "language/lint_document.h"
#include "language/text.h"
#include "language/workspace.h"
#include "qelc/facts.h"

namespace qelc::language {

class SourceView {
 public:
  // Reads the source `sourcePath` (a .daf or .ipf file) with the texts of
  // `files`; every fact's file is then an absolute path.
  SourceView(const Workspace& files, const std::string& sourcePath);

  const std::string& Source() const { return source_; }
  const SourceFacts& Facts() const { return facts_; }

  // The editor's place of a fact's range.
  Place PlaceOf(const SourceRange& at) const;
  // A place asked about, as the facts count it: a file, a line and a byte
  // column.
  struct Cursor {
    std::string path;
    int32_t line;
    int32_t column;
  };
  Cursor CursorAt(const std::string& path, Position at) const;
  // Whether `at` lies in `range` or just after it.
  static bool Holds(const SourceRange& range, const Cursor& at);
  // The text of `path` as the run read it (the editor's text where open).
  std::string_view TextOf(const std::string& path) const;
  // The text of `range` as its file holds it.
  std::string_view Written(const SourceRange& range) const;

 private:
  const Workspace& files_;
  std::string source_;
  SourceFacts facts_;
  const LineIndex& LinesOf(const std::string& path) const;

  mutable std::map<std::string, std::optional<std::string>> texts_;
  mutable std::map<std::string, LineIndex> lines_;
};

// The sources of the workspace (.daf and .ipf files under its root, a bounded
// walk, in the order of their paths) whose reading includes the file `path`.
std::vector<std::string> SourcesIncluding(const Workspace& files, const std::string& path);

}  // namespace qelc::language
