#pragma once

#include <string>

#include "softip/library.h"
#include "source/compile_run.h"
#include "source/files.h"
#include "tables/parse_state.h"

namespace qelc {

// The soft-IP road: IPF sections from the .pre file `preName` into the IPB
// file, and on request its decode.
void CompileSoftIP(ParseState& s, SoftIPBuild& library, FileSystem& files,
                   const std::string& preName, RunOptions options);

// Reads the top-level block at the current token: SoftIPCategory, or a module
// named by any other word.
void ReadSoftIPBlock(ParseState& s, SoftIPBuild& library);

}  // namespace qelc
