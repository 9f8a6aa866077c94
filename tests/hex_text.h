#pragma once

#include <string>
#include <string_view>

namespace qelc::test {

// The hex form of an expected binary file (tests/README.md): pairs of hex digits,
// separated by white space or written in runs ("0a1b" is two bytes); '#' starts
// a comment to the end of the line. Throws std::invalid_argument with
// "NAME:LINE: problem" for anything else.
std::string ParseHexText(std::string_view text, const std::string& sourceName);

}  // namespace qelc::test
