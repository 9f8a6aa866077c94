#include "report/pinout.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "report/html_text.h"
#include "report/package_layout.h"

namespace qelc::report {

namespace {

constexpr double kPitch = 20;      // between the centres of two pins on a side
constexpr double kPadLength = 28;  // how far a pad stands out of the body
constexpr double kPadWidth = 14;
constexpr double kCell = 40;       // a grid cell, and a place in the strip below
constexpr size_t kSideLabel = 24;  // characters of a name beside a side pin
constexpr size_t kCellLabel = 7;   // characters of a name under a grid pin
constexpr double kSideLabelWidth = kSideLabel * 5.6 + 8;

// Where a pin's pad and its name go; a vertical pad turns its texts upright.
struct PadGeometry {
  double x, y, width, height;
  double nameX, nameY;
  const char* anchor;
  bool vertical;
  bool round;  // a ball of a grid, with its name under it
};

std::string Text(double x, double y, const char* cssClass, const std::string& escaped,
                 const char* anchor = "middle", bool vertical = false) {
  std::string out = "<text class=\"" + std::string(cssClass) + "\" x=\"" + Number(x) + "\" y=\"" +
                    Number(y) + "\" text-anchor=\"" + anchor + "\"";
  if (vertical) out += " transform=\"rotate(-90 " + Number(x) + " " + Number(y) + ")\"";
  return out + ">" + escaped + "</text>";
}

std::string PadOutline(const PadGeometry& pad, const char* cssClass) {
  if (pad.round) {
    return "<circle class=\"" + std::string(cssClass) + "\" cx=\"" + Number(pad.x + pad.width / 2) +
           "\" cy=\"" + Number(pad.y + pad.height / 2) + "\" r=\"" + Number(pad.width / 2) + "\"/>";
  }
  return "<rect class=\"" + std::string(cssClass) + "\" x=\"" + Number(pad.x) + "\" y=\"" +
         Number(pad.y) + "\" width=\"" + Number(pad.width) + "\" height=\"" + Number(pad.height) +
         "\"/>";
}

std::string PinShape(const PinRow& row, const PadGeometry& pad) {
  bool unnamed = row.name.empty();
  std::string classes = "pin";
  if (row.reserved != 0) classes += " reserved";
  if (unnamed) classes += " unnamed";
  std::string number = std::to_string(row.number);
  std::string out = "<g class=\"" + classes + "\"" + Attribute("data-package", row.package) +
                    Attribute("data-pin", number) + Attribute("data-name", row.name);
  if (row.reserved != 0) out += " data-reserved=\"1\"";
  out += "><title>Pin " + number + ": " + (unnamed ? "no name" : Escaped(row.name)) +
         (row.reserved != 0 ? " (reserved)" : "") + "</title>";
  out += PadOutline(pad, "pad");
  double centreX = pad.x + pad.width / 2, centreY = pad.y + pad.height / 2;
  out += Text(pad.vertical ? centreX + 2.5 : centreX, pad.vertical ? centreY : centreY + 2.5,
              "number", number, "middle", pad.vertical);
  std::string label =
      unnamed ? "unnamed" : EscapedLabel(row.name, pad.round ? kCellLabel : kSideLabel);
  if (row.reserved != 0) label += " RSV";
  out += Text(pad.nameX, pad.nameY, "name", label, pad.anchor, pad.vertical);
  return out + "</g>\n";
}

// The pads of a package drawn on four or two sides, or as a grid.
class Drawing {
 public:
  Drawing(std::string_view package, std::span<const PinRow> rows) : package_(package) {
    int32_t highest = 0;
    for (const PinRow& row : rows) highest = std::max(highest, row.number);
    family_ = FamilyOf(package);
    count_ = PinCountOf(package, highest);
    perLine_ = PinsPerLine(family_, count_);
    placed_.assign(size_t(count_), nullptr);
    for (const PinRow& row : rows) {
      if (row.number >= 1 && row.number <= count_ && !placed_[size_t(row.number - 1)]) {
        placed_[size_t(row.number - 1)] = &row;
      } else {
        unplaced_.push_back(&row);
      }
    }
    Measure();
  }

  std::string Svg() const {
    double height = bodyY_ + bodyHeight_ + bodyY_;
    double stripY = height;
    if (!unplaced_.empty()) height += 28 + StripRows() * (kCell + 16);
    std::string out = "<svg class=\"drawing pinout\" viewBox=\"0 0 " + Number(width_) + " " +
                      Number(height) + "\" style=\"max-width:" + Number(width_) +
                      "px\" role=\"img\" aria-label=\"" + Escaped(package_) + " pinout\">\n";
    out += "<rect class=\"body\" x=\"" + Number(bodyX_) + "\" y=\"" + Number(bodyY_) +
           "\" width=\"" + Number(bodyWidth_) + "\" height=\"" + Number(bodyHeight_) + "\"/>\n";
    out += PinOneMark();
    if (family_ != PackageFamily::kGrid) {
      out += Text(bodyX_ + bodyWidth_ / 2, bodyY_ + bodyHeight_ / 2, "package",
                  EscapedLabel(package_, 40));
      out += Text(bodyX_ + bodyWidth_ / 2, bodyY_ + bodyHeight_ / 2 + 14, "count",
                  Count(count_, "pin", "pins")) +
             "\n";
    }
    for (int32_t number = 1; number <= count_; ++number) {
      PadGeometry pad = Pad(*PlaceOf(family_, count_, number));
      const PinRow* row = placed_[size_t(number - 1)];
      out += row ? PinShape(*row, pad) : PadOutline(pad, "pad free") + "\n";
    }
    if (!unplaced_.empty()) out += Strip(stripY);
    return out + "</svg>\n";
  }

 private:
  void Measure() {
    if (family_ == PackageFamily::kGrid) {
      int32_t rows = (count_ + perLine_ - 1) / perLine_;
      bodyX_ = bodyY_ = 24;
      bodyWidth_ = perLine_ * kCell + 16;
      bodyHeight_ = rows * (kCell + 12) + 16;
    } else {
      double side = (perLine_ + 1) * kPitch;
      double outside = kPadLength + kSideLabelWidth;
      bodyX_ = outside;
      bodyWidth_ = family_ == PackageFamily::kFourSides ? side : 200;
      bodyY_ = family_ == PackageFamily::kFourSides ? outside : 24;
      bodyHeight_ = side;
    }
    width_ = std::max(bodyX_ + bodyWidth_ + bodyX_, StripColumns() * kCell + 48);
  }

  PadGeometry Pad(const PinPlace& place) const {
    double offset = (place.along + 1) * kPitch;
    double half = kPadWidth / 2;
    double right = bodyX_ + bodyWidth_, bottom = bodyY_ + bodyHeight_;
    switch (place.side) {
      case PinPlace::kLeft:
        return {bodyX_ - kPadLength,
                bodyY_ + offset - half,
                kPadLength,
                kPadWidth,
                bodyX_ - kPadLength - 4,
                bodyY_ + offset + 3,
                "end",
                false,
                false};
      case PinPlace::kRight:
        return {right,
                bodyY_ + offset - half,
                kPadLength,
                kPadWidth,
                right + kPadLength + 4,
                bodyY_ + offset + 3,
                "start",
                false,
                false};
      case PinPlace::kTop:
        return {bodyX_ + offset - half,
                bodyY_ - kPadLength,
                kPadWidth,
                kPadLength,
                bodyX_ + offset + 3,
                bodyY_ - kPadLength - 4,
                "start",
                true,
                false};
      case PinPlace::kBottom:
        return {bodyX_ + offset - half,  bottom, kPadWidth, kPadLength, bodyX_ + offset + 3,
                bottom + kPadLength + 4, "end",  true,      false};
      case PinPlace::kCell:
        break;
    }
    return Cell(bodyX_ + 8 + place.column * kCell, bodyY_ + 8 + place.along * (kCell + 12));
  }

  static PadGeometry Cell(double x, double y) {
    double ball = kCell - 12;
    return {x + 6, y + 2, ball, ball, x + kCell / 2, y + ball + 12, "middle", false, true};
  }

  std::string PinOneMark() const {
    if (family_ == PackageFamily::kGrid) {
      return "<path class=\"pin-one\" d=\"M" + Number(bodyX_) + " " + Number(bodyY_) + " h14 L" +
             Number(bodyX_) + " " + Number(bodyY_ + 14) + " z\"/>\n";
    }
    return "<circle class=\"pin-one\" cx=\"" + Number(bodyX_ + 12) + "\" cy=\"" +
           Number(bodyY_ + 12) + "\" r=\"5\"/>\n";
  }

  double StripColumns() const {
    return unplaced_.empty() ? 0 : double(std::min<size_t>(unplaced_.size(), 16));
  }
  double StripRows() const { return double((unplaced_.size() + 15) / 16); }

  std::string Strip(double top) const {
    std::string out = Text(24, top + 16, "note",
                           "Rows without a place on the body (number 0, beyond the pin "
                           "count, or taken by an earlier row):",
                           "start");
    out += "\n";
    for (size_t i = 0; i < unplaced_.size(); ++i) {
      double x = 24 + double(i % 16) * kCell;
      double y = top + 24 + double(i / 16) * (kCell + 16);
      out += PinShape(*unplaced_[i], Cell(x, y));
    }
    return out;
  }

  std::string_view package_;
  PackageFamily family_;
  int32_t count_ = 0;
  int32_t perLine_ = 0;
  std::vector<const PinRow*> placed_;  // by pin number - 1
  std::vector<const PinRow*> unplaced_;
  double bodyX_ = 0, bodyY_ = 0, bodyWidth_ = 0, bodyHeight_ = 0, width_ = 0;
};

}  // namespace

std::string PinoutSvg(std::string_view package, std::span<const PinRow> rows) {
  return Drawing(package, rows).Svg();
}

}  // namespace qelc::report
