#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using GroupTable = decltype(TableBlock::groups);

// body -> ['Always' ':' group+] ('When' condition ':' group+)*
// group -> name ':' [text ':'] '{' member+ '}' keyed statements
void ReadGroupBody(ParseState& s, GroupTable& table);
void DumpGroups(ParseState& s, const GroupTable& table);
void EmptyGroups(ParseState& s, GroupTable& table);

}  // namespace qelc
