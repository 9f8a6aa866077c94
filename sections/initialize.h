#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// Initialize '{' (When condition ':' line+)* '}'
// line -> pin.attribute '=' value [':' mark] ';'
void SecInitialize();

// Stores the condition of entry `index` and gives its row 0 the defaults with an
// empty pin, so the entry's row list starts again; the condition of entry
// index + 1 becomes the empty text that ends the list.
void AddInitializeCondition(int32_t index, std::string_view condition);

// The row of `pin` (letter case aside) under condition `conditionIndex`: the
// existing one, or the first empty row, which then gets the pin and the defaults.
int32_t FindOrAddInitializeRow(int32_t conditionIndex, std::string_view pin);

// Applies one line: `target` is pin.attribute, `value` the word after '=' and
// `reserveMark` 1 when the line carried an RSV mark. A target without a dot
// changes nothing.
void SetInitializeAttribute(int32_t conditionIndex, std::string_view target,
                            std::string_view value, int32_t reserveMark);

void DumpInitialize();

}  // namespace qelc
