#include "sections/statements.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "formats/catalogue.h"
#include "source/ascii.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

// The statements of a prolog or epilog block after its always-statement, each
// opened by its keyword.
std::span<const StatementKind> KeyedKinds() {
  return StatementKindsOf(StatementFamily::kPrologEpilog).subspan(1);
}

// The kind name of the statement that `keyword` opens in a list of `family`,
// or "" when the family has no such statement, which AddStatement refuses.
const char* KindNameOf(StatementFamily family, std::string_view keyword) {
  for (const StatementKind& kind : StatementKindsOf(family)) {
    if (kind.typeName == keyword) return kind.kindName;
  }
  return "";
}

constexpr int kStatementTextLimit = text_limit::kStatement;

const StatementKind* FindKind(std::string_view kindName) {
  for (const StatementKind& kind : kStatementKinds) {
    if (EqualsNoCase(kind.kindName, kindName)) return &kind;
  }
  return nullptr;
}

// Adds "ZZZ" to the pool, then returns the pooled type name of `kindName`
// (pDecl gives Decl, oEquationReq gives Equation_Req), or the reference of
// "ZZZ" for a name that is not a statement kind.
StringRef StatementKindName(ParseState& s, std::string_view kindName) {
  // "ZZZ" enters the pool before the type name: this order fixes the pool bytes.
  StringRef endKind = s.pool.Add(kStatementEndKind);
  const StatementKind* kind = FindKind(kindName);
  return kind ? s.pool.Add(kind->typeName) : endKind;
}

// Appends `word` and the separator byte 1. A text that would grow beyond its
// limit is refused.
void JoinWord(ParseState& s, std::string& text, std::string_view word) {
  text += word;
  text += kStatementWordEnd;
  CheckTextLength(s, text, kStatementTextLimit);
}

// Joins the current token, its quotes removed, and consumes it. The word is
// measured as written, quotes included.
void JoinToken(ParseState& s, std::string& text) {
  CheckTextLength(s, TokenText(s), kStoredTextLimit);
  JoinWord(s, text, Unquote(TokenText(s)));
  SkipToken(s);
}

bool EndsAlwaysStatement(ParseState& s) {
  if (TokenText(s).empty() || TokenIs(s, kWhenWord) || TokenIs(s, "}")) return true;
  std::span<const StatementKind> keyed = KeyedKinds();
  return std::any_of(keyed.begin(), keyed.end(),
                     [&](const StatementKind& kind) { return TokenIs(s, kind.typeName); });
}

// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
// A group's list takes no PTerm or PropertyTab statement: it reads them and
// AddStatement refuses them.
void ReadKeyedStatements(ParseState& s, StatementList& list, int32_t& counter,
                         StatementFamily family) {
  for (const StatementKind& keyed : KeyedKinds()) {
    if (TokenIs(s, keyed.typeName))
      ReadStatement(s, list, KindNameOf(family, keyed.typeName), counter);
  }
}

// A statement ends at the next statement, clause, or word that opens a line (a
// group's name, in a Group section).
ResumeAt AtNextStatement(const Parser& p) {
  if (TokenIs(p, kWhenWord) || OpensStatement(p)) return ResumeAt::kBefore;
  return AtWordOpeningLine(p);
}

void DumpStatementsOfType(ParseState& s, const StatementList& list, const char* typeName,
                          int headingIndent) {
  s.dump.Print("%*s%s:\n", headingIndent, "", typeName);
  for (const StatementSlot& slot : StoredStatements(s.pool, list)) {
    if (s.pool.Compare(slot.kind, typeName) == 0) {
      s.dump.Print("%*s<%s>\n", headingIndent + 3, "", s.pool.String(slot.text));
    }
  }
}

}  // namespace

bool OpensStatement(const Parser& p) {
  return std::any_of(std::begin(kStatementKinds), std::end(kStatementKinds),
                     [&](const StatementKind& kind) { return TokenIs(p, kind.typeName); });
}

void AddStatement(ParseState& s, StatementList& list, int32_t slot, std::string_view kindName,
                  std::string_view text) {
  std::string overflow =
      Format("Exceed number of statements. (%.*s)\n", int(kindName.size()), kindName.data());
  // The slot is checked before the kind name.
  if (slot >= kStatementSlots) Overflow(s, overflow.c_str());
  if (!FindKind(kindName)) {
    // Only a group's list names no kind for a keyword: it takes no PTerm and
    // no PropertyTab statement.
    s.diagnostics.FailAt(
        s.entryStart, Format("ERROR: AddStatement (%.*s)\n", int(kindName.size()), kindName.data()),
        Stream::kStandardOutput, "statement-kind",
        "a group takes Decl and Equation statements only, no PTerm or PropertyTab");
  }
  AddEntry(
      s, list.slots, slot, kStatementSlots, overflow.c_str(),
      [&](StatementSlot& stored) {
        stored.kind = StatementKindName(s, kindName);
        s.pool.AddTo(stored.text, text);
      },
      [&](StatementSlot& end) {
        end.kind = StatementKindName(s, kStatementEndKind);
        s.pool.AddTo(end.text, "");
      });
}

void ReadStatement(ParseState& s, StatementList& list, std::string_view kindName,
                   int32_t& counter) {
  ReadEntry(s, AtNextStatement, [&] {
    std::string text;
    SkipToken(s);  // the statement keyword, which the caller has recognised
    if (SkipIf(s, ",")) {
      ExpectText(s, "rev");
      JoinWord(s, text, kReverseMark);
    }
    ExpectText(s, ":");
    while (CurrentTokenKind(s) == kStringToken) JoinToken(s, text);
    AddStatement(s, list, counter, kindName, text);
    ++counter;
  });
}

void ReadGroupStatements(ParseState& s, StatementList& list) {
  int32_t counter = 0;
  ReadKeyedStatements(s, list, counter, StatementFamily::kGroup);
}

void ReadStatementBlock(ParseState& s, StatementList& list) {
  std::string text;
  while (!EndsAlwaysStatement(s)) JoinToken(s, text);
  AddStatement(s, list, 0, "pAlways", text);
  int32_t counter = 1;
  ReadKeyedStatements(s, list, counter, StatementFamily::kPrologEpilog);
}

void ReadOutputStatements(ParseState& s, StatementList& list) {
  int32_t counter = 0;
  for (const StatementKind& kind : StatementKindsOf(StatementFamily::kOutputSyntax)) {
    if (TokenIs(s, kind.typeName)) ReadStatement(s, list, kind.kindName, counter);
  }
}

std::span<const StatementSlot> StoredStatements(const StringPool& pool, const StatementList& list) {
  size_t count = 0;
  while (count < std::size(list.slots) &&
         pool.Compare(list.slots[count].kind, kStatementEndKind) != 0) {
    ++count;
  }
  return std::span<const StatementSlot>(list.slots, count);
}

void DumpStatementsByKind(ParseState& s, const StatementList& list, StatementFamily family,
                          int headingIndent) {
  // Always heads the lists of groups and output syntaxes too, although they hold
  // no such statement: part of the dump format.
  DumpStatementsOfType(s, list, kAlwaysStatementType, headingIndent);
  for (const StatementKind& kind : StatementKindsOf(family)) {
    if (std::string_view(kind.typeName) != kAlwaysStatementType) {
      DumpStatementsOfType(s, list, kind.typeName, headingIndent);
    }
  }
}

}  // namespace qelc
