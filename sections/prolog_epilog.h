#pragma once

#include <type_traits>

#include "tables/table_block.h"

namespace qelc {

// DesignProlog and DesignEpilog read the same body into tables of one shape.
using PrologEpilogTable = decltype(TableBlock::prolog);
static_assert(std::is_same_v<PrologEpilogTable, decltype(TableBlock::epilog)>);

// body -> ['Always' ':' block] ('When' condition ':' block)*
//         and a block under the condition "1" where no When follows
void ReadPrologEpilogBody(PrologEpilogTable& table);
void DumpPrologEpilog(const PrologEpilogTable& table);
void EmptyPrologEpilog(PrologEpilogTable& table);

}  // namespace qelc
