#include "sections/statements.h"

#include <string>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr char kEndKind[] = "ZZZ";
// The word that opens the text of a statement marked `rev`.
constexpr char kReverseMark[] = "-!-!-!";
constexpr char kSeparator = '\x01';

struct StatementKind {
  const char* kindName;
  const char* typeName;
};

// Searched in this order; the type name is what the file stores as the kind.
constexpr StatementKind kStatementKinds[] = {
    {"oDefaultSigName", "DefaultSigName"},
    {"oDeclWOPinNum", "DeclWOPinNum"},
    {"oDeclWithPinNum", "DeclWithPinNum"},
    {"oEquation", "Equation"},
    {"oAction", "Action"},
    {"gDECL", "Decl"},
    {"gEquation", "Equation"},
    {"pAlways", "Always"},
    {"pPTerm", "PTerm"},
    {"pDecl", "Decl"},
    {"pEquation", "Equation"},
    {"pPropertyTab", "PropertyTab"},
    {"oDeclWOMainFlash", "DeclWOMainFlash"},
    {"oDeclWMainFlash", "DeclWMainFlash"},
    {"oEquationReq", "Equation_Req"},
};

// Longest statement text once its words are joined.
constexpr int kStatementTextLimit = 31999;

// The kind names that the statement keywords PTerm, Decl, Equation and
// PropertyTab stand for where they are read.
struct KeyedKinds {
  const char* pTerm;
  const char* decl;
  const char* equation;
  const char* propertyTab;
};
constexpr KeyedKinds kPrologEpilogKinds{"pPTerm", "pDecl", "pEquation", "pPropertyTab"};
// A group's list takes no PTerm or PropertyTab statement: the empty kind name
// makes AddStatement refuse them.
constexpr KeyedKinds kGroupKinds{"", "gDECL", "gEquation", ""};

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
  StringRef endKind = s.pool.Add(kEndKind);
  const StatementKind* kind = FindKind(kindName);
  return kind ? s.pool.Add(kind->typeName) : endKind;
}

// Appends `word` and the separator byte 1. A text that would grow beyond its
// limit is refused.
void JoinWord(ParseState& s, std::string& text, std::string_view word) {
  text += word;
  text += kSeparator;
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
  return TokenText(s).empty() || TokenIs(s, "Decl") || TokenIs(s, "Equation") ||
         TokenIs(s, "PTerm") || TokenIs(s, "PropertyTab") || TokenIs(s, "When") || TokenIs(s, "}");
}

// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
void ReadKeyedStatements(ParseState& s, StatementList& list, int32_t& counter,
                         const KeyedKinds& kinds) {
  if (TokenIs(s, "PTerm")) ReadStatement(s, list, kinds.pTerm, counter);
  if (TokenIs(s, "Decl")) ReadStatement(s, list, kinds.decl, counter);
  if (TokenIs(s, "Equation")) ReadStatement(s, list, kinds.equation, counter);
  if (TokenIs(s, "PropertyTab")) ReadStatement(s, list, kinds.propertyTab, counter);
}

}  // namespace

void AddStatement(ParseState& s, StatementList& list, int32_t slot, std::string_view kindName,
                  std::string_view text) {
  std::string overflow = Format("Exceed number of statements. (%.*s)\n", int(kindName.size()),
                                kindName.data());
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
        end.kind = StatementKindName(s, kEndKind);
        s.pool.AddTo(end.text, "");
      });
}

void ReadStatement(ParseState& s, StatementList& list, std::string_view kindName,
                   int32_t& counter) {
  EntryScope entry(s);
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
}

void ReadGroupStatements(ParseState& s, StatementList& list) {
  int32_t counter = 0;
  ReadKeyedStatements(s, list, counter, kGroupKinds);
}

void ReadStatementBlock(ParseState& s, StatementList& list) {
  std::string text;
  while (!EndsAlwaysStatement(s)) JoinToken(s, text);
  AddStatement(s, list, 0, "pAlways", text);
  int32_t counter = 1;
  ReadKeyedStatements(s, list, counter, kPrologEpilogKinds);
}

std::span<const StatementSlot> StoredStatements(const StringPool& pool, const StatementList& list) {
  size_t count = 0;
  while (count < std::size(list.slots) && pool.Compare(list.slots[count].kind, kEndKind) != 0) {
    ++count;
  }
  return std::span<const StatementSlot>(list.slots, count);
}

void DumpStatementsByKind(ParseState& s, const StatementList& list,
                          std::span<const char* const> typeNames, int headingIndent) {
  for (const char* typeName : typeNames) {
    s.dump.Print("%*s%s:\n", headingIndent, "", typeName);
    for (const StatementSlot& slot : StoredStatements(s.pool, list)) {
      if (s.pool.Compare(slot.kind, typeName) == 0) {
        s.dump.Print("%*s<%s>\n", headingIndent + 3, "", s.pool.String(slot.text));
      }
    }
  }
}

}  // namespace qelc
