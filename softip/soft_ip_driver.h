#pragma once

#include <string>

namespace qelc {

// The soft-IP road: IPF sections into the IPB file, and with -d its decode.
void CompileSoftIP(const std::string& preName, const std::string& option);

// Reads the top-level block at the current token: SoftIPCategory, or a module
// named by any other word.
void ReadSoftIPBlock();

// Empties the soft-IP library for a new run in the same process.
void ResetSoftIP();

}  // namespace qelc
