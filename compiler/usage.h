#pragma once

// The qelc program's words for a command line it refuses. The library gives
// the same answer for a source it is asked to compile under a name that is no
// source's, so that a caller sees what the program would say.

#include <string>
#include <string_view>

namespace qelc {

// The exit statuses of a refused command line.
constexpr int kStatusBadExtension = 2;
constexpr int kStatusBadOption = 3;
constexpr int kStatusBadArgumentCount = 4;

// Whether `name` ends in an extension that starts with .daf or .ipf, letter
// case aside (dev.daf, lib.IPF, x.dafx).
bool HasSourceExtension(std::string_view name);

// What qelc prints on standard error for each refusal, its usage included.
std::string WrongArgumentCountText();
std::string IncorrectExtensionText();
std::string IncorrectOptionText();

}  // namespace qelc
