#include "source/recovery.h"

namespace qelc {

bool OpensLine(const Parser& p) {
  return CurrentToken(p).start.line != p.tokens.PreviousTokenLine();
}

namespace recovery {

namespace {

bool SamePoint(TextPoint a, TextPoint b) { return a.line == b.line && a.column == b.column; }

bool NotBefore(TextPoint a, TextPoint b) {
  return a.line > b.line || (a.line == b.line && a.column >= b.column);
}

// Consumes the current token. A token too long behind it is an error of its
// own, reported where it stands; the skipping goes on past it.
void Skip(Parser& p) {
  try {
    NextToken(p);
  } catch (const FatalExit&) {
  }
}

// The current token is the end of the input, or opens the next top-level
// block: the section or block of the failed entry ends here, unfinished, and
// the reading goes on here at the top level.
bool EndsBlock(Parser& p) {
  if (!TokenText(p).empty() && !OpensBlock(p)) return false;
  p.diagnostics.GiveUp(Unwind::kSection);
  return true;
}

// Consumes the separator or brace that ends the failed entry; true when the
// list goes on behind it.
bool SkipLast(Parser& p) {
  Skip(p);
  return !EndsBlock(p);
}

}  // namespace

bool OpensBlock(const Parser& p) { return p.opensBlock && OpensLine(p) && p.opensBlock(p); }

bool SkipToResumePoint(Parser& p, EntryMark mark, Rule rule, const void* ruleData,
                       bool endsWithItsBrace) {
  Diagnostics& diagnostics = p.diagnostics;
  if (diagnostics.Unwinding() != Unwind::kEntry) return false;
  // An entry that began with the next block's keyword shows that the list ran
  // past the end of its section; one that began with a word that ends its list
  // (a 'When'), past the end of the list.
  if (mark.opensBlock) {
    diagnostics.GiveUp(Unwind::kSection);
    return false;
  }
  if (mark.endsList) return false;
  for (;;) {
    if (EndsBlock(p)) return false;
    const Token& token = CurrentToken(p);
    int32_t level = p.braceDepth - mark.braceDepth;
    // The entry read the '}' that closes its list: the enclosing entry resumes,
    // knowing that its own '}' is gone.
    if (level < 0) {
      p.listEndTaken = token.start;
      return false;
    }
    if (level > 0 && OpensLine(p) && rule(ruleData, p) == ResumeAt::kEndsList) {
      p.braceDepth = mark.braceDepth;
      return false;
    }
    if (level == 0) {
      bool closesList = token.text == "}";
      bool moved = !SamePoint(token.start, mark.start);
      // An entry that ends with its own '}' but met a '}' at its own level
      // lacks its '{' (unless an inner entry read its '}'): the '}' is its own
      // when it stands on the entry's last line or under the entry's first
      // word; one further out closes the list.
      bool ownBraceTaken = NotBefore(p.listEndTaken, mark.start);
      if (closesList && endsWithItsBrace && moved && !ownBraceTaken &&
          (!OpensLine(p) || token.start.column == mark.start.column)) {
        return SkipLast(p);
      }
      ResumeAt at = closesList ? ResumeAt::kBefore : rule(ruleData, p);
      if (at == ResumeAt::kEndsList) return false;
      // The entry must have taken a token at least, or the list would read it
      // again. One that took none leaves a '}' to the enclosing entry and skips
      // any other token.
      if (at == ResumeAt::kBefore && moved) return true;
      if (closesList) return false;
      if (at == ResumeAt::kAfter) return SkipLast(p);
    }
    bool closesItsBrace = level == 1 && token.text == "}";
    if (closesItsBrace && endsWithItsBrace) return SkipLast(p);
    Skip(p);
  }
}

}  // namespace recovery

}  // namespace qelc
