#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using InitializeTable = decltype(TableBlock::initialize);

// body -> ('When' condition ':' line+)*
// line -> pin.attribute '=' value [':' mark] ';'
void ReadInitializeBody(ParseState& s, InitializeTable& table);
void DumpInitialize(ParseState& s, const InitializeTable& table);
void EmptyInitialize(ParseState& s, InitializeTable& table);

}  // namespace qelc
