#pragma once

#include "tables/table_block.h"

namespace qelc {

using PinNumberTable = decltype(TableBlock::pinNumbers);

// body -> ('When' condition ':' row (',' row)*)*
// row -> package ':' pin [':' (RSV mark | 'name' | ignored word)]
void ReadPinNumberBody(PinNumberTable& table);
void DumpPinNumbers(const PinNumberTable& table);
void EmptyPinNumbers(PinNumberTable& table);

}  // namespace qelc
