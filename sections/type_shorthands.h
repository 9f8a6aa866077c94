#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using TypeShortHandTable = decltype(TableBlock::typeShortHands);

// body -> shorthand*
// shorthand -> number ':' name [':' qualifiers] '=' value
void ReadTypeShortHandBody(ParseState& s, TypeShortHandTable& table);
void DumpTypeShortHands(ParseState& s, const TypeShortHandTable& table);
void EmptyTypeShortHands(ParseState& s, TypeShortHandTable& table);

}  // namespace qelc
