#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/ipb_library.h"
#include "source/files.h"
#include "tables/parse_state.h"

namespace qelc {

// The library that one compilation builds: the IPB file's content, and where
// each category entry was read (a repeated number is reported at the entry that
// repeats it).
struct SoftIPBuild : SoftIPLibrary {
  std::vector<TextPoint> categoryStarts;
};

// Compiling: Out.txt becomes the dump stream and the string pool works on a new,
// empty string buffer of 32000 bytes.
// Each returns false, with its message printed, when it cannot set up.
bool BeginSoftIPOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files);

// BeginSoftIPOutput without the dump stream: the linter keeps no Out.txt.
bool BeginSoftIPLibrary(ParseState& s, SoftIPLibrary& library);

// Decoding: the .dec file beside `ipbName` becomes the dump stream and the pool
// works on a new buffer of the capacity read from the file.
bool BeginDecodeOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                       const std::string& ipbName);

// Closes the dump stream and releases the string buffer.
void EndSoftIPOutput(ParseState& s, SoftIPLibrary& library);

// The .dec name: the IPB name cut at its last '.', then ".dec".
std::string DecName(const std::string& ipbName);

}  // namespace qelc
