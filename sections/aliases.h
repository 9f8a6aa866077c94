#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// Alias '{' (When condition ':' row (',' row)*)* '}'
// row -> alias ':' target
void SecAlias();

// Stores the condition of entry `index`; the condition of entry index + 1 becomes
// the empty text that ends the list (its rows are left as they are).
void AddAliasCondition(int32_t index, std::string_view condition);

// Stores one alias row and makes the row behind it the empty row.
void AddAlias(int32_t conditionIndex, int32_t rowIndex, std::string_view alias,
              std::string_view target);

void DumpAlias();

}  // namespace qelc
