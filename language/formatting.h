#pragma once

// A document in the canonical form that the decompiler writes: the source is
// compiled in memory and its DAB or IPB file written back as a source.

#include <optional>
#include <string>

#include "language/workspace.h"

namespace qelc::language {

struct Formatted {
  std::optional<std::string> text;  // the document formatted
  std::string refusal;              // why there is none
};

// Refused when the source does not compile, when it has a comment or a
// directive (the written source would lose them) or when the decompiler
// names a field that no source can give.
Formatted FormatDocument(const Workspace& files, const std::string& path);

}  // namespace qelc::language
