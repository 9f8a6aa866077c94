#pragma once

#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "compiler/lint_run.h"

namespace qelc::lint {

// The errors of one source that --max-errors kept back: they follow the
// source's last finding, which stands just before findings[position].
struct ErrorsNotShown {
  std::string file;  // the source as it was named
  size_t count;
  bool readToEnd;  // false: the reading stopped after `count` of them
  size_t maxErrors;
  size_t position;
};

// "37 more errors not shown (--max-errors 20)", and after a reading that
// stopped "; the rest of the file was not read".
std::string NotShownText(const ErrorsNotShown& notShown);

// FILE:LINE:COLUMN: error|warning: message [check], then the source line and a
// caret under the column; after a source's findings, FILE: NotShownText.
// Written a stretch at a time, as the findings are known to be final.
class TextReport {
 public:
  explicit TextReport(FILE* out);
  ~TextReport();
  TextReport(const TextReport&) = delete;
  TextReport& operator=(const TextReport&) = delete;

  // Writes the findings from the first not written yet up to `end` (not
  // included), each after the errors not shown that stand before it, and then
  // those that stand before findings[end].
  void WriteUpTo(std::span<const Diagnostic> findings, std::span<const ErrorsNotShown> notShown,
                 size_t end);

 private:
  class SourceLines;
  void Show(const std::string& file, int32_t lineNumber, int32_t column);

  FILE* out_;
  std::unique_ptr<SourceLines> sources_;
  size_t written_ = 0;
  size_t notShownWritten_ = 0;
};

// The whole text report at once.
void WriteText(FILE* out, std::span<const Diagnostic> findings,
               std::span<const ErrorsNotShown> notShown);

// {"findings": [{file, line, column, severity, check, message}...],
//  "errors": N, "warnings": M}, and when errors were kept back
//  "errorsNotShown": [{file, errors, readToEnd, maxErrors}...]
void WriteJson(FILE* out, std::span<const Diagnostic> findings,
               std::span<const ErrorsNotShown> notShown);

// One SARIF 2.1.0 log with one run: every warning check and every error check
// met as a rule, every finding as a result; errors kept back are a note of the
// run's invocation (toolExecutionNotifications), at the source's file.
void WriteSarif(FILE* out, std::span<const Diagnostic> findings,
                std::span<const ErrorsNotShown> notShown, const std::string& version);

// Percent-encodes a relative or absolute path for a URI reference.
std::string PathUri(std::string_view path);

}  // namespace qelc::lint
