#pragma once

#include <cstdio>
#include <span>
#include <string>

#include "qellint/lint_run.h"

namespace qelc::lint {

// FILE:LINE:COLUMN: error|warning: message [check], then the source line and a
// caret under the column.
void WriteText(FILE* out, std::span<const Finding> findings);

// {"findings": [{file, line, column, severity, check, message}...],
//  "errors": N, "warnings": M}
void WriteJson(FILE* out, std::span<const Finding> findings);

// One SARIF 2.1.0 log with one run: every warning check and every error check
// met as a rule, every finding as a result.
void WriteSarif(FILE* out, std::span<const Finding> findings, const std::string& version);

// Percent-encodes a relative or absolute path for a URI reference.
std::string PathUri(std::string_view path);

}  // namespace qelc::lint
