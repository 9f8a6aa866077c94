#pragma once

#include <string>
#include <string_view>

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/facts_recorder.h"
#include "source/token_stream.h"

namespace qelc {

// How far from the token it was noted at a likely cause reaches.
enum class CauseReach {
  kToken,         // that token alone
  kRestOfLine,    // it or a later token of its line
  kIntoNextLine,  // the same, or the first token after its line
  kOnward,        // it or any later token, until the rule that noted it drops it
};

// The likely cause of an error that the linter may meet at a coming token,
// noted while it runs by a rule that stops there: an expectation that fails at
// the token `from` (or as far as `reach` says) is said in these words at `at`,
// with the token found.
// `insert` is the text whose insertion at `at` fixes it, where one does.
// `unquoted` is a value that was read as one word although more words follow it
// on its line (its first two, a blank between), named in place of a text.
struct NotedCause {
  TextPoint from{0, 0};
  CauseReach reach = CauseReach::kToken;
  TextPoint at;
  std::string text;
  std::string insert;
  std::string unquoted;
};

// What every grammar rule of one compilation reads and advances: the token
// stream, the text of the last condition read, and where messages go. Each
// rule takes it (or a state built on it) as its first argument; nothing of a
// compilation is kept anywhere else.
struct Parser {
  explicit Parser(Diagnostics& diagnostics) : diagnostics(diagnostics), tokens(diagnostics) {
    diagnostics.ReadingAt(&tokens.Current().start);
  }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  Diagnostics& diagnostics;
  TokenStream tokens;
  // The text of the last condition read: each accepted token behind a backslash.
  std::string condition;
  // Where the entry being read began (line 0: outside every entry): a table
  // that overflows is reported there, else at the current token.
  TextPoint entryStart{0, 0};
  // Noted while linting only.
  NotedCause cause;
  // Kept only while linting, for the recovery after an error (source/recovery.h):
  // the '{' less the '}' among the tokens read so far; where the recovery last
  // found that an entry had read the '}' of the list around it; and whether the
  // current token, when it opens its line, starts a top-level block (a DAF
  // section, a soft-IP module), where no entry of the block before it can resume.
  int32_t braceDepth = 0;
  TextPoint listEndTaken{0, 0};
  bool (*opensBlock)(const Parser&) = nullptr;
  // While linting, where the rules note the facts of the source they read
  // (source/facts_recorder.h); null otherwise.
  FactRecorder* facts = nullptr;
};

// Marks the current token as the start of an entry while the entry is read, and
// the outer entry's start again afterwards.
class EntryScope {
 public:
  explicit EntryScope(Parser& p) : p_(p), outer_(p.entryStart) {
    p.entryStart = p.tokens.Current().start;
  }
  ~EntryScope() { p_.entryStart = outer_; }
  EntryScope(const EntryScope&) = delete;
  EntryScope& operator=(const EntryScope&) = delete;

 private:
  Parser& p_;
  TextPoint outer_;
};

inline const Token& CurrentToken(const Parser& p) { return p.tokens.Current(); }
// Valid until the next token is read.
inline std::string_view TokenText(const Parser& p) { return p.tokens.Current().text; }
inline TokenKind CurrentTokenKind(const Parser& p) { return p.tokens.Current().kind; }
inline int32_t LineCounter(const Parser& p) { return p.tokens.LineCounter(); }

// True while findings are collected: see Diagnostics::Linting.
inline bool Linting(const Parser& p) { return p.diagnostics.Linting(); }

inline void NextToken(Parser& p) {
  if (p.diagnostics.Recovers()) {
    std::string_view text = TokenText(p);
    if (text == "{") ++p.braceDepth;
    if (text == "}") --p.braceDepth;
  }
  if (p.facts) p.facts->Consumed(p.tokens.Current());
  p.tokens.Next();
}

// True when the current token's text equals `word`, letter case aside.
inline bool TokenIs(const Parser& p, std::string_view word) {
  return EqualsNoCase(TokenText(p), word);
}

// The current token's stretch of the preprocessed text (its end is kept only
// while linting).
inline TokenSpan CurrentSpan(const Parser& p) { return {p.tokens.Current().start, p.tokens.End()}; }

// A warning at the current token, or at `at`; nothing while the check is off.
inline void Warn(Parser& p, const WarningCheck& check, std::string text) {
  p.diagnostics.Warn(check, std::move(text));
}
inline void WarnAt(Parser& p, TextPoint at, const WarningCheck& check, std::string text) {
  p.diagnostics.WarnAt(at, check, std::move(text));
}

}  // namespace qelc
