#include "sections/statements.h"

#include <cstdio>

#include "source/ascii.h"
#include "source/expect.h"
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

enum class StatementTable { kPrologEpilog, kGroup, kOutputSyntax };

struct StatementKind {
  const char* kindName;
  const char* typeName;
  StatementTable table;
};

// Searched in this order; the type name is what the file stores as the kind.
constexpr StatementKind kStatementKinds[] = {
    {"oDefaultSigName", "DefaultSigName", StatementTable::kOutputSyntax},
    {"oDeclWOPinNum", "DeclWOPinNum", StatementTable::kOutputSyntax},
    {"oDeclWithPinNum", "DeclWithPinNum", StatementTable::kOutputSyntax},
    {"oEquation", "Equation", StatementTable::kOutputSyntax},
    {"oAction", "Action", StatementTable::kOutputSyntax},
    {"gDECL", "Decl", StatementTable::kGroup},
    {"gEquation", "Equation", StatementTable::kGroup},
    {"pAlways", "Always", StatementTable::kPrologEpilog},
    {"pPTerm", "PTerm", StatementTable::kPrologEpilog},
    {"pDecl", "Decl", StatementTable::kPrologEpilog},
    {"pEquation", "Equation", StatementTable::kPrologEpilog},
    {"pPropertyTab", "PropertyTab", StatementTable::kPrologEpilog},
    {"oDeclWOMainFlash", "DeclWOMainFlash", StatementTable::kOutputSyntax},
    {"oDeclWMainFlash", "DeclWMainFlash", StatementTable::kOutputSyntax},
    {"oEquationReq", "Equation_Req", StatementTable::kOutputSyntax},
};

struct StatementState {
  int32_t prologEpilogFlag = 0;
  int32_t currentGroupIndex = 0;
};

StatementState state;

const StatementKind* FindKind(std::string_view kindName) {
  for (const StatementKind& kind : kStatementKinds) {
    if (EqualsNoCase(kind.kindName, kindName)) return &kind;
  }
  return nullptr;
}

// The list that statements of `kindName` go to; any other name ends the run.
StatementList& ListFor(std::string_view kindName, int32_t listIndex) {
  const StatementKind* kind = FindKind(kindName);
  if (!kind) {
    std::printf("ERROR: AddStatement (%.*s)\n", int(kindName.size()), kindName.data());
    ExitRun(1);
  }
  TableBlock& tables = Tables();
  if (kind->table == StatementTable::kPrologEpilog) {
    return (state.prologEpilogFlag ? tables.prolog : tables.epilog)[listIndex].statements;
  }
  if (kind->table == StatementTable::kGroup) {
    return tables.groups[listIndex].groups[state.currentGroupIndex].statements;
  }
  return tables.outputSyntaxes[listIndex].statements;
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

}  // namespace

int32_t& PrologEpilogFlag() { return state.prologEpilogFlag; }
int32_t& CurrentGroupIndex() { return state.currentGroupIndex; }
void ResetStatementState() { state = StatementState{}; }

StringRef StatementKindName(std::string_view kindName) {
  // "ZZZ" enters the pool before the type name: this order fixes the pool bytes.
  StringRef endKind = PoolAdd(kEndKind);
  const StatementKind* kind = FindKind(kindName);
  return kind ? PoolAdd(kind->typeName) : endKind;
}

void JoinWord(std::string& text, std::string_view word) {
  text += word;
  text += kSeparator;
  CheckTextLength(text, kStatementTextLimit);
}

void AddStatement(int32_t listIndex, int32_t slot, std::string_view kindName,
                  std::string_view text) {
  std::string overflow = Format("Exceed number of statements. (%.*s)\n", int(kindName.size()),
                                kindName.data());
  // The slot is checked before the kind name.
  if (slot >= kStatementSlots) Overflow(overflow.c_str());
  StatementList& list = ListFor(kindName, listIndex);
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

void ReadStatement(std::string_view kindName, int32_t listIndex, int32_t& counter) {
  std::string text;
  SkipToken();  // the statement keyword, which the caller has recognised
  if (TokenIs(",")) {
    ExpectText(",");
    ExpectText("rev");
    JoinWord(text, kReverseMark);
  }
  ExpectText(":");
  while (TokenKind() == kStringToken) JoinToken(text);
  AddStatement(listIndex, counter, kindName, text);
  ++counter;
}

void ReadKeyedStatements(int32_t listIndex, int32_t& counter, const KeyedKinds& kinds) {
  if (TokenIs("PTerm")) ReadStatement(kinds.pTerm, listIndex, counter);
  if (TokenIs("Decl")) ReadStatement(kinds.decl, listIndex, counter);
  if (TokenIs("Equation")) ReadStatement(kinds.equation, listIndex, counter);
  if (TokenIs("PropertyTab")) ReadStatement(kinds.propertyTab, listIndex, counter);
}

void ReadStatementBlock(int32_t listIndex) {
  std::string text;
  while (!EndsAlwaysStatement()) JoinToken(text);
  AddStatement(listIndex, 0, "pAlways", text);
  int32_t counter = 1;
  ReadKeyedStatements(listIndex, counter, kPrologEpilogKinds);
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
