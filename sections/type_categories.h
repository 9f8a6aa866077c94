#pragma once

#include <cstdint>
#include <string_view>

#include "tables/table_block.h"

namespace qelc {

using TypeCategoryTable = decltype(TableBlock::typeCategories);

// body -> (name '=' value)*
void ReadTypeCategoryBody(TypeCategoryTable& table);
void DumpTypeCategories(const TypeCategoryTable& table);
void EmptyTypeCategories(TypeCategoryTable& table);

// The index of the first type category named `text` (letter case aside), or -1.
// The scan ends at the first empty entry, which is never compared, so the empty
// text names no category.
int32_t FindTypeCategory(const TypeCategoryTable& table, std::string_view text);

}  // namespace qelc
