#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using PinNumberTable = decltype(TableBlock::pinNumbers);

// body -> ('When' condition ':' row (',' row)*)*
// row -> package ':' pin [':' (RSV mark | 'name' | ignored word)]
void ReadPinNumberBody(ParseState& s, PinNumberTable& table);
void DumpPinNumbers(ParseState& s, const PinNumberTable& table);
void EmptyPinNumbers(ParseState& s, PinNumberTable& table);

}  // namespace qelc
