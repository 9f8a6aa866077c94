#pragma once

#include "sections/type_categories.h"
#include "tables/table_block.h"

namespace qelc {

using PinTable = decltype(TableBlock::pinGroups);

// body -> pin-group*
// pin-group -> (name ':')+ '{' categories or an if / else chain '}'
// Pin groups and the type selections their pins allow in each type category;
// a category is a word that `categories` names.
void ReadPinBody(PinTable& table, const TypeCategoryTable& categories);
void DumpPins(const PinTable& table);
void EmptyPins(PinTable& table);

}  // namespace qelc
