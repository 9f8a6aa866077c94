#pragma once

#include "tables/parse_state.h"
#include "tables/table_block.h"

namespace qelc {

using ExtensionTable = decltype(TableBlock::extensions);

// body -> (string ':' word)*
void ReadExtensionBody(ParseState& s, ExtensionTable& table);
void DumpExtensions(ParseState& s, const ExtensionTable& table);
void EmptyExtensions(ParseState& s, ExtensionTable& table);

}  // namespace qelc
