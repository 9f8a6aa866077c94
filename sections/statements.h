#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {

// Longest statement text once its words are joined.
constexpr int kStatementTextLimit = 31999;

// Which of the two tables the prolog kinds (pAlways, pPTerm, ...) fill:
// 1 the prolog table, 0 the epilog table.
int32_t& PrologEpilogFlag();

// The group record that the group kinds (gDECL, gEquation) fill, within the
// group condition entry given as list index. The group reader sets it.
int32_t& CurrentGroupIndex();

// Puts the flag and the group index back to 0.
void ResetStatementState();

// Adds "ZZZ" to the pool, then returns the pooled type name of `kindName`
// (pDecl gives Decl, oEquationReq gives Equation_Req), or the reference of
// "ZZZ" for a name that is not a statement kind.
StringRef StatementKindName(std::string_view kindName);

// Appends `word` and the separator byte 1. A text that would grow beyond its
// limit is refused.
void JoinWord(std::string& text, std::string_view word);

// Stores a statement in slot `slot` of the list that `kindName` selects, entry
// `listIndex` of its table, and ends the list behind it. The list index has been
// accepted by the table's own Add operation.
void AddStatement(int32_t listIndex, int32_t slot, std::string_view kindName,
                  std::string_view text);

// statement -> keyword [',' 'rev'] ':' string*
// The keyword is the current word. Stores the statement at slot `counter` and
// counts it.
void ReadStatement(std::string_view kindName, int32_t listIndex, int32_t& counter);

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

// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
// A keyword out of this order is left as the current word.
void ReadKeyedStatements(int32_t listIndex, int32_t& counter, const KeyedKinds& kinds);

// statement block -> word* keyed statements
// The words up to the first statement keyword, When, '}' or the end of input
// form the always-statement in slot 0, stored even when it is empty.
void ReadStatementBlock(int32_t listIndex);

// The statements of a list: its slots up to the first of kind "ZZZ", at most 8.
std::span<const StatementSlot> StoredStatements(const StatementList& list);

// Dumps, for each type name in order, a heading indented by `headingIndent`
// and then the text of every statement of that kind, three columns further in.
void DumpStatementsByKind(const StatementList& list, std::span<const char* const> typeNames,
                          int headingIndent);

}  // namespace qelc
