#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ipb_library.h"

namespace qelc::decompile {

// Writes an IPF source that compiles back to `library` (whose texts are the
// string bytes `strings`), with a comment naming `fileName` at the top. The
// blocks are ordered so that the strings enter the pool in the order they stand
// in `strings`, so the compiled file is byte-identical, whenever the records
// allow it. Every field that no source can produce is still written as well as
// it can be and named in `problems` ("FIELD-PATH: reason"); the source promises
// the round trip only when `problems` stays empty.
void WriteIpfSource(const SoftIPLibrary& library, std::string_view strings,
                    const std::string& fileName, FILE* out, std::vector<std::string>& problems);

}  // namespace qelc::decompile
