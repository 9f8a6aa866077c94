#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qelc {

// A place in the preprocessed text, counted from 1: the start of a token.
struct TextPoint {
  int32_t line = 1;
  int32_t column = 1;
};

enum class Severity { kWarning, kError };

// One finding of the linter. `check` names the rule, in the words of -Wno-NAME.
// `file` is empty when `point` is a place in the preprocessed text; the
// preprocessor, which knows the user's file and line itself, fills both.
struct Diagnostic {
  Severity severity = Severity::kError;
  std::string check;
  std::string message;
  TextPoint point;
  std::string file;
};

// Where the linter collects its findings. While none is installed the library
// behaves as the compiler: errors print their fixed console text and end the
// run, warnings do nothing.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  virtual void Report(Diagnostic diagnostic) = 0;
};

// A warning check: its name (as -Wno-NAME gives it), whether it is on unless
// turned off, and one line on what it finds.
struct WarningCheck {
  std::string_view name;
  bool onByDefault;
  std::string_view summary;
};

// Declares a warning check beside the parser that reports it and returns its
// name; the linter learns every check from here, to list and toggle them.
std::string_view DeclareWarning(std::string_view name, bool onByDefault, std::string_view summary);
const std::vector<WarningCheck>& DeclaredWarnings();

// A check that both the preprocessor and the soft-IP parser report: a word read
// as the keyword it starts with (#includes as #include, Inputs as Input).
extern const std::string_view kKeywordPrefixCheck;

// A check of the DAF and the soft-IP parsers: a number field whose text is not
// what is stored (a pin word A1 stored as 0, a module number kept in 8 bits).
extern const std::string_view kNumberConversionCheck;

// Installs `sink` (null returns to the compiler's behaviour).
void SetDiagnosticSink(DiagnosticSink* sink);
DiagnosticSink* CurrentDiagnosticSink();

// True while the linter runs. Callers test it before building a warning's text,
// so that the compiler pays one comparison per check.
inline bool Linting() { return CurrentDiagnosticSink() != nullptr; }

// A warning at the current token; nothing while the compiler runs.
void Warn(std::string_view check, std::string message);

// A warning at `point` of the preprocessed text; nothing while the compiler runs.
void WarnAt(TextPoint point, std::string_view check, std::string message);

// While the linter runs, reports an error under `check` at the current token
// and returns true; the compiler gets false and prints its own text. The run
// ends either way (ParseError and Overflow in source/fatal.h).
bool ReportError(std::string_view check, std::string message);

}  // namespace qelc
