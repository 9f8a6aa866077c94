#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qelc::qelcmd {

// Lays each file out as the formatter does (its includes read from its
// folder), rewriting it whole when that changes it; with `checkOnly`, names on
// `out` each file it would change and writes nothing. A refusal is said on
// `errors` as "qel: FILE: why". Returns the exit status: 0 all in their
// layout (or rewritten), 1 a file refused or (with `checkOnly`) one that
// would change, 2 a file that cannot be read or written.
int FormatFiles(const std::vector<std::string>& files, bool checkOnly, FILE* out, FILE* errors);

}  // namespace qelc::qelcmd
