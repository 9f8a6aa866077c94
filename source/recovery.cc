#include "source/recovery.h"

namespace qelc {

bool OpensLine(const Parser& p) {
  return CurrentToken(p).start.line != p.tokens.PreviousTokenLine();
}

namespace recovery {

namespace {

bool SamePoint(TextPoint a, TextPoint b) { return a.line == b.line && a.column == b.column; }

// Consumes the current token. A token too long behind it is an error of its
// own, reported where it stands; the skipping goes on past it.
void Skip(Parser& p) {
  try {
    NextToken(p);
  } catch (const FatalExit&) {
  }
}

}  // namespace

bool SkipToResumePoint(Parser& p, EntryMark mark, Rule rule, const void* ruleData,
                       bool endsWithItsBrace) {
  Diagnostics& diagnostics = p.diagnostics;
  if (diagnostics.Unwinding() != Unwind::kEntry) return false;
  for (;;) {
    const Token& token = CurrentToken(p);
    if (token.text.empty() || (p.opensBlock && OpensLine(p) && p.opensBlock(p))) {
      // The section or block ends here unfinished; the reading goes on here.
      diagnostics.GiveUp(Unwind::kSection);
      return false;
    }
    int32_t level = p.braceDepth - mark.braceDepth;
    // The entry read the '}' that closes its list: the enclosing entry resumes.
    if (level < 0) return false;
    if (level == 0) {
      bool closesList = token.text == "}";
      ResumeAt at = closesList ? ResumeAt::kBefore : rule(ruleData, p);
      // The entry must have taken a token at least, or the list would read it
      // again. One that took none leaves a '}' to the enclosing entry and skips
      // any other token.
      if (at == ResumeAt::kBefore && !SamePoint(token.start, mark.start)) return true;
      if (closesList) return false;
      if (at == ResumeAt::kAfter) {
        Skip(p);
        return true;
      }
    }
    bool closesItsBrace = level == 1 && token.text == "}";
    Skip(p);
    if (closesItsBrace && endsWithItsBrace) return true;
  }
}

}  // namespace recovery

}  // namespace qelc
