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

// The same, said by the linter at `cause`, a place before the current token
// that likely led to the error; the finding names the current token as found.
[[noreturn]] void ParseErrorAt(Parser& p, TextPoint cause, std::string message,
                               std::string_view check, std::string explanation);

// While linting: a string ran over a line end up to the line of the current
// token (or is it). It has most likely lost its closing quote and swallowed what
// was meant to follow it, so a parse error here is said at its start.
bool RunOnStringReachesFound(const Parser& p);

// Writes `message` to standard error and ends the compilation with status 1:
// the shape of every capacity overflow, reported under the check "capacity" at
// the entry that overflowed.
[[noreturn]] void Overflow(Parser& p, std::string message);

}  // namespace qelc
