#pragma once

#include <type_traits>

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

// DesignProlog and DesignEpilog read the same body into tables of one shape.
using PrologEpilogTable = decltype(TableBlock::prolog);
static_assert(std::is_same_v<PrologEpilogTable, decltype(TableBlock::epilog)>);

// body -> ['Always' ':' block] ('When' condition ':' block)*
//         and a block under the condition "1" where no When follows
void ReadPrologEpilogBody(ParseState& s, PrologEpilogTable& table);
void DumpPrologEpilog(ParseState& s, const PrologEpilogTable& table);
void EmptyPrologEpilog(ParseState& s, PrologEpilogTable& table);

}  // namespace qelc
