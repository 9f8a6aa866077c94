#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qelc {

// What a message is: a line of the compiler's progress or summary, or a finding.
enum class Severity { kProgress, kSummary, kWarning, kError };

// The stream the qelc program prints a message's console text on.
enum class Stream { kStandardOutput, kStandardError };

// A place in the user's files, counted from 1. `file` is empty while the place
// is one in the preprocessed text (a compilation without a line map).
struct Location {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
};

// The token a compiler stopped at: where it stands, and its text as a message
// quotes it ('SOIC20', or "the end of the input").
struct FoundToken {
  Location location;
  std::string text;
};

// Everything a compilation says goes out as one of these. `check` names the
// rule (a warning's name in -Wno-NAME, an error's own name, "progress" or
// "summary"); `text` says it in words on one line, as a linter or an editor
// shows it; `console` is exactly what the qelc program prints for it (nothing
// for a warning), on `stream`. An error said at its likely cause (a missing
// comma, a string without its closing quote) stands there, and `found` is the
// token at which the compiler stopped; otherwise `found` is empty.
struct Message {
  Severity severity = Severity::kError;
  std::string check;
  std::string text;
  Location location;
  std::string console;
  Stream stream = Stream::kStandardOutput;
  std::optional<FoundToken> found;
};

// Where a compilation's messages go, in the order they are said: the qelc
// program prints their console text, a linter or an editor collects them.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Emit(Message message) = 0;
};

}  // namespace qelc
