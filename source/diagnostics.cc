#include "source/diagnostics.h"

#include "source/token_stream.h"

namespace qelc {

namespace {

DiagnosticSink* sink = nullptr;

// Filled while the program starts, by the checks' declarations.
std::vector<WarningCheck>& Warnings() {
  static std::vector<WarningCheck> warnings;
  return warnings;
}

void ReportAtToken(Severity severity, std::string_view check, std::string message) {
  sink->Report({severity, std::string(check), std::move(message), CurrentToken().start, {}});
}

}  // namespace

std::string_view DeclareWarning(std::string_view name, bool onByDefault, std::string_view summary) {
  Warnings().push_back({name, onByDefault, summary});
  return name;
}

const std::vector<WarningCheck>& DeclaredWarnings() { return Warnings(); }

const std::string_view kKeywordPrefixCheck =
    DeclareWarning("keyword-prefix", true,
                   "a word read as the keyword it starts with (#includes as #include, Inputs as "
                   "Input)");

const std::string_view kNumberConversionCheck = DeclareWarning(
    "number-conversion", true, "a number field whose text is not stored as written");

void SetDiagnosticSink(DiagnosticSink* newSink) { sink = newSink; }
DiagnosticSink* CurrentDiagnosticSink() { return sink; }

void Warn(std::string_view check, std::string message) {
  if (sink) ReportAtToken(Severity::kWarning, check, std::move(message));
}

void WarnAt(TextPoint point, std::string_view check, std::string message) {
  if (sink) sink->Report({Severity::kWarning, std::string(check), std::move(message), point, {}});
}

bool ReportError(std::string_view check, std::string message) {
  if (!sink) return false;
  ReportAtToken(Severity::kError, check, std::move(message));
  return true;
}

}  // namespace qelc
