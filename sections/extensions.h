#pragma once

#include "tables/table_block.h"

namespace qelc {

using ExtensionTable = decltype(TableBlock::extensions);

// body -> (string ':' word)*
void ReadExtensionBody(ExtensionTable& table);
void DumpExtensions(const ExtensionTable& table);
void EmptyExtensions(ExtensionTable& table);

}  // namespace qelc
