#pragma once

#include "tables/table_block.h"

namespace qelc {

using TypeConversionTable = decltype(TableBlock::typeConversions);

// body -> (word ':' word [':' word] ';')*
void ReadTypeConversionBody(TypeConversionTable& table);
void DumpTypeConversions(const TypeConversionTable& table);
void EmptyTypeConversions(TypeConversionTable& table);

}  // namespace qelc
