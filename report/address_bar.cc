#include "report/address_bar.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "report/html_text.h"

namespace qelc::report {

namespace {

constexpr double kAddressWidth = 150;  // the addresses left of the bar
constexpr double kBarWidth = 300;
constexpr double kBlockHeight = 44;
constexpr double kGapHeight = 20;
constexpr size_t kLabel = 40;  // characters of a text inside a block

// `value` in hex with at least `digits` digits.
std::string Hex(uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*" PRIX64, digits, value);
  return text;
}

// The digits of an address written in hex, 0 for one written otherwise.
int HexDigits(std::string_view address) {
  bool hex = address.size() > 2 && address[0] == '0' && (address[1] == 'x' || address[1] == 'X');
  return hex ? int(address.size() - 2) : 0;
}

int DigitValue(char c, int base) {
  int value = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : 99;
  return value < base ? value : -1;
}

// Where a text stands; its anchor comes from the style sheet, by its class.
std::string TextAt(double x, double y, const char* cssClass, const std::string& escaped) {
  return "<text class=\"" + std::string(cssClass) + "\" x=\"" + Number(x) + "\" y=\"" + Number(y) +
         "\">" + escaped + "</text>";
}

// A block at `top`: its shapes are placed from the block's own top, so that a
// map of many ranges repeats short numbers.
std::string BlockShape(const BarBlock& block, double top) {
  const MapEntry& entry = *block.entry;
  std::string classes = "block";
  if (block.overlaps) classes += " overlap";
  if (!block.start || !block.end) classes += " unplaced";
  std::string out =
      "<g class=\"" + classes + "\"" + Attribute("data-map", std::to_string(entry.mapNumber)) +
      Attribute("data-start", entry.fields[0]) + Attribute("data-end", entry.fields[1]) +
      " transform=\"translate(0 " + Number(top) + ")\"><title>" + Escaped(entry.fields[2]) + ": " +
      Escaped(entry.fields[0]) + " to " + Escaped(entry.fields[1]) +
      (block.overlaps ? ", overlaps an earlier range" : "") + "</title>";
  out += "<rect class=\"range\" x=\"" + Number(kAddressWidth) + "\" width=\"" + Number(kBarWidth) +
         "\" height=\"" + Number(kBlockHeight) + "\"/>";
  out += TextAt(kAddressWidth - 6, 11, "address", EscapedLabel(entry.fields[0], 24));
  out += TextAt(kAddressWidth - 6, kBlockHeight - 3, "address", EscapedLabel(entry.fields[1], 24));
  double middle = kAddressWidth + kBarWidth / 2;
  out += TextAt(middle, 18, "range-name", EscapedLabel(entry.fields[2], kLabel));
  std::string details =
      EscapedLabel(entry.fields[3], 12) + " \u00b7 " + EscapedLabel(entry.fields[5], 12);
  if (block.overlaps) details += " \u00b7 overlap";
  if (!block.start || !block.end) details += " \u00b7 not an address";
  out += TextAt(middle, 34, "range-details", details);
  return out + "</g>\n";
}

}  // namespace

std::optional<uint64_t> AddressOf(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit = DigitValue(c, base);
    if (digit < 0 || value > (UINT64_MAX - uint64_t(digit)) / uint64_t(base)) return std::nullopt;
    value = value * uint64_t(base) + uint64_t(digit);
  }
  return value;
}

std::vector<BarBlock> BarBlocks(std::span<const MapEntry> entries) {
  std::vector<BarBlock> blocks;
  for (const MapEntry& entry : entries) {
    blocks.push_back(
        {&entry, AddressOf(entry.fields[0]), AddressOf(entry.fields[1]), {}, 0, false});
  }
  auto placed = [](const BarBlock& block) { return block.start && block.end; };
  auto last = std::stable_partition(blocks.begin(), blocks.end(), placed);
  std::stable_sort(blocks.begin(), last,
                   [](const BarBlock& a, const BarBlock& b) { return *a.start < *b.start; });
  std::optional<uint64_t> reach;  // the highest address an earlier entry holds
  std::string_view reachText;     // that address as its entry writes it
  for (auto block = blocks.begin(); block != last; ++block) {
    if (reach && *block->start <= *reach) block->overlaps = true;
    if (reach && *reach<UINT64_MAX&& * block->start> * reach + 1) {
      block->gapBefore = *reach + 1;
      block->gapDigits = std::max(HexDigits(reachText), HexDigits(block->entry->fields[0]));
    }
    if (!reach || *block->end > *reach) {
      reach = *block->end;
      reachText = block->entry->fields[1];
    }
  }
  return blocks;
}

std::string AddressBarSvg(std::span<const MapEntry> entries) {
  std::vector<BarBlock> blocks = BarBlocks(entries);
  std::string body;
  double top = 8;
  for (const BarBlock& block : blocks) {
    if (block.gapBefore) {
      body += "<g class=\"gap\"><rect x=\"" + Number(kAddressWidth) + "\" y=\"" + Number(top) +
              "\" width=\"" + Number(kBarWidth) + "\" height=\"" + Number(kGapHeight) + "\"/>" +
              TextAt(kAddressWidth + kBarWidth / 2, top + 14, "gap-label",
                     "gap " + Hex(*block.gapBefore, block.gapDigits) + " to " +
                         Hex(*block.start - 1, block.gapDigits)) +
              "</g>\n";
      top += kGapHeight;
    }
    body += BlockShape(block, top);
    top += kBlockHeight;
  }
  double width = kAddressWidth + kBarWidth + 8;
  return "<svg class=\"drawing address-bar\" viewBox=\"0 0 " + Number(width) + " " +
         Number(top + 8) + "\" style=\"max-width:" + Number(width) +
         "px\" role=\"img\" aria-label=\"memory map\">\n" + body + "</svg>\n";
}

}  // namespace qelc::report
