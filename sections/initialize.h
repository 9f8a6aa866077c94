#pragma once

#include "tables/parse_state.h"
#include "tables/table_block.h"

namespace qelc {

using InitializeTable = decltype(TableBlock::initialize);

// body -> ('When' condition ':' line+)*
// line -> pin.attribute '=' value [':' mark] ';'
void ReadInitializeBody(ParseState& s, InitializeTable& table);
void DumpInitialize(ParseState& s, const InitializeTable& table);
void EmptyInitialize(ParseState& s, InitializeTable& table);

}  // namespace qelc
