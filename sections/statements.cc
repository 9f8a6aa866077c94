#include "sections/statements.h"

#include <string>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/format.h"
#include "source/fatal.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
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
StringRef StatementKindName(std::string_view kindName) {
  // "ZZZ" enters the pool before the type name: this order fixes the pool bytes.
  StringRef endKind = PoolAdd(kEndKind);
  const StatementKind* kind = FindKind(kindName);
  return kind ? PoolAdd(kind->typeName) : endKind;
}

// Appends `word` and the separator byte 1. A text that would grow beyond its
// limit is refused.
void JoinWord(std::string& text, std::string_view word) {
  text += word;
  text += kSeparator;
  CheckTextLength(text, kStatementTextLimit);
}

// Joins the current token, its quotes removed, and consumes it. The word is
// measured as written, quotes included.
void JoinToken(std::string& text) {
  CheckTextLength(TokenText(), kStoredTextLimit);
  JoinWord(text, Unquote(TokenText()));
  SkipToken();
}

bool EndsAlwaysStatement() {
  return TokenText().empty() || TokenIs("Decl") || TokenIs("Equation") || TokenIs("PTerm") ||
         TokenIs("PropertyTab") || TokenIs("When") || TokenIs("}");
}

// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
void ReadKeyedStatements(StatementList& list, int32_t& counter, const KeyedKinds& kinds) {
  if (TokenIs("PTerm")) ReadStatement(list, kinds.pTerm, counter);
  if (TokenIs("Decl")) ReadStatement(list, kinds.decl, counter);
  if (TokenIs("Equation")) ReadStatement(list, kinds.equation, counter);
  if (TokenIs("PropertyTab")) ReadStatement(list, kinds.propertyTab, counter);
}

}  // namespace

void AddStatement(StatementList& list, int32_t slot, std::string_view kindName,
                  std::string_view text) {
  std::string overflow = Format("Exceed number of statements. (%.*s)\n", int(kindName.size()),
                                kindName.data());
  // The slot is checked before the kind name.
  if (slot >= kStatementSlots) Overflow(overflow.c_str());
  if (!FindKind(kindName)) {
    ParseError(Format("ERROR: AddStatement (%.*s)\n", int(kindName.size()), kindName.data()));
  }
  AddEntry(
      list.slots, slot, kStatementSlots, overflow.c_str(),
      [&](StatementSlot& stored) {
        stored.kind = StatementKindName(kindName);
        PoolAddTo(stored.text, text);
      },
      [](StatementSlot& end) {
        end.kind = StatementKindName(kEndKind);
        PoolAddTo(end.text, "");
      });
}

void ReadStatement(StatementList& list, std::string_view kindName, int32_t& counter) {
  std::string text;
  SkipToken();  // the statement keyword, which the caller has recognised
  if (SkipIf(",")) {
    ExpectText("rev");
    JoinWord(text, kReverseMark);
  }
  ExpectText(":");
  while (CurrentTokenKind() == kStringToken) JoinToken(text);
  AddStatement(list, counter, kindName, text);
  ++counter;
}

void ReadGroupStatements(StatementList& list) {
  int32_t counter = 0;
  ReadKeyedStatements(list, counter, kGroupKinds);
}

void ReadStatementBlock(StatementList& list) {
  std::string text;
  while (!EndsAlwaysStatement()) JoinToken(text);
  AddStatement(list, 0, "pAlways", text);
  int32_t counter = 1;
  ReadKeyedStatements(list, counter, kPrologEpilogKinds);
}

std::span<const StatementSlot> StoredStatements(const StatementList& list) {
  size_t count = 0;
  while (count < std::size(list.slots) && PoolCompare(list.slots[count].kind, kEndKind) != 0) {
    ++count;
  }
  return std::span<const StatementSlot>(list.slots, count);
}

void DumpStatementsByKind(const StatementList& list, std::span<const char* const> typeNames,
                          int headingIndent) {
  for (const char* typeName : typeNames) {
    Dump("%*s%s:\n", headingIndent, "", typeName);
    for (const StatementSlot& slot : StoredStatements(list)) {
      if (PoolCompare(slot.kind, typeName) == 0) {
        Dump("%*s<%s>\n", headingIndent + 3, "", PoolString(slot.text));
      }
    }
  }
}

}  // namespace qelc
