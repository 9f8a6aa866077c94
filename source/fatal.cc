#include "source/fatal.h"

#include "source/expect.h"
#include "source/format.h"

namespace qelc {

namespace {

// The error is said at the start of such a string, whatever the symptom was.
void ExplainRunOnString(const Parser& p, TextPoint& cause, std::string& explanation) {
  if (!RunOnStringReachesFound(p)) return;
  const TokenStream::QuotedRun& run = p.tokens.LastRunOnString();
  Location start = p.diagnostics.Locate(run.start);
  Location end = p.diagnostics.Locate(TextPoint{run.endLine, 1});
  std::string symptom = explanation.empty() ? "found " + QuotedToken(p) : explanation;
  explanation = Format(
      "the string that starts at %d:%d runs on to line %d; is a closing quote "
      "missing? (%s)",
      start.line, start.column, end.line, symptom.c_str());
  cause = run.start;
}

}  // namespace

bool RunOnStringReachesFound(const Parser& p) {
  const TokenStream::QuotedRun& run = p.tokens.LastRunOnString();
  const Token& found = CurrentToken(p);
  bool isFound = run.start.line == found.start.line && run.start.column == found.start.column;
  return run.start.line != 0 && (run.endLine == found.start.line || isFound);
}

void ParseError(Parser& p, std::string message, std::string_view check, std::string explanation) {
  ParseErrorAt(p, CurrentToken(p).start, std::move(message), check, std::move(explanation));
}

void ParseErrorAt(Parser& p, TextPoint cause, std::string message, std::string_view check,
                  std::string explanation) {
  if (!Linting(p)) {
    p.diagnostics.Fail(std::move(message), Stream::kStandardOutput, check);
  }
  ExplainRunOnString(p, cause, explanation);
  // A cause noted with its fix (a missing comma) is fixed by inserting it.
  if (!p.cause.insert.empty() && p.cause.at == cause) {
    p.diagnostics.ProposeInsertion(cause, p.cause.insert);
  }
  p.diagnostics.FailAtCause(cause, std::move(message), Stream::kStandardOutput, check,
                            std::move(explanation), QuotedToken(p));
}

void Overflow(Parser& p, std::string message) {
  TextPoint at = p.entryStart.line > 0 ? p.entryStart : CurrentToken(p).start;
  // The table stays full: the linter reads on after the section.
  p.diagnostics.GiveUp(Unwind::kSection);
  p.diagnostics.FailAt(at, std::move(message), Stream::kStandardError, "capacity");
}

}  // namespace qelc
