#include "report/page.h"

#include "decompile/source_text.h"
#include "formats/lexicon.h"
#include "report/html_text.h"
#include "report/report.h"

namespace qelc::report {

namespace {

constexpr char kStyle[] = R"(
:root { color-scheme: light; font-family: system-ui, sans-serif; line-height: 1.4; }
body { margin: 0 auto; padding: 0 1em 2em; max-width: 90em; color: #1b1b1b; background: #fff; }
h1 { font-size: 1.5em; } h2 { border-bottom: 1px solid #ccc; margin-top: 2em; }
nav ul { padding-left: 1.2em; } .condition { font-family: monospace; color: #444; }
.figure-row { display: flex; flex-wrap: wrap; gap: 1.5em; align-items: flex-start; }
.figure-row > * { flex: 1 1 22em; min-width: 0; }
svg.drawing { width: 100%; height: auto; display: block; }
.scroll { overflow: auto; max-height: 36em; max-width: 100%; width: fit-content; margin: 0 0 1em; }
table { border-collapse: collapse; font-size: 0.9em; }
a.mark { text-decoration: none; } p.note { color: #444; font-size: 0.9em; }
caption { text-align: left; font-weight: bold; padding: 0.3em 0; white-space: nowrap; }
th, td { border: 1px solid #ddd; padding: 0.15em 0.5em; text-align: left; vertical-align: top; }
th { background: #f3f3f3; position: sticky; top: 0; }
td.empty { color: #888; font-style: italic; }
pre { white-space: pre-wrap; margin: 0; }
.pinout .body { fill: #e9edf2; stroke: #333; stroke-width: 1.5; }
.pinout .pin-one { fill: #333; }
.pinout .pad { fill: #c8a95a; stroke: #6b5620; }
.pinout .pad.free { fill: none; stroke: #bbb; stroke-dasharray: 2 2; }
.pinout .unnamed .pad { fill: #fff; stroke-dasharray: 3 2; }
.pinout .reserved .pad { fill: #bbb; stroke: #555; }
.pinout text { font-size: 9px; fill: #1b1b1b; }
.pinout .number { font-size: 7px; }
.pinout .unnamed .name { fill: #888; font-style: italic; }
.pinout .reserved .name { fill: #666; }
.pinout .package { font-size: 14px; font-weight: bold; }
.pinout .note, .pinout .count { font-size: 10px; fill: #555; }
.address-bar .range { fill: #dce9f7; stroke: #2c5a8a; }
.address-bar .overlap .range { fill: #f7d6d6; stroke: #b22; stroke-width: 2; }
.address-bar .unplaced .range { fill: #eee; stroke: #999; stroke-dasharray: 4 2; }
.address-bar .gap rect { fill: none; stroke: #999; stroke-dasharray: 4 3; }
.address-bar text { font-size: 10px; fill: #1b1b1b; }
.address-bar .address { font-family: monospace; text-anchor: end; }
.address-bar .range-name, .address-bar .range-details, .address-bar .gap-label { text-anchor: middle; }
.address-bar .range-name { font-weight: bold; font-size: 11px; }
.address-bar .gap-label { fill: #666; font-style: italic; }
.symbol .module-body { fill: #eef3e6; stroke: #333; stroke-width: 1.5; }
.symbol .port line { stroke: #333; stroke-width: 1.5; }
.symbol text { font-size: 11px; fill: #1b1b1b; }
.symbol .module-name { font-weight: bold; font-size: 13px; }
@media print {
  .scroll { overflow: visible; max-height: none; border: 0; }
  th { position: static; } section { break-inside: avoid-page; }
}
)";

}  // namespace

std::string Page(std::string_view escapedTitle, const std::string& body) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  page += escapedTitle;
  page += "</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n<body>\n";
  page += body;
  page += "</body>\n</html>\n";
  return page;
}

std::string IndexLink(std::string_view index) {
  if (index.empty()) return "";
  return "<p class=\"up\"><a href=\"" + Escaped(index) + "\">Index of the pages</a></p>";
}

Table::Table(std::string_view caption, std::vector<std::string> headings)
    : caption_(caption), headings_(std::move(headings)) {}

void Table::Row(std::vector<std::string> escapedCells) {
  rows_ += "<tr>";
  for (const std::string& cell : escapedCells) {
    rows_ += cell.empty() ? "<td class=\"empty\"></td>" : "<td>" + cell + "</td>";
  }
  rows_ += "</tr>\n";
}

std::string Table::Html() const {
  std::string out = "<div class=\"scroll\"><table>";
  if (!caption_.empty()) out += "<caption>" + caption_ + "</caption>";
  out += "<thead><tr>";
  for (const std::string& heading : headings_) out += "<th>" + heading + "</th>";
  out += "</tr></thead>\n<tbody>\n" + rows_ + "</tbody></table></div>\n";
  return out;
}

std::string Headings::List(std::string_view path) const {
  const ListNames* list = names_.Find(path);
  return Escaped(list ? std::string_view(list->heading) : path);
}

std::string Headings::Column(std::string_view path, std::string_view field) {
  const ListNames* list = names_.Find(path);
  const ColumnName* column = list ? list->Column(field) : nullptr;
  if (!column) return Escaped(field);
  if (!column->toolsDecide) return Escaped(column->name);
  marked_ = true;
  return Escaped(column->name) + "<a class=\"mark\" href=\"#tools-decide\">*</a>";
}

std::string Headings::Note() const {
  if (!marked_) return "";
  return "<p id=\"tools-decide\" class=\"note\">* What this value means is decided by the tools "
         "that load the file; the compiler stores it as the source writes it.</p>\n";
}

std::string ConditionText(std::string_view stored) {
  if (stored == kAlwaysCondition) return std::string(kAlwaysWord);
  std::optional<std::string> source = decompile::ConditionSource(stored);
  if (source) return std::string(kWhenWord) + " " + Escaped(*source);
  return "When (as stored) " + Escaped(stored);
}

std::string IndexPage(std::string_view title, const std::vector<IndexEntry>& entries) {
  std::string heading = Escaped(title.empty() ? "Devices" : title);
  Table table("", {"Page", "File", "Kind"});
  for (const IndexEntry& entry : entries) {
    table.Row({"<a href=\"" + Escaped(entry.page) + "\">" + Escaped(entry.page) + "</a>",
               Escaped(entry.file), entry.dab ? "DAB file" : "IPB file"});
  }
  return Page(heading, "<header><h1>" + heading + "</h1><p>" +
                           Count(int64_t(entries.size()), "page", "pages") +
                           ", one per file.</p></header>\n<main>\n" + table.Html() + "</main>\n");
}

}  // namespace qelc::report
