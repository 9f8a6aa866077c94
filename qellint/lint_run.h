#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "source/diagnostics.h"

namespace qelc::lint {

// A place in the user's files.
struct FindingPlace {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
};

// A diagnostic placed in the user's files. An error said at its likely cause
// also names the token at which qelc stopped: `found`, with its text.
struct Finding {
  Severity severity = Severity::kError;
  std::string check;
  std::string message;
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
  std::optional<FindingPlace> found;
  std::string foundToken;  // as the message quotes it
};

enum class LintStatus { kLinted, kUnreadable, kNotASource };

// Reads the DAF or IPF source `path` (chosen by its extension, as qelc chooses)
// with the compiler's preprocessor, tokenizer and parsers, entirely in memory,
// and appends what it finds to `findings` in source order of the run. After an
// error the parse resumes at the next section keyword (DAF) or top-level block
// (IPF); the first error is the one qelc reports. Preprocessor errors end the
// source's run, as they end qelc's.
// Only the warnings named in `enabled` are reported.
LintStatus LintSource(const std::string& path, const WarningSet& enabled,
                      std::vector<Finding>& findings);

}  // namespace qelc::lint
