#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

extern const WarningCheck kMemoryRangesOverlap;

using MemoryMapTable = decltype(TableBlock::memoryMaps);

// body -> ['Always' ':' map-list] ('When' condition ':' map-list)*
// map-list -> [','] map (',' map)*
void ReadMemoryMapBody(ParseState& s, MemoryMapTable& table);
void DumpMemoryMaps(ParseState& s, const MemoryMapTable& table);
void EmptyMemoryMaps(ParseState& s, MemoryMapTable& table);

}  // namespace qelc
