#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "formats/catalogue.h"
#include "formats/table_block.h"
#include "formats/table_names.h"
#include "report/address_bar.h"
#include "report/html_text.h"
#include "report/page.h"
#include "report/pinout.h"
#include "report/report.h"

namespace qelc::report {

namespace {

// True when a record of the block holds anything: the records that qeldump
// lists are exactly these.
template <typename Record>
bool Stored(const Record& record) {
  static constexpr Record kZero{};
  return std::memcmp(&record, &kZero, sizeof(Record)) != 0;
}

std::string_view Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

std::string Joined(const std::vector<std::string>& escaped, std::string_view separator) {
  std::string out;
  for (const std::string& text : escaped) {
    if (!out.empty()) out += separator;
    out += text;
  }
  return out;
}

class DabWriter {
 public:
  DabWriter(const DabFile& file) : file_(file), block_(std::make_unique<TableBlock>()) {
    std::memcpy(block_.get(), file.Bytes().data(), sizeof(TableBlock));
    IndexPinNames();
  }

  std::string Body(std::string_view name, std::string_view title, std::string_view index) {
    std::string out = "<header>" + IndexLink(index) + "<h1>" +
                      Escaped(title.empty() ? name : title) + "</h1><p>" +
                      (title.empty() ? "A DAB file" : "The DAB file " + Escaped(name)) + ": " +
                      std::to_string(file_.Pool().size()) + " of " +
                      Count(block_->poolCapacity, "byte", "bytes") +
                      " of its string pool used.</p>\n<nav><ul>"
                      "<li><a href=\"#pinouts\">Pinouts</a></li>"
                      "<li><a href=\"#tables\">Tables</a></li>"
                      "<li><a href=\"#memory-maps\">Memory maps</a></li></ul></nav></header>\n";
    out += "<main>\n<section id=\"pinouts\"><h2>" + headings_.List("pinNumbers") + "</h2>\n" +
           Pinouts() + "</section>\n";
    out += "<section id=\"tables\"><h2>Tables</h2>\n" + Aliases() + Groups() + TypeCategories() +
           Initialize() + InformationTables() + "</section>\n";
    out += "<section id=\"memory-maps\"><h2>" + headings_.List("memoryMaps") + "</h2>\n" +
           MemoryMaps() + "</section>\n";
    return out + "</main>\n" + headings_.Note();
  }

 private:
  std::string_view Text(StringRef ref) const { return file_.StringAt(ref); }
  std::string Escape(StringRef ref) const { return Escaped(Text(ref)); }

  // Which aliases and groups name each pin, by the pin's name without quotes.
  void IndexPinNames() {
    for (const AliasCondition& block : block_->aliases) {
      for (const AliasRow& row : block.rows) {
        if (row.alias != 0) AddName(aliasesOf_, Text(row.target), Escape(row.alias));
      }
    }
    for (const GroupCondition& block : block_->groups) {
      for (const GroupRecord& group : block.groups) {
        if (group.name == 0) continue;
        for (const GroupMember& member : group.members) {
          if (member.item != 0) AddName(groupsOf_, Text(member.item), Escape(group.name));
        }
      }
    }
  }

  static void AddName(std::map<std::string, std::vector<std::string>, std::less<>>& index,
                      std::string_view pin, std::string escapedName) {
    std::vector<std::string>& names = index[std::string(Unquoted(pin))];
    if (std::find(names.begin(), names.end(), escapedName) == names.end()) {
      names.push_back(std::move(escapedName));
    }
  }

  std::string NamesOf(const std::map<std::string, std::vector<std::string>, std::less<>>& index,
                      std::string_view pin) const {
    if (pin.empty()) return "";
    auto found = index.find(Unquoted(pin));
    return found == index.end() ? "" : Joined(found->second, ", ");
  }

  // A drawing and a table per package of each condition block, in the order
  // the packages first appear in the block.
  std::string Pinouts() {
    std::string out;
    for (int32_t b = 0; b < EntriesOf(&TableBlock::pinNumbers); ++b) {
      const PinNumberCondition& block = block_->pinNumbers[b];
      std::vector<std::string_view> packages;
      std::vector<PinRow> rows;
      for (int32_t r = 0; r < EntriesOf(&PinNumberCondition::rows); ++r) {
        const PinNumberRow& row = block.rows[r];
        if (!Stored(row)) continue;
        rows.push_back({b, r, Text(row.package), row.pinNumber, row.reserved, Text(row.name)});
        if (std::find(packages.begin(), packages.end(), rows.back().package) == packages.end()) {
          packages.push_back(rows.back().package);
        }
      }
      for (std::string_view package : packages) {
        std::vector<PinRow> ofPackage;
        for (const PinRow& row : rows) {
          if (row.package == package) ofPackage.push_back(row);
        }
        out += Package(Text(block.condition), package, ofPackage);
      }
    }
    return out.empty() ? "<p>No pin numbers.</p>\n" : out;
  }

  std::string Package(std::string_view condition, std::string_view package,
                      const std::vector<PinRow>& rows) {
    Table table("", {Column("pinNumbers.rows", "pinNumber"), Column("pinNumbers.rows", "name"),
                     Column("pinNumbers.rows", "reserved"), headings_.List("aliases.rows"),
                     headings_.List("groups.groups")});
    for (const PinRow& row : rows) {
      table.Row({std::to_string(row.number), Escaped(row.name), row.reserved != 0 ? "RSV" : "",
                 NamesOf(aliasesOf_, row.name), NamesOf(groupsOf_, row.name)});
    }
    return "<section class=\"package\"><h3>" + Escaped(package) + "</h3>\n<p class=\"condition\">" +
           ConditionText(condition) + "</p>\n<div class=\"figure-row\"><div>" +
           PinoutSvg(package, rows) + "</div><div>" + table.Html() + "</div></div></section>\n";
  }

  std::string Column(std::string_view path, std::string_view field) {
    return headings_.Column(path, field);
  }

  std::string Aliases() {
    Table table(headings_.List("aliases"),
                {Column("aliases", "condition"), Column("aliases.rows", "alias"),
                 Column("aliases.rows", "target")});
    for (const AliasCondition& block : block_->aliases) {
      for (const AliasRow& row : block.rows) {
        if (Stored(row)) {
          table.Row({ConditionText(Text(block.condition)), Escape(row.alias), Escape(row.target)});
        }
      }
    }
    return table.Html();
  }

  std::string Groups() {
    Table table(headings_.List("groups"),
                {Column("groups", "condition"), Column("groups.groups", "name"),
                 Column("groups.groups", "text"),
                 headings_.List("groups.groups.members") + " (| separates the choices)"});
    for (const GroupCondition& block : block_->groups) {
      for (const GroupRecord& group : block.groups) {
        if (group.name == 0 && group.text == 0) continue;
        std::string members;
        int32_t alternative = 0;
        for (const GroupMember& member : group.members) {
          if (!Stored(member)) continue;
          if (!members.empty()) members += member.alternative != alternative ? " | " : ", ";
          alternative = member.alternative;
          members += Escape(member.item) + " : " + Escape(member.value);
        }
        table.Row({ConditionText(Text(block.condition)), Escape(group.name), Escape(group.text),
                   members});
      }
    }
    return table.Html();
  }

  std::string TypeCategories() {
    Table table(headings_.List("typeCategories"),
                {Column("typeCategories", "name"), Column("typeCategories", "value")});
    for (const TypeCategory& category : block_->typeCategories) {
      if (Stored(category)) table.Row({Escape(category.name), Escape(category.value)});
    }
    return table.Html();
  }

  std::string Initialize() {
    const char* rows = "initialize.rows";
    Table table(headings_.List("initialize"),
                {Column("initialize", "condition"), Column(rows, "pin"), Column(rows, "signal"),
                 Column(rows, "reserved"), Column(rows, "changeable"), Column(rows, "reservedName"),
                 Column(rows, "displayName")});
    for (const InitializeCondition& block : block_->initialize) {
      for (const InitializeRow& row : block.rows) {
        if (row.pin == 0 && row.signal == 0 && row.reservedName == 0 && row.displayName == 0 &&
            row.reserved == 0) {
          continue;
        }
        table.Row({ConditionText(Text(block.condition)), Escape(row.pin), Escape(row.signal),
                   row.reserved != 0 ? std::to_string(row.reserved) : "",
                   row.changeable != 1 ? std::to_string(row.changeable) : "",
                   Escape(row.reservedName), Escape(row.displayName)});
      }
    }
    return table.Html();
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const NumberedRow (&rows)[N]) {
    std::string_view path = section.table;
    Table table(headings_.List(path), {Column(path, "number"), Column(path, "text")});
    for (const NumberedRow& row : rows) {
      // -1 marks the slot after the last row.
      if (Stored(row) && row.number != -1)
        table.Row({std::to_string(row.number), Escape(row.text)});
    }
    return table.Html();
  }

  template <int Items, size_t N>
  std::string Information(const SectionEntry& section,
                          const ConditionalRecord<Items> (&records)[N]) {
    std::string_view path = section.table;
    Table table(headings_.List(path), {Column(path, "condition"), Column(path, "items")});
    for (const ConditionalRecord<Items>& record : records) {
      if (!Stored(record)) continue;
      std::vector<std::string> items;
      for (StringRef item : record.items) {
        if (item != 0) items.push_back(Escape(item));
      }
      table.Row({ConditionText(Text(record.condition)), Joined(items, ", ")});
    }
    return table.Html();
  }

  // A table of one row per record, whose columns are the section's fields in
  // the catalogue's order; `cells` gives a record's cells in that order. The
  // rows end where the readers stop: at a record of zeros or one whose first
  // field marks the entry after the last (an empty text, or the number -1).
  template <typename Record, size_t N, typename Cells>
  std::string FlatTable(const SectionEntry& section, const Record (&records)[N], Cells cells) {
    std::vector<std::string> headings;
    for (const FieldName& field : section.fields) {
      headings.push_back(Column(section.table, field.path));
    }
    Table table(headings_.List(section.table), std::move(headings));
    for (const Record& record : records) {
      std::vector<std::string> row = cells(record);
      if (!Stored(record) || row.front().empty() || row.front() == "-1") break;
      table.Row(std::move(row));
    }
    return table.Html();
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const Extension (&rows)[N]) {
    return FlatTable(section, rows, [&](const Extension& row) {
      return std::vector<std::string>{Escape(row.first), Escape(row.second)};
    });
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const TypeShortHand (&rows)[N]) {
    return FlatTable(section, rows, [&](const TypeShortHand& row) {
      return std::vector<std::string>{std::to_string(row.code), Escape(row.qualifiers),
                                      Escape(row.name), Escape(row.value)};
    });
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const TypeConversionRow (&rows)[N]) {
    return FlatTable(section, rows, [&](const TypeConversionRow& row) {
      return std::vector<std::string>{Escape(row.first), Escape(row.second), Escape(row.third)};
    });
  }

  // The columns of a section whose records hold a statement list: its leaf
  // fields, those that name no list of others, in the catalogue's order.
  std::vector<std::string> LeafColumns(const SectionEntry& section) {
    std::vector<std::string> headings;
    for (const FieldName& field : section.fields) {
      bool list =
          std::any_of(section.fields.begin(), section.fields.end(), [&](const FieldName& f) {
            return f.path.size() > field.path.size() && f.path.starts_with(field.path) &&
                   f.path[field.path.size()] == '.';
          });
      if (list) continue;
      // "statements.slots.kind" is the field "kind" of the list below the table.
      size_t dot = field.path.rfind('.');
      if (dot == std::string_view::npos) {
        headings.push_back(Column(section.table, field.path));
      } else {
        headings.push_back(
            Column(std::string(section.table) + "." + std::string(field.path.substr(0, dot)),
                   field.path.substr(dot + 1)));
      }
    }
    return headings;
  }

  // The words of a statement, each ended by its mark byte in the file.
  std::string StatementText(StringRef text) const {
    std::vector<std::string> words;
    for (std::string_view word : StatementTextWords(Text(text))) words.push_back(Escaped(word));
    return Joined(words, " ");
  }

  // A row per statement of the records up to the one whose first field is
  // empty: `first` is the cell of the record's own field.
  template <typename Record, size_t N, typename First>
  std::string StatementTable(const SectionEntry& section, const Record (&records)[N], First first) {
    Table table(headings_.List(section.table), LeafColumns(section));
    for (const Record& record : records) {
      std::string cell = first(record);
      if (!Stored(record) || cell.empty()) break;
      for (const StatementSlot& slot : record.statements.slots) {
        if (slot.kind == 0 || EqualsNoCase(Text(slot.kind), kStatementEndKind)) break;
        table.Row({cell, Escape(slot.kind), StatementText(slot.text)});
      }
    }
    return table.Html();
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const PrologEpilogEntry (&entries)[N]) {
    return StatementTable(section, entries, [&](const PrologEpilogEntry& entry) {
      return entry.condition == 0 ? std::string() : ConditionText(Text(entry.condition));
    });
  }

  template <size_t N>
  std::string Information(const SectionEntry& section, const OutputSyntaxRecord (&records)[N]) {
    return StatementTable(section, records,
                          [&](const OutputSyntaxRecord& record) { return Escape(record.name); });
  }

  // The other tables have parts of their own.
  template <typename Other>
  std::string Information(const SectionEntry&, const Other&) const {
    return {};
  }

  // The tables of one row per record, the numbered tables and the conditional
  // lists, in block order.
  std::string InformationTables() {
    std::string out;
    ForEachTable(
        [&](const SectionEntry& section, const auto& table) { out += Information(section, table); },
        *block_);
    return out;
  }

  // A map is drawn when anything but its number is stored, or a number other
  // than the -1 that marks the slot after the last map.
  static bool MapStored(const MemoryMap& map) {
    MemoryMap numberOnly{};
    numberOnly.number = map.number;
    return std::memcmp(&map, &numberOnly, sizeof map) != 0 || (map.number != 0 && map.number != -1);
  }

  std::string MemoryMaps() {
    std::string out;
    for (const MemoryMapCondition& block : block_->memoryMaps) {
      for (const MemoryMap& map : block.maps) {
        if (MapStored(map)) out += Map(Text(block.condition), map);
      }
    }
    return out.empty() ? "<p>No memory maps.</p>\n" : out;
  }

  std::string Map(std::string_view condition, const MemoryMap& map) {
    std::vector<MapEntry> entries;
    std::vector<std::string> headings;
    for (int i = 0; i < 8; ++i) {
      headings.push_back(Column("memoryMaps.maps.entries", "fields[" + std::to_string(i) + "]"));
    }
    Table table("", std::move(headings));
    for (const MemoryMapEntry& stored : map.entries) {
      if (!Stored(stored)) continue;
      MapEntry entry{map.number, {}};
      std::vector<std::string> cells;
      for (int i = 0; i < 8; ++i) {
        entry.fields[i] = Text(stored.fields[i]);
        cells.push_back(Escaped(entry.fields[i]));
      }
      entries.push_back(entry);
      table.Row(std::move(cells));
    }
    return "<section class=\"memory-map\"><h3>" + std::to_string(map.number) + ": " +
           Escape(map.title) + "</h3>\n<p class=\"condition\">" + ConditionText(condition) +
           "</p>\n<p>" + Escape(map.description) + "</p>\n<p>" +
           Column("memoryMaps.maps", "mainFlash") + ": " + Escape(map.mainFlash) + ", " +
           Column("memoryMaps.maps", "secondaryFlash") + ": " + Escape(map.secondaryFlash) +
           "</p>\n<div class=\"figure-row\"><div>" +
           (entries.empty() ? std::string("<p>No ranges.</p>") : AddressBarSvg(entries)) +
           "</div><div>" + table.Html() + "</div></div></section>\n";
  }

  const DabFile& file_;
  std::unique_ptr<TableBlock> block_;
  Headings headings_{TableNames::OfDab()};
  std::map<std::string, std::vector<std::string>, std::less<>> aliasesOf_, groupsOf_;
};

}  // namespace

std::string DabReport(const DabFile& file, std::string_view name, std::string_view title,
                      std::string_view index) {
  DabWriter writer(file);
  std::string body = writer.Body(name, title, index);
  return Page(title.empty() ? Escaped(name) + " \u2013 device report" : Escaped(title), body);
}

}  // namespace qelc::report
