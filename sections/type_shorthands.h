#pragma once

#include "tables/table_block.h"

namespace qelc {

using TypeShortHandTable = decltype(TableBlock::typeShortHands);

// body -> shorthand*
// shorthand -> number ':' name [':' qualifiers] '=' value
void ReadTypeShortHandBody(TypeShortHandTable& table);
void DumpTypeShortHands(const TypeShortHandTable& table);
void EmptyTypeShortHands(TypeShortHandTable& table);

}  // namespace qelc
