#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qelc::report {

// A row of the pin-number table, with where it stands in the file.
struct PinRow {
  int32_t block;  // the condition block
  int32_t row;    // the row in its block
  std::string_view package;
  int32_t number;
  int32_t reserved;
  std::string_view name;
};

// The drawing of one package of one condition block: its body with pin 1
// marked, a pad for every position, and a pin shape for every row (`rows` all
// name `package`). A row whose number has no place on the body (0, beyond the
// pin count, or a number an earlier row took) is drawn in a strip below it.
std::string PinoutSvg(std::string_view package, std::span<const PinRow> rows);

}  // namespace qelc::report
