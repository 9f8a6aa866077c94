// Package names pick how the pins are placed; pins run counter-clockwise from
// pin 1 at the top left.
#include "report/package_layout.h"

#include <gtest/gtest.h>

namespace qelc::report {
namespace {

TEST(PackageLayoutTest, FamilyFromTheLettersOfTheName) {
  for (const char* name : {"LQFP48", "'TQFP100'", "QFN32", "vqfn20", "LGA16", "PLCC44"}) {
    EXPECT_EQ(FamilyOf(name), PackageFamily::kFourSides) << name;
  }
  for (const char* name : {"SOIC8", "SO14", "TSSOP20", "SSOP28", "PDIP40", "DIP-8", "DFN10"}) {
    EXPECT_EQ(FamilyOf(name), PackageFamily::kTwoSides) << name;
  }
  for (const char* name : {"UFBGA64", "BGA100", "WLCSP25", "", "X", "'QFP"}) {
    EXPECT_EQ(FamilyOf(name), PackageFamily::kGrid) << name;
  }
}

TEST(PackageLayoutTest, CountFromTheNameOrTheHighestPin) {
  EXPECT_EQ(PinCountOf("LQFP48", 37), 48);
  EXPECT_EQ(PinCountOf("'QFN32'", 40), 32);  // pin 40 is then drawn beside the body
  EXPECT_EQ(PinCountOf("BGA", 17), 17);
  EXPECT_EQ(PinCountOf("BGA", 0), 1);
  EXPECT_EQ(PinCountOf("QFP0", 5), 5);
  EXPECT_EQ(PinCountOf("X123456", 12), 12);  // five digits are no pin count
  EXPECT_EQ(PinCountOf("BGA", 2147483647), kLargestPinCount);
}

TEST(PackageLayoutTest, FourSidesCounterClockwise) {
  // 48 pins, 12 a side: left top to bottom, bottom left to right, right bottom
  // to top, top right to left.
  auto place = [](int32_t number) { return *PlaceOf(PackageFamily::kFourSides, 48, number); };
  EXPECT_EQ(place(1).side, PinPlace::kLeft);
  EXPECT_EQ(place(1).along, 0);
  EXPECT_EQ(place(12).along, 11);
  EXPECT_EQ(place(13).side, PinPlace::kBottom);
  EXPECT_EQ(place(13).along, 0);
  EXPECT_EQ(place(25).side, PinPlace::kRight);
  EXPECT_EQ(place(25).along, 11);
  EXPECT_EQ(place(36).along, 0);
  EXPECT_EQ(place(37).side, PinPlace::kTop);
  EXPECT_EQ(place(37).along, 11);
  EXPECT_EQ(place(48).along, 0);
  EXPECT_FALSE(PlaceOf(PackageFamily::kFourSides, 48, 0));
  EXPECT_FALSE(PlaceOf(PackageFamily::kFourSides, 48, 49));
}

TEST(PackageLayoutTest, TwoSidesAndGrid) {
  EXPECT_EQ(PinsPerLine(PackageFamily::kTwoSides, 7), 4);
  PinPlace fifth = *PlaceOf(PackageFamily::kTwoSides, 8, 5);
  EXPECT_EQ(fifth.side, PinPlace::kRight);
  EXPECT_EQ(fifth.along, 3);  // up the right side from the bottom
  EXPECT_EQ(PinsPerLine(PackageFamily::kGrid, 64), 8);
  EXPECT_EQ(PinsPerLine(PackageFamily::kGrid, 65), 9);
  PinPlace tenth = *PlaceOf(PackageFamily::kGrid, 64, 10);
  EXPECT_EQ(tenth.side, PinPlace::kCell);
  EXPECT_EQ(tenth.along, 1);
  EXPECT_EQ(tenth.column, 1);
}

}  // namespace
}  // namespace qelc::report
