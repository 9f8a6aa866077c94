#include "report/package_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace qelc::report {

namespace {

std::string_view Unquoted(std::string_view name) {
  if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'') {
    return name.substr(1, name.size() - 2);
  }
  return name;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string FamilyLetters(std::string_view name) {
  std::string letters;
  for (char c : Unquoted(name)) {
    if (!IsLetter(c)) break;
    letters += char(c >= 'a' ? c - 'a' + 'A' : c);
  }
  return letters;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

PackageFamily FamilyOf(std::string_view package) {
  std::string letters = FamilyLetters(package);
  // Quad flat packs, no-lead quads, land grids and leaded chip carriers carry
  // pins on all four sides; the grid arrays end in GA as well, so LGA is named.
  constexpr std::array<std::string_view, 4> kFourSides{"QFP", "QFN", "LCC", "LGA"};
  if (std::any_of(kFourSides.begin(), kFourSides.end(),
                  [&](std::string_view end) { return EndsWith(letters, end); })) {
    return PackageFamily::kFourSides;
  }
  // Small outlines (SO, SOIC, SOP, SSOP, TSSOP, SOJ), dual in-line packages and
  // the two-sided no-lead packages.
  constexpr std::array<std::string_view, 7> kTwoSides{"SO",  "SOIC", "SOP", "SOJ",
                                                      "DIP", "DFN",  "SON"};
  if (std::any_of(kTwoSides.begin(), kTwoSides.end(),
                  [&](std::string_view end) { return EndsWith(letters, end); })) {
    return PackageFamily::kTwoSides;
  }
  return PackageFamily::kGrid;
}

int32_t PinCountOf(std::string_view package, int32_t highestPin) {
  std::string_view name = Unquoted(package);
  size_t digits = name.size();
  while (digits > 0 && IsDigit(name[digits - 1])) --digits;
  if (digits < name.size() && name.size() - digits <= 4) {
    int32_t count = 0;
    for (char c : name.substr(digits)) count = count * 10 + (c - '0');
    if (count > 0) return count;
  }
  return std::clamp(highestPin, 1, kLargestPinCount);
}

int32_t PinsPerLine(PackageFamily family, int32_t count) {
  switch (family) {
    case PackageFamily::kFourSides:
      return (count + 3) / 4;
    case PackageFamily::kTwoSides:
      return (count + 1) / 2;
    case PackageFamily::kGrid:
      break;
  }
  return int32_t(std::ceil(std::sqrt(double(count))));
}

std::optional<PinPlace> PlaceOf(PackageFamily family, int32_t count, int32_t number) {
  if (number < 1 || number > count) return std::nullopt;
  int32_t perLine = PinsPerLine(family, count);
  int32_t index = number - 1;
  if (family == PackageFamily::kGrid) {
    return PinPlace{PinPlace::kCell, index / perLine, index % perLine};
  }
  int32_t line = index / perLine;
  int32_t along = index % perLine;
  if (family == PackageFamily::kTwoSides) {
    // Down the left side, then up the right side.
    return line == 0 ? PinPlace{PinPlace::kLeft, along, 0}
                     : PinPlace{PinPlace::kRight, perLine - 1 - along, 0};
  }
  // Counter-clockwise: down the left, along the bottom, up the right, back
  // along the top; `along` counts from the top or the left.
  constexpr PinPlace::Side kSides[] = {PinPlace::kLeft, PinPlace::kBottom, PinPlace::kRight,
                                       PinPlace::kTop};
  bool reversed = line >= 2;
  return PinPlace{kSides[line], reversed ? perLine - 1 - along : along, 0};
}

}  // namespace qelc::report
