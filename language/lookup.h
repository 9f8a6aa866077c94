#pragma once

// What an editor asks about a place in a file of a source, answered from the
// source's facts (language/source_facts.h): the text shown on hovering a word,
// where a name is defined, where it is used, and its renaming. `path` is the
// file asked about: the source or one of the files it includes.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "language/lint_document.h"
#include "language/source_facts.h"
#include "language/text.h"

namespace qelc::language {

struct HoverText {
  std::string markdown;
  Range range;  // of the word hovered
};

// A section keyword: what it fills, its capacities and a link to its part of
// the language manual; a condition word, an Initialize attribute or a block of
// a module: a line about it; a pin name: the packages and pin numbers that
// define it and the pins its aliases name. Nothing for any other word.
std::optional<HoverText> HoverAt(const SourceView& view, const std::string& path, Position at);

// An #include line's name: the file it names; a #define's name: its #define
// lines; a pin name: the PinNumberByPackage rows that name it and the Alias
// rows that make it (not the word asked about itself).
std::vector<Place> DefinitionsAt(const SourceView& view, const std::string& path, Position at);

// A pin or alias name, or a #define's: every place that names it, in the
// files of the source, its definitions with `withDefinitions`.
std::vector<Place> ReferencesAt(const SourceView& view, const std::string& path, Position at,
                                bool withDefinitions);

// The name a rename at `at` would change: where it stands (inside its quotes)
// and its text. Nothing where no pin or alias name stands.
struct RenameTarget {
  Place at;
  std::string name;
};
std::optional<RenameTarget> PrepareRename(const SourceView& view, const std::string& path,
                                          Position at);

struct RenameEdits {
  std::map<std::string, std::vector<TextEdit>> byPath;  // nothing when refused
  std::string refusal;
};
// Renames the pin or alias name at `at` to `newName` wherever the source names
// it; a name written in quotes keeps them. Where a #define's value gave the
// name, that value is renamed (once), when it is the name itself.
RenameEdits RenameAt(const SourceView& view, const std::string& path, Position at,
                     const std::string& newName);

// Where `manualName` (daf.md, ipf.md) lies once installed, as a link.
std::string ManualLink(std::string_view manualName, std::string_view anchor);

}  // namespace qelc::language
