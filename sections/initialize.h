#pragma once

#include "tables/table_block.h"

namespace qelc {

using InitializeTable = decltype(TableBlock::initialize);

// body -> ('When' condition ':' line+)*
// line -> pin.attribute '=' value [':' mark] ';'
void ReadInitializeBody(InitializeTable& table);
void DumpInitialize(const InitializeTable& table);
void EmptyInitialize(InitializeTable& table);

}  // namespace qelc
