#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using AliasTable = decltype(TableBlock::aliases);

// body -> ('When' condition ':' row (',' row)*)*
// row -> alias ':' target
void ReadAliasBody(ParseState& s, AliasTable& table);
void DumpAliases(ParseState& s, const AliasTable& table);
void EmptyAliases(ParseState& s, AliasTable& table);

}  // namespace qelc
