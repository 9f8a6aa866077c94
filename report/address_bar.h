#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qelc::report {

// An address range of a memory map: its eight fields as stored (start, end,
// name, access, two more, size, note) and the map it belongs to.
struct MapEntry {
  int32_t mapNumber;
  std::string_view fields[8];
};

// The address a start or end field writes: `0x` and hex digits, or decimal
// digits; nothing for any other text or a value past 64 bits.
std::optional<uint64_t> AddressOf(std::string_view text);

// How an entry stands against the ones before it in address order.
struct BarBlock {
  const MapEntry* entry;
  std::optional<uint64_t> start, end;
  std::optional<uint64_t> gapBefore;  // the first free address of a gap before the entry
  int gapDigits = 0;                  // the hex digits of the addresses around the gap, at the most
  bool overlaps = false;              // it starts at or below an address an earlier one holds
};

// The entries in address order (entries whose start or end is no address last,
// in their stored order), with the gaps and overlaps between them.
std::vector<BarBlock> BarBlocks(std::span<const MapEntry> entries);

// The map drawn as an address bar: a block per entry, from its start to its
// end, a band for each gap and a mark on each entry that overlaps another.
std::string AddressBarSvg(std::span<const MapEntry> entries);

}  // namespace qelc::report
