#include "sections/section_rules.h"

#include <string>

#include "sections/checks.h"
#include "sections/registry.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/recovery.h"
#include "tables/parse_state.h"

namespace qelc {

const WarningCheck kEmptyTextEndsList{
    "empty-text-ends-list", true,
    "a text stored empty where an empty text ends the list, so the entries from there on are "
    "lost"};

void WarnIfEndsList(ParseState& s, TextPoint at, std::string_view stored, std::string_view what) {
  if (!Linting(s) || !stored.empty()) return;
  WarnAt(s, at, kEmptyTextEndsList,
         std::string(what) +
             " is empty, and an empty text ends the list: this entry and every one after it "
             "are lost for readers");
}

bool MayOpenEntry(const ParseState& s) {
  std::string_view text = TokenText(s);
  if (text.empty() || IsDelimiterToken(s)) return false;
  for (std::string_view keyword : kClauseWords) {
    if (TokenIs(s, keyword)) return false;
  }
  return FindSection(text) == nullptr;
}

void NoteMissingComma(ParseState& s) {
  if (!MayOpenEntry(s)) return;
  NoteCause(s, s.tokens.PreviousEnd(),
            "missing ',' after this entry: the entries of the list are "
            "separated by commas",
            CauseReach::kToken, ",");
}

void NoteMissingClause(ParseState& s, AlwaysClause always) {
  // A '{' opens a memory map, the entry of its section that is in braces.
  if (!MayOpenEntry(s) && !TokenIs(s, "{")) return;
  NoteCause(s, CurrentToken(s).start,
            std::string(always == AlwaysClause::kRefused ? "'When CONDITION :'"
                                                         : "'Always :' or 'When CONDITION :'") +
                " must open the entries of this section, found " + QuotedToken(s));
}

bool MissingCommaBeforeRow(ParseState& s) {
  // Only a missing ',' is said here; a value's missing quotes are said where
  // the row then fails.
  if (!s.diagnostics.Recovers() || !OpensLine(s) || !CauseNotedHere(s) ||
      !s.cause.unquoted.empty() || RunOnStringReachesFound(s)) {
    return false;
  }
  try {
    ParseErrorAt(s, s.cause.at, {}, "syntax", s.cause.text + "; found " + QuotedToken(s));
  } catch (const FatalExit&) {
    // Enough errors: the reading of the file ends here.
    if (s.diagnostics.Unwinding() != Unwind::kEntry) throw;
  }
  return true;
}

}  // namespace qelc
