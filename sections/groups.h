#pragma once

#include "tables/table_block.h"

namespace qelc {

using GroupTable = decltype(TableBlock::groups);

// body -> ['Always' ':' group+] ('When' condition ':' group+)*
// group -> name ':' [text ':'] '{' member+ '}' keyed statements
void ReadGroupBody(GroupTable& table);
void DumpGroups(const GroupTable& table);
void EmptyGroups(GroupTable& table);

}  // namespace qelc
