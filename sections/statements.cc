#include "sections/statements.h"

#include <algorithm>
#include <iterator>
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
  const char* kindName;  // the name the parsers store a statement under
  const char* typeName;  // what the file stores as the kind; the keyword that opens it
  StatementFamily family;
};

constexpr char kAlwaysType[] = "Always";

// Every statement kind. Within a family the kinds stand in the order their
// statements are read and dumped. pAlways is the words before the first keyword
// of a prolog or epilog block; the kinds after it are the keyed statements.
constexpr StatementKind kStatementKinds[] = {
    {"pAlways", kAlwaysType, StatementFamily::kPrologEpilog},
    {"pPTerm", "PTerm", StatementFamily::kPrologEpilog},
    {"pDecl", "Decl", StatementFamily::kPrologEpilog},
    {"pEquation", "Equation", StatementFamily::kPrologEpilog},
    {"pPropertyTab", "PropertyTab", StatementFamily::kPrologEpilog},
    {"gDECL", "Decl", StatementFamily::kGroup},
    {"gEquation", "Equation", StatementFamily::kGroup},
    {"oDefaultSigName", "DefaultSigName", StatementFamily::kOutputSyntax},
    {"oDeclWOPinNum", "DeclWOPinNum", StatementFamily::kOutputSyntax},
    {"oDeclWithPinNum", "DeclWithPinNum", StatementFamily::kOutputSyntax},
    {"oDeclWOMainFlash", "DeclWOMainFlash", StatementFamily::kOutputSyntax},
    {"oDeclWMainFlash", "DeclWMainFlash", StatementFamily::kOutputSyntax},
    {"oEquation", "Equation", StatementFamily::kOutputSyntax},
    {"oEquationReq", "Equation_Req", StatementFamily::kOutputSyntax},
    {"oAction", "Action", StatementFamily::kOutputSyntax},
};

std::span<const StatementKind> KindsOf(StatementFamily family) {
  auto inFamily = [&](const StatementKind& kind) { return kind.family == family; };
  const StatementKind* first =
      std::find_if(std::begin(kStatementKinds), std::end(kStatementKinds), inFamily);
  const StatementKind* last = std::find_if_not(first, std::end(kStatementKinds), inFamily);
  return {first, last};
}

// The statements of a prolog or epilog block after its always-statement, each
// opened by its keyword.
std::span<const StatementKind> KeyedKinds() {
  return KindsOf(StatementFamily::kPrologEpilog).subspan(1);
}

// The kind name of the statement that `keyword` opens in a list of `family`,
// or "" when the family has no such statement, which AddStatement refuses.
const char* KindNameOf(StatementFamily family, std::string_view keyword) {
  for (const StatementKind& kind : KindsOf(family)) {
    if (kind.typeName == keyword) return kind.kindName;
  }
  return "";
}

// Longest statement text once its words are joined.
constexpr int kStatementTextLimit = 31999;

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
  if (TokenText().empty() || TokenIs("When") || TokenIs("}")) return true;
  std::span<const StatementKind> keyed = KeyedKinds();
  return std::any_of(keyed.begin(), keyed.end(),
                     [](const StatementKind& kind) { return TokenIs(kind.typeName); });
}

// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
// A group's list takes no PTerm or PropertyTab statement: it reads them and
// AddStatement refuses them.
void ReadKeyedStatements(StatementList& list, int32_t& counter, StatementFamily family) {
  for (const StatementKind& keyed : KeyedKinds()) {
    if (TokenIs(keyed.typeName)) ReadStatement(list, KindNameOf(family, keyed.typeName), counter);
  }
}

void DumpStatementsOfType(const StatementList& list, const char* typeName, int headingIndent) {
  Dump("%*s%s:\n", headingIndent, "", typeName);
  for (const StatementSlot& slot : StoredStatements(list)) {
    if (PoolCompare(slot.kind, typeName) == 0) {
      Dump("%*s<%s>\n", headingIndent + 3, "", PoolString(slot.text));
    }
  }
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
  ReadKeyedStatements(list, counter, StatementFamily::kGroup);
}

void ReadStatementBlock(StatementList& list) {
  std::string text;
  while (!EndsAlwaysStatement()) JoinToken(text);
  AddStatement(list, 0, "pAlways", text);
  int32_t counter = 1;
  ReadKeyedStatements(list, counter, StatementFamily::kPrologEpilog);
}

void ReadOutputStatements(StatementList& list) {
  int32_t counter = 0;
  for (const StatementKind& kind : KindsOf(StatementFamily::kOutputSyntax)) {
    if (TokenIs(kind.typeName)) ReadStatement(list, kind.kindName, counter);
  }
}

std::span<const StatementSlot> StoredStatements(const StatementList& list) {
  size_t count = 0;
  while (count < std::size(list.slots) && PoolCompare(list.slots[count].kind, kEndKind) != 0) {
    ++count;
  }
  return std::span<const StatementSlot>(list.slots, count);
}

void DumpStatementsByKind(const StatementList& list, StatementFamily family, int headingIndent) {
  // Always heads the lists of groups and output syntaxes too, although they hold
  // no such statement: part of the dump format.
  DumpStatementsOfType(list, kAlwaysType, headingIndent);
  for (const StatementKind& kind : KindsOf(family)) {
    if (std::string_view(kind.typeName) != kAlwaysType) {
      DumpStatementsOfType(list, kind.typeName, headingIndent);
    }
  }
}

}  // namespace qelc
