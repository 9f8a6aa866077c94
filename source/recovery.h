#pragma once

// The linter's recovery inside a list: after an error in one entry, the reading
// goes on at the next entry of the same list, so that one run reports the later
// mistakes of a section too. The compiler stops at the first error; for it an
// entry is read as it stands.

#include <string_view>

#include "source/parser.h"
#include "source/token_stream.h"

namespace qelc {

// What a list's grammar says of a token at the level of a failed entry (outside
// the braces the entry opened) while the linter looks for the next entry.
enum class ResumeAt {
  kNo,      // still part of the failed entry: skipped
  kBefore,  // the next entry, the next clause or what follows the list starts here
  kAfter,   // the separator that ends the failed entry: the next entry follows it
  // At the start of a line, at any level: the failed entry's list ends here, and
  // with it every brace the entry left open (its '}' is missing); the enclosing
  // entry resumes here.
  kEndsList,
};

// The current token is the first of its line.
bool OpensLine(const Parser& p);

namespace recovery {

// Where a failed entry began.
struct EntryMark {
  TextPoint start;
  int32_t braceDepth;
  bool opensBlock;  // at a word that opens the next top-level block
  bool endsList;    // at a word that ends the list (kEndsList)
};

// The current token opens its line and the next top-level block.
bool OpensBlock(const Parser& p);

using Rule = ResumeAt (*)(const void* rule, const Parser& p);

// After an error inside the entry `mark` while linting: skips to where its list
// resumes and returns true; false when the entry's list cannot resume there and
// the error goes on to the enclosing entry (or, for a full table, the section).
bool SkipToResumePoint(Parser& p, EntryMark mark, Rule rule, const void* ruleData,
                       bool endsWithItsBrace);

}  // namespace recovery

// Runs `read`, which reads one entry of a list. While linting, an error inside
// it is reported and then the tokens up to the next entry are skipped: up to a
// token for which `resume(p)` says kBefore, or after one for which it says
// kAfter, at the entry's own brace level (the braces it opened are passed over
// whole); a '}' there ends the list. With `endsWithItsBrace` the entry ends with
// the '}' that closes its first '{', or, when it lacks the '{', with a '}' on
// its last line or under its first word. Returns whether the entry was read
// without an error; the compiler's run ends at one, as ever.
template <typename Resume, typename Read>
bool Recovering(Parser& p, Resume resume, Read&& read, bool endsWithItsBrace = false) {
  if (!p.diagnostics.Recovers()) {
    read();
    return true;
  }
  FactScope entry(p.facts, p.tokens);
  recovery::EntryMark mark{CurrentToken(p).start, p.braceDepth, recovery::OpensBlock(p),
                           OpensLine(p) && resume(p) == ResumeAt::kEndsList};
  try {
    read();
    return true;
  } catch (const FatalExit&) {
    recovery::Rule rule = [](const void* data, const Parser& q) {
      return (*static_cast<const Resume*>(data))(q);
    };
    if (!recovery::SkipToResumePoint(p, mark, rule, &resume, endsWithItsBrace)) throw;
  }
  return false;
}

// The same for an entry that a table overflow is reported at (EntryScope).
template <typename Resume, typename Read>
bool ReadEntry(Parser& p, Resume resume, Read&& read, bool endsWithItsBrace = false) {
  EntryScope entry(p);
  return Recovering(p, resume, read, endsWithItsBrace);
}

// Rules that many lists share.

// An entry that ends only with its '}' (or with the list).
inline ResumeAt NoOtherEnd(const Parser&) { return ResumeAt::kNo; }

// A clause of a conditional section: the next one starts at 'When'.
inline ResumeAt AtWhen(const Parser& p) {
  return TokenIs(p, "When") ? ResumeAt::kBefore : ResumeAt::kNo;
}

// An entry inside braces within a clause (a map, its entries, a group's
// members): a 'When' that opens a line ends the clause and so the braces.
inline ResumeAt WhenEndsList(const Parser& p) {
  return TokenIs(p, "When") && OpensLine(p) ? ResumeAt::kEndsList : ResumeAt::kNo;
}

// An item of a comma-separated list inside a clause.
inline ResumeAt AtCommaOrWhen(const Parser& p) {
  return TokenIs(p, ",") ? ResumeAt::kBefore : AtWhen(p);
}

// An entry that ends with `separator`, in a list of clauses.
template <char Separator>
ResumeAt AfterSeparator(const Parser& p) {
  std::string_view text = TokenText(p);
  if (text.size() == 1 && text[0] == Separator) return ResumeAt::kAfter;
  return AtWhen(p);
}

// An entry of a list without separators, one entry a line: the next starts at
// a word (not a quoted text, not a delimiter such as ':') that opens a line.
inline ResumeAt AtWordOpeningLine(const Parser& p) {
  const Token& token = CurrentToken(p);
  bool word = token.kind != kStringToken && !IsDelimiterToken(token);
  return word && OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo;
}

}  // namespace qelc
