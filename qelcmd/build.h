#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "qelc/diagnostic.h"
#include "qelcmd/sources.h"

namespace qelc::qelcmd {

struct BuildOptions {
  unsigned jobs = 1;
  bool warningsAsErrors = false;
  // Without it no source is started after the first one that failed.
  bool keepGoing = false;
  // The progress line and the summary, for a terminal.
  bool progress = false;
  // Asked before each source and each file written; true: start and write no more.
  std::function<bool()> interrupted = {};
};

// What building one source gave.
struct SourceOutcome {
  // The linter's findings (and the compiler's errors, should it refuse what the
  // linter passed), named by their path from the working folder.
  std::vector<Diagnostic> findings;
  size_t errorsNotShown = 0;
  bool readToEnd = true;
  // A failure that is no finding of the source (it cannot be read, its compiled
  // file cannot be written).
  std::string problem;
  bool failed = false;
  // The compiled file, when it was written.
  std::filesystem::path written;
};

// Lints the source and, without errors (or warnings, with `warningsAsErrors`),
// compiles it with its includes read from its folder, as qelc run there, and
// writes the compiled file whole into its output folder.
SourceOutcome BuildOne(const BuildSource& source, bool warningsAsErrors,
                       const std::function<bool()>& interrupted);

struct BuildCounts {
  size_t built = 0;
  size_t failed = 0;
  size_t warnings = 0;
  bool interrupted = false;
};

// Builds the sources on `options.jobs` threads and writes each one's findings
// to `out` in the order of `sources`, whatever order they finish in.
BuildCounts BuildAll(const std::vector<BuildSource>& sources, const BuildOptions& options,
                     FILE* out);

}  // namespace qelc::qelcmd
