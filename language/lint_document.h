#pragma once

// qellint's findings for a document open in an editor, placed at the range of
// the token each one is about.

#include <optional>
#include <string>
#include <vector>

#include "language/text.h"
#include "language/workspace.h"
#include "qelc/messages.h"

namespace qelc::language {

// A range in a file, by its absolute path.
struct Place {
  std::string path;
  Range range;
};

struct DocumentFinding {
  Place at;
  Severity severity = Severity::kError;
  std::string check;
  std::string message;
  // For a finding inside an included file: the #include line that brings the
  // file in (in the document, or in another included file).
  std::optional<Place> includedFrom;
};

// What qellint reports for the source `path` (a .daf or .ipf file) when run
// in the workspace's root folder with its default options, the source and the
// files it includes read from the workspace (the editor's text where open).
std::vector<DocumentFinding> LintDocument(const Workspace& files, const std::string& path);

}  // namespace qelc::language
