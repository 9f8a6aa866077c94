#include "source/diagnostics.h"

#include "source/condition.h"
#include "source/line_map.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

// The words of a message that brings none of its own: the console text without
// its line end.
std::string OneLine(std::string_view console) {
  if (console.ends_with('\n')) console.remove_suffix(1);
  return std::string(console);
}

}  // namespace

const WarningCheck kKeywordPrefixCheck{
    "keyword-prefix", true,
    "a word read as the keyword it starts with (#includes as #include, Inputs as Input)"};

const WarningCheck kNumberConversionCheck{"number-conversion", true,
                                          "a number field whose text is not stored as written"};

std::span<const WarningCheck* const> SourceWarningChecks() {
  static constexpr const WarningCheck* kChecks[] = {&kKeywordPrefixCheck, &kNumberConversionCheck,
                                                    &kConditionMissingOperand,
                                                    &kConditionMissingTest, &kStringSpansLines};
  return kChecks;
}

void Diagnostics::CollectFindings(WarningSet enabled) {
  linting_ = true;
  enabled_ = std::move(enabled);
}

Location Diagnostics::Locate(TextPoint point) const {
  if (!map_) return {{}, point.line, point.column};
  SourcePoint at = map_->Find(point);
  const std::vector<std::string>& files = map_->Files();
  return {files.empty() ? std::string() : files[size_t(at.file)], at.line, at.column};
}

void Diagnostics::Print(Severity severity, std::string_view check, std::string console,
                        Stream stream) {
  Message message{severity,
                  std::string(check),
                  OneLine(console),
                  Locate(CurrentPoint()),
                  std::move(console),
                  stream,
                  {}};
  sink_.Emit(std::move(message));
}

void Diagnostics::Warn(const WarningCheck& check, std::string text) {
  WarnAt(CurrentPoint(), check, std::move(text));
}

void Diagnostics::WarnAt(TextPoint at, const WarningCheck& check, std::string text) {
  if (Enabled(check)) WarnAt(Locate(at), check, std::move(text));
}

void Diagnostics::WarnAt(Location at, const WarningCheck& check, std::string text) {
  if (!Enabled(check)) return;
  sink_.Emit({Severity::kWarning,
              std::string(check.name),
              std::move(text),
              std::move(at),
              {},
              Stream::kStandardError,
              {}});
}

void Diagnostics::Error(std::string console, Stream stream, std::string_view check,
                        std::string text, Location at) {
  if (text.empty()) text = OneLine(console);
  ++errors_;
  sink_.Emit({Severity::kError,
              std::string(check),
              std::move(text),
              std::move(at),
              std::move(console),
              stream,
              {}});
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

void Diagnostics::FailAt(TextPoint at, std::string console, Stream stream, std::string_view check,
                         std::string text) {
  Fail(std::move(console), stream, check, std::move(text), Locate(at));
}

void Diagnostics::FailAtCause(TextPoint cause, std::string console, Stream stream,
                              std::string_view check, std::string text, std::string found) {
  TextPoint current = CurrentPoint();
  if (cause.line == current.line && cause.column == current.column) {
    FailAt(cause, std::move(console), stream, check, std::move(text));
  }
  if (text.empty()) text = OneLine(console);
  ++errors_;
  sink_.Emit({Severity::kError, std::string(check), std::move(text), Locate(cause),
              std::move(console), stream, FoundToken{Locate(current), std::move(found)}});
  Exit(1);
}

void Diagnostics::WriteFailed(const std::string& path) {
  Fail("Fail to write " + path + ".\n", Stream::kStandardError, "write-failed",
       "cannot write " + path);
}

}  // namespace qelc
