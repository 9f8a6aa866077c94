#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using TypeCategoryTable = decltype(TableBlock::typeCategories);

// body -> (name '=' value)*
void ReadTypeCategoryBody(ParseState& s, TypeCategoryTable& table);
void DumpTypeCategories(ParseState& s, const TypeCategoryTable& table);
void EmptyTypeCategories(ParseState& s, TypeCategoryTable& table);

// The index of the first type category named `text` (letter case aside), or -1.
// The scan ends at the first empty entry, which is never compared, so the empty
// text names no category.
int32_t FindTypeCategory(ParseState& s, const TypeCategoryTable& table, std::string_view text);

// The linter's words for `word` where a type category must stand: the
// categories declared so far (the first few of a long list) and the one it was
// likely meant to be.
std::string UnknownTypeCategory(ParseState& s, const TypeCategoryTable& table,
                                std::string_view word);

}  // namespace qelc
