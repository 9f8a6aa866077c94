#pragma once

#include "formats/table_block.h"
#include "sections/type_categories.h"
#include "tables/parse_state.h"

namespace qelc {

using PinTable = decltype(TableBlock::pinGroups);

// body -> pin-group*
// pin-group -> (name ':')+ '{' categories or an if / else chain '}'
// Pin groups and the type selections their pins allow in each type category;
// a category is a word that `categories` names.
void ReadPinBody(ParseState& s, PinTable& table, const TypeCategoryTable& categories);
void DumpPins(ParseState& s, const PinTable& table);
void EmptyPins(ParseState& s, PinTable& table);

}  // namespace qelc
