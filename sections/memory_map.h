#pragma once

#include "tables/table_block.h"

namespace qelc {

using MemoryMapTable = decltype(TableBlock::memoryMaps);

// body -> ['Always' ':' map-list] ('When' condition ':' map-list)*
// map-list -> [','] map (',' map)*
void ReadMemoryMapBody(MemoryMapTable& table);
void DumpMemoryMaps(const MemoryMapTable& table);
void EmptyMemoryMaps(MemoryMapTable& table);

}  // namespace qelc
