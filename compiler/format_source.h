#pragma once

// Lays a DAF or IPF source out in one style (the one qeldump --source writes)
// while keeping its comments and preprocessor directives where they stand, and
// refuses rather than hand back a text that compiles to something else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qelc/qelc.h"

namespace qelc {

// Whole lines of the source, from `firstLine` to `lastLine` (counted from 1,
// their line ends included), and the formatted text that takes their place.
// A block is a top-level section with what stands above it back to the end of
// the section before; the formatted source is its blocks one after the other,
// and any of them may take the place of its lines alone.
struct FormattedBlock {
  int32_t firstLine = 1;
  int32_t lastLine = 1;
  std::string text;
};

struct FormattedSource {
  // The formatted source, or nothing when it is refused.
  std::optional<std::string> text;
  std::vector<FormattedBlock> blocks;
  // Why it is refused: one sentence, as an editor shows it.
  std::string refusal;
};

// Formats the source `text` named `name` (as qelc's command line names it: the
// extension picks the language). The source and the formatted text are both
// compiled in memory, their included files read through `resolver` (null: the
// working directory), and must leave the same files with the same exit status;
// the formatted text must also be its own format. A source that does not
// compile is refused with its first error.
FormattedSource FormatSource(const std::string& name, std::string_view text,
                             IncludeResolver* resolver);

// The layout alone, without the compilations that check it. Nothing, with the
// reason in `problem`, when the text cannot be read into tokens.
std::optional<std::vector<FormattedBlock>> LayOutSource(std::string_view text,
                                                        std::string& problem);

}  // namespace qelc
