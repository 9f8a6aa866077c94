#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source/diagnostics.h"

namespace qelc::lint {

// A diagnostic placed in the user's files.
struct Finding {
  Severity severity = Severity::kError;
  std::string check;
  std::string message;
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
};

enum class LintStatus { kLinted, kUnreadable, kNotASource };

// Reads the DAF or IPF source `path` (chosen by its extension, as qelc chooses)
// with the compiler's preprocessor, tokenizer and parsers, entirely in memory,
// and appends what it finds to `findings` in source order of the run. After an
// error in an entry of a list the parse resumes at the list's next entry
// (source/recovery.h); after one it cannot resume from there, at the next
// section keyword (DAF) or top-level block (IPF). The first error is the one
// qelc reports. Preprocessor errors and a full string pool end the source's run.
// Only the warnings named in `enabled` are reported. With `maxErrors` above 0,
// nothing is kept after the maxErrors-th error: the errors after it are only
// counted, in `errorsNotShown`.
LintStatus LintSource(const std::string& path, const WarningSet& enabled, size_t maxErrors,
                      std::vector<Finding>& findings, size_t& errorsNotShown);

}  // namespace qelc::lint
