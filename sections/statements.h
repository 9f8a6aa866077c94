#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/catalogue.h"
#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

// Stores a statement of kind `kindName` in slot `slot` of `list` and ends the
// list behind it. A slot beyond the list and a name that is no statement kind
// end the run.
void AddStatement(ParseState& s, StatementList& list, int32_t slot, std::string_view kindName,
                  std::string_view text);

// statement -> keyword [',' 'rev'] ':' string*
// The keyword is the current word. Stores the statement in `list` at slot
// `counter` and counts it.
void ReadStatement(ParseState& s, StatementList& list, std::string_view kindName, int32_t& counter);

// The current word opens a statement of some list (Decl, Equation, Action...).
bool OpensStatement(const Parser& p);

// group statements -> keyed statements, into slots from 0 (see below)
void ReadGroupStatements(ParseState& s, StatementList& list);

// statement block -> word* keyed statements
// keyed statements -> [PTerm statement] [Decl statement] [Equation statement]
//                     [PropertyTab statement]
// The words up to the first statement keyword, When, '}' or the end of input
// form the always-statement in slot 0, stored even when it is empty. A keyword
// out of the keyed order is left as the current word.
void ReadStatementBlock(ParseState& s, StatementList& list);

// output statements -> [DefaultSigName statement] [DeclWOPinNum statement]
//   [DeclWithPinNum statement] [DeclWOMainFlash statement] [DeclWMainFlash statement]
//   [Equation statement] [Equation_Req statement] [Action statement]
// Stores them in `list` from slot 0.
void ReadOutputStatements(ParseState& s, StatementList& list);

// The statements of a list: its slots up to the first of kind "ZZZ", at most 8.
std::span<const StatementSlot> StoredStatements(const StringPool& pool, const StatementList& list);

// Dumps, for Always and then each other type name of `family` in order, a
// heading indented by `headingIndent` and then the text of every statement of
// that kind, three columns further in.
void DumpStatementsByKind(ParseState& s, const StatementList& list, StatementFamily family,
                          int headingIndent);

}  // namespace qelc
