#pragma once

#include "tables/table_block.h"

namespace qelc {

using AliasTable = decltype(TableBlock::aliases);

// body -> ('When' condition ':' row (',' row)*)*
// row -> alias ':' target
void ReadAliasBody(AliasTable& table);
void DumpAliases(const AliasTable& table);
void EmptyAliases(AliasTable& table);

}  // namespace qelc
