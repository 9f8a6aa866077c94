#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// PinNumberByPackage '{' (When condition ':' row (',' row)*)* '}'
// row -> package ':' pin [':' (RSV mark | 'name' | ignored word)]
void SecPinNumberByPackage();

// Stores the condition of entry `index`; the condition of entry index + 1 becomes
// the empty text that ends the list (its rows are left as they are).
void AddPinNumberCondition(int32_t index, std::string_view condition);

// Stores one pin-number row and makes the row behind it the empty row.
void AddPinNumber(int32_t conditionIndex, int32_t rowIndex, std::string_view package,
                  int32_t pinNumber, int32_t reserved, std::string_view name);

void DumpPinNumberByPackage();

}  // namespace qelc
