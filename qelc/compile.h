#pragma once

#include <string>
#include <string_view>

#include "source/compile_run.h"  // IsDebugOption, OutputName: shared with the soft-IP road

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

// Returns every piece of process-wide state to where a new process starts.
void ResetRunState();

}  // namespace qelc
