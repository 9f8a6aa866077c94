#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qelc::report {

// How a package places its pins, as its family name tells it.
enum class PackageFamily {
  kFourSides,  // QFP, QFN, LGA and the like: counter-clockwise from pin 1 at the top left
  kTwoSides,   // SOIC, SOP, DIP and the like: down the left side, up the right side
  kGrid,       // BGA and every other name: a numbered grid, row by row
};

// The family of a package name (quotes around it are ignored): the letters
// before its first digit or separator, compared without regard to case.
PackageFamily FamilyOf(std::string_view package);

// No package is drawn with more places than this: a pin number past it is a
// row drawn beside the body, not thousands of empty places.
constexpr int32_t kLargestPinCount = 9999;

// The pin count that the name ends in (up to four digits), or the highest
// stored pin number when it ends in none, between 1 and kLargestPinCount.
int32_t PinCountOf(std::string_view package, int32_t highestPin);

// Where pin `number` (1 to count) stands: a side and the position along it,
// or a row and column of the grid.
struct PinPlace {
  enum Side { kLeft, kBottom, kRight, kTop, kCell } side;
  int32_t along;   // 0-based: along the side in drawing order, or the grid row
  int32_t column;  // the grid column; 0 on a side
};

// The pins per side (four or two sides) or per grid row, for `count` pins.
int32_t PinsPerLine(PackageFamily family, int32_t count);

// The place of pin `number`, or nothing when it lies outside 1 to `count`.
std::optional<PinPlace> PlaceOf(PackageFamily family, int32_t count, int32_t number);

}  // namespace qelc::report
