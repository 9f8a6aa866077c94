#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qelc {

// Fields 1 to 8 of a memory map entry, in source order.
using MemoryMapFields = std::array<std::string, 8>;

// MemoryMap { [Always : map-list] (When condition : map-list)* }
void SecMemoryMap();

// map -> '{' label ':' number label ':' title label ':' description
//        label ':' main-flash label ':' secondary-flash entry+ '}'
// Read into map slot `map` of condition record `condition`.
void ParseMemoryMap(int32_t condition, int32_t map);

void AddMemoryMapCondition(int32_t index, std::string_view text);
void AddMemoryMap(int32_t condition, int32_t map, int32_t number, std::string_view title,
                  std::string_view description, std::string_view mainFlash,
                  std::string_view secondaryFlash);
void AddMemoryMapEntry(int32_t condition, int32_t map, int32_t entry,
                       const MemoryMapFields& fields);
void DumpMemoryMap();

}  // namespace qelc
