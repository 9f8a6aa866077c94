#pragma once

// What an editor asks about a place in a document: the text shown on hovering
// a word and where the word is defined.

#include <optional>
#include <string>
#include <vector>

#include "language/lint_document.h"
#include "language/text.h"
#include "language/workspace.h"

namespace qelc::language {

struct HoverText {
  std::string markdown;
  Range range;  // of the word hovered
};

// A section keyword: what it fills, its capacities and a link to its part of
// the language manual; a condition word, an Initialize attribute or an IPF
// block: a line about it; a pin name: the packages and pin numbers that define
// it. Nothing for any other word.
std::optional<HoverText> HoverAt(const Workspace& files, const std::string& path, Position at);

// An #include line: the file it names; a name of a #define: its #define lines;
// a pin name: the PinNumberByPackage rows that name it and the Alias rows that
// make it. Searched in the document and the files it includes.
std::vector<Place> DefinitionsAt(const Workspace& files, const std::string& path, Position at);

// Where `manualName` (daf.md, ipf.md) lies once installed, as a link.
std::string ManualLink(std::string_view manualName, std::string_view anchor);

}  // namespace qelc::language
