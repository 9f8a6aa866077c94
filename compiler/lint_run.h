#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qelc/facts.h"
#include "source/diagnostics.h"
#include "source/files.h"

namespace qelc::lint {

enum class LintStatus { kLinted, kUnreadable, kNotASource };

// What a limit on the errors kept back of one source.
struct NotShown {
  size_t errors = 0;      // the errors after the last one kept
  bool readToEnd = true;  // false: the reading stopped at kMostErrorsCounted of them
};

// Errors past the limit are counted up to this many; then the source's reading
// stops, so that a file of garbage costs no more than this.
constexpr size_t kMostErrorsCounted = 1000;

// Reads the DAF or IPF source `path` (chosen by its extension, as qelc chooses)
// with the compiler's preprocessor, tokenizer and parsers, and appends what it finds to `findings`
// in source order of the run. After an error in an entry of a list the parse resumes at the list's
// next entry (source/recovery.h); after one it cannot resume from there, at the next section
// keyword (DAF) or top-level block (IPF). The first error is the one qelc reports. Preprocessor
// errors and a full string pool end the source's run. Only the warnings named in `enabled` are
// reported. With `maxErrors` above 0, nothing is kept after the maxErrors-th error: the errors
// after it are only counted, in `notShown`. `repeatedPinNames` are the names a package may give
// several pins (null: the power and ground names of kDefaultRepeatedPinNames). The source is read
// from the disk as it is needed and the preprocessed text is kept in a temporary file, not in
// memory.
LintStatus LintSource(const std::string& path, const WarningSet& enabled, size_t maxErrors,
                      std::vector<Diagnostic>& findings, NotShown& notShown,
                      const std::vector<std::string>* repeatedPinNames = nullptr);

// The same reading of a source that is not on the disk (an editor's text):
// `read` gives the source by `path` and each file it includes by the name its
// #include line gives. With `facts`, what the parsers read is kept there too
// (qelc/facts.h), in the files by the names the source and its #include lines
// give them.
LintStatus LintText(const std::string& path, const MemoryFiles::Reader& read,
                    const WarningSet& enabled, size_t maxErrors, std::vector<Diagnostic>& findings,
                    NotShown& notShown, SourceFacts* facts = nullptr,
                    const std::vector<std::string>* repeatedPinNames = nullptr);

// The errors qellint shows of one source when --max-errors is not given.
constexpr size_t kDefaultMaxErrors = 20;

// The warning checks that are on when no -W option is given.
WarningSet DefaultWarnings();

}  // namespace qelc::lint
