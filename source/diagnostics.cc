#include "source/diagnostics.h"

#include <algorithm>

#include "source/condition.h"
#include "source/line_map.h"
#include "source/preprocessor.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

// The words of a message that brings none of its own: the console text without
// its line end.
std::string OneLine(std::string_view console) {
  if (console.ends_with('\n')) console.remove_suffix(1);
  return std::string(console);
}

Diagnostic Finding(Severity severity, std::string_view check, std::string text, Location at) {
  Diagnostic said;
  said.severity = severity;
  said.check = check;
  said.message = std::move(text);
  said.location = std::move(at);
  return said;
}

}  // namespace

std::string EarlierPlace(const Location& earlier, const Location& finding) {
  std::string lineAndColumn = std::to_string(earlier.line) + ":" + std::to_string(earlier.column);
  return earlier.file == finding.file ? lineAndColumn : earlier.file + ":" + lineAndColumn;
}

const WarningCheck kKeywordPrefixCheck{
    "keyword-prefix", true,
    "a word read as the keyword it starts with (#includes as #include, Inputs "
    "as Input)"};

const WarningCheck kNumberConversionCheck{"number-conversion", true,
                                          "a number field whose text is not stored as written"};

std::span<const WarningCheck* const> SourceWarningChecks() {
  static constexpr const WarningCheck* kChecks[] = {
      &kKeywordPrefixCheck,   &kNumberConversionCheck, &kConditionMissingOperand,
      &kConditionMissingTest, &kStringSpansLines,      &kDefineRepeated,
      &kDefineExtraWords};
  return kChecks;
}

void Diagnostics::CollectFindings(WarningSet enabled) {
  linting_ = true;
  enabled_ = std::move(enabled);
}

Location Diagnostics::Locate(TextRange range) const {
  if (range.end == range.start) {
    size_t known = std::min(nextRecent_, kRecentTokens);
    for (size_t back = 1; back <= known; ++back) {
      const TextRange& token = recent_[(nextRecent_ - back) % kRecentTokens];
      if (token.start == range.start) {
        range.end = token.end;
        break;
      }
    }
  }
  if (map_) return map_->Locate(range.start, range.end);
  return {{{}, range.start.line, range.start.column, range.end.line, range.end.column}, {}};
}

void Diagnostics::Emit(Message message) {
  if (!proposed_.empty() && message.kind == MessageKind::kFinding) {
    Diagnostic& said = message.diagnostic;
    Location at = proposedInsertion_ && map_ ? map_->Locate(proposedAt_.start, proposedAt_.start)
                                             : Locate(proposedAt_);
    if (at.file == said.location.file && at.line == said.location.line &&
        at.column == said.location.column) {
      said.fixes.push_back({std::move(at), std::move(proposed_)});
    }
    proposed_.clear();
  }
  sink_.Emit(std::move(message));
}

void Diagnostics::Print(MessageKind kind, std::string console, Stream stream) {
  Message message;
  message.kind = kind;
  message.console = std::move(console);
  message.stream = stream;
  sink_.Emit(std::move(message));
}

void Diagnostics::Warn(const WarningCheck& check, std::string text) {
  WarnAt(CurrentPoint(), check, std::move(text));
}

void Diagnostics::WarnAt(TextRange at, const WarningCheck& check, std::string text) {
  if (Enabled(check)) WarnAt(Locate(at), check, std::move(text));
}

void Diagnostics::WarnAt(Location at, const WarningCheck& check, std::string text) {
  if (!Enabled(check)) return;
  Message message;
  message.diagnostic = Finding(Severity::kWarning, check.name, std::move(text), std::move(at));
  message.stream = Stream::kStandardError;
  Emit(std::move(message));
}

void Diagnostics::Error(std::string console, Stream stream, std::string_view check,
                        std::string text, Location at) {
  if (text.empty()) text = OneLine(console);
  ++errors_;
  Message message;
  message.diagnostic = Finding(Severity::kError, check, std::move(text), std::move(at));
  message.console = std::move(console);
  message.stream = stream;
  Emit(std::move(message));
}

void Diagnostics::Error(std::string console, Stream stream, std::string_view check,
                        std::string text) {
  Error(std::move(console), stream, check, std::move(text), Locate(CurrentPoint()));
}

void Diagnostics::Fail(std::string console, Stream stream, std::string_view check, std::string text,
                       Location at) {
  Error(std::move(console), stream, check, std::move(text), std::move(at));
  Exit(1);
}

void Diagnostics::Fail(std::string console, Stream stream, std::string_view check,
                       std::string text) {
  FailAt(CurrentPoint(), std::move(console), stream, check, std::move(text));
}

void Diagnostics::FailAt(TextRange at, std::string console, Stream stream, std::string_view check,
                         std::string text) {
  Fail(std::move(console), stream, check, std::move(text), Locate(at));
}

void Diagnostics::FailAtCause(TextRange cause, std::string console, Stream stream,
                              std::string_view check, std::string text, std::string found) {
  TextPoint current = CurrentPoint();
  if (cause.start == current) {
    FailAt(cause, std::move(console), stream, check, std::move(text));
  }
  if (text.empty()) text = OneLine(console);
  ++errors_;
  Message message;
  message.diagnostic = Finding(Severity::kError, check, std::move(text), Locate(cause));
  message.diagnostic.stoppedAt = Locate(current);
  message.diagnostic.stoppedToken = std::move(found);
  message.console = std::move(console);
  message.stream = stream;
  Emit(std::move(message));
  Exit(1);
}

void Diagnostics::WriteFailed(const std::string& path) {
  Fail("Fail to write " + path + ".\n", Stream::kStandardError, "write-failed",
       "cannot write " + path);
}

}  // namespace qelc
