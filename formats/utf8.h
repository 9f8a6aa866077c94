#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qelc {

// Sources and pools hold any bytes, while JSON strings must be UTF-8. The
// reader and the linter turn texts into UTF-8 here, each in its own way.

// The length of the well-formed UTF-8 sequence at text[at], or 0 when there is
// none (a stray byte, a cut sequence, an overlong form, a surrogate).
size_t Utf8SequenceLength(std::string_view text, size_t at);

// True when all of `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// `text` with each byte that starts no well-formed sequence replaced by U+FFFD.
std::string ReplaceNonUtf8(std::string_view text);

// `text` read as Latin-1: every byte above 0x7F becomes its two-byte sequence.
std::string Latin1ToUtf8(std::string_view text);

}  // namespace qelc
