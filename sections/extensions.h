#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using ExtensionTable = decltype(TableBlock::extensions);

// body -> (string ':' word)*
void ReadExtensionBody(ParseState& s, ExtensionTable& table);
void DumpExtensions(ParseState& s, const ExtensionTable& table);
void EmptyExtensions(ParseState& s, ExtensionTable& table);

}  // namespace qelc
