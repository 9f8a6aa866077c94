#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using TypeConversionTable = decltype(TableBlock::typeConversions);

// body -> (word ':' word [':' word] ';')*
void ReadTypeConversionBody(ParseState& s, TypeConversionTable& table);
void DumpTypeConversions(ParseState& s, const TypeConversionTable& table);
void EmptyTypeConversions(ParseState& s, TypeConversionTable& table);

}  // namespace qelc
