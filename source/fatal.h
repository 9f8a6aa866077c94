#pragma once

#include <string>
#include <string_view>

#include "source/parser.h"

namespace qelc {

// Writes `message` to standard output and ends the compilation with status 1:
// the shape of every error in the source. A sink that collects findings gets
// `explanation` (or, when there is none, `message` on one line) under `check`
// at the current token.
[[noreturn]] void ParseError(Parser& p, std::string message, std::string_view check,
                             std::string explanation = {});

// Writes `message` to standard error and ends the compilation with status 1:
// the shape of every capacity overflow, reported under the check "capacity" at
// the entry that overflowed.
[[noreturn]] void Overflow(Parser& p, std::string message);

}  // namespace qelc
