#pragma once

// qellint's findings for a document open in an editor.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "language/text.h"
#include "language/workspace.h"
#include "qelc/diagnostic.h"

namespace qelc::language {

// What qellint reports for the source `path` (a .daf or .ipf file) when run
// in the workspace's root folder with its default options, the source and the
// files it includes read from the workspace (the editor's text where open).
// Every file a finding names (its place, its #include lines, its fixes) is
// given by its absolute path.
std::vector<Diagnostic> LintDocument(const Workspace& files, const std::string& path);

// The fix of one finding: a title for the editor's menu and the edits, each
// at the editor's range of its file.
struct QuickFix {
  std::string title;
  Diagnostic finding;
  struct TextEdit {
    Place at;
    std::string text;
  };
  std::vector<TextEdit> edits;
};

// The fixes of the findings of the document `path` whose ranges meet `range`
// (a "did you mean" word, a value to quote, a missing comma).
std::vector<QuickFix> QuickFixesAt(const Workspace& files, const std::string& path, Range range);

// The line indexes of the files of one workspace snapshot, each built once on
// first use: the editor's ranges of the compiler's places.
class LineIndexes {
 public:
  explicit LineIndexes(const Workspace& files) : files_(files) {}

  // The index of the file at the absolute `path` (empty when it cannot be
  // read).
  const LineIndex& Of(const std::string& path);
  Range RangeOf(const Location& at) {
    return Of(at.file).RangeOf(at.line, at.column, at.endLine, at.endColumn);
  }

 private:
  struct Indexed {
    std::shared_ptr<const std::string> text;
    std::unique_ptr<LineIndex> index;
  };
  const Workspace& files_;
  std::map<std::string, Indexed> indexed_;
};

}  // namespace qelc::language
