#pragma once

#include <string>
#include <string_view>

namespace qelc {

// The whole program on an argument vector: validates the command line, runs one
// compile and returns the exit status. A fatal error inside the run becomes its
// status here, so tests and fuzzers can drive the compiler in-process.
int RunQelc(int argc, const char* const* argv);

// Preprocesses the source into its .pre file and hands it to the road that the
// source's extension picks.
void CompileSource(const std::string& sourceName, const std::string& option);

// The DAF road: tables, sections, DAB file, summary.
void CompileDaf(const std::string& preName, const std::string& option);

// True when the option text starts with -d, letter case aside.
bool IsDebugOption(std::string_view option);

// The .pre name cut at the first '.' of its file-name part, then `extension`:
// my.dev.pre gives my.dab, v1.2/dev.pre gives v1.2/dev.dab.
std::string OutputName(const std::string& preName, std::string_view extension);

// Returns every piece of process-wide state to where a new process starts.
void ResetRunState();

}  // namespace qelc
