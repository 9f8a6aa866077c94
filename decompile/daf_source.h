#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dab_file.h"

namespace qelc::decompile {

// Writes to `out` a DAF source that qelc compiles into a DAB file of the same
// content as `file`, which was read from `fileName` (named in a comment; its
// base name names the device). Each field the source
// cannot reproduce adds "cannot express PATH: reason" to `problems`; the source
// then holds all the rest. An empty `problems` promises the round trip.
void WriteDafSource(const DabFile& file, std::string_view fileName, std::FILE* out,
                    std::vector<std::string>& problems);

}  // namespace qelc::decompile
