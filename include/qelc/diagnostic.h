#pragma once

// What the compiler and the linter say about a source, as values: where in the
// user's files (a range and the #include lines that reach it), how grave, and
// in which words.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qelc {

// One #include line through which a file was reached: the file that holds the
// line, and where the included file's name stands on it (from `column` to just
// before `endColumn`).
struct IncludeSite {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
  int32_t endColumn = 1;
};

// A stretch of one of the user's files, lines and byte columns counted from 1:
// from its first character to just after its last (empty where both are
// equal). `file` is empty for a place in the preprocessed text (a compilation
// that keeps no line map).
struct SourceRange {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
  int32_t endLine = 1;
  int32_t endColumn = 1;
};

// A range with the chain of #include lines by which the compilation reached
// its file, the innermost first; the chain is empty in the source itself.
struct Location : SourceRange {
  std::vector<IncludeSite> includedFrom;
};

// A replacement of the text at `at` by `text`: one step of a fix.
struct Edit {
  Location at;
  std::string text;
};

enum class Severity { kError, kWarning, kNote };

// One finding of the compiler or the linter. `check` names its rule (a
// warning's name in -Wno-NAME, an error's own name); `message` says it in
// words on one line. An error said at its likely cause (a missing comma, a
// string whose closing quote is missing) stands there, and `stoppedAt` is the
// token at which the reading stopped, `stoppedToken` its text as the message
// quotes it ('SOIC20', or "the end of the input"). `fixes` holds the edits of
// a fix that is one obvious change (the word a "did you mean" names); empty
// where there is none. `alsoReachedFrom` serves a linter of several sources
// at once, which says a finding in a file that several of them include once:
// the #include line of each other source through which it was reached too.
struct Diagnostic {
  Severity severity = Severity::kError;
  std::string check;
  std::string message;
  Location location;
  std::optional<Location> stoppedAt;
  std::string stoppedToken;
  std::vector<Edit> fixes;
  std::vector<IncludeSite> alsoReachedFrom;
};

}  // namespace qelc
