#include "formats/table_names.h"

#include <algorithm>

#include "formats/catalogue.h"

namespace qelc {

std::string JoinedPath(std::string_view path, std::string_view name) {
  if (path.empty() || name.empty()) return std::string(path.empty() ? name : path);
  return std::string(path) + "." + std::string(name);
}

const ColumnName* ListNames::Column(std::string_view field) const {
  for (const ColumnName& column : columns) {
    if (column.field == field) return &column;
  }
  return nullptr;
}

std::vector<std::string_view> ListNames::Key() const {
  std::vector<std::string_view> key;
  for (const ColumnName& column : columns) {
    if (column.key) key.push_back(column.field);
  }
  return key;
}

ListNames& TableNames::At(const std::string& path) {
  for (ListNames& list : lists_) {
    if (list.path == path) return list;
  }
  lists_.push_back({path, "", "", {}});
  return lists_.back();
}

// Each field name of a section belongs to the list its path stands in: the
// table for `condition`, the rows for `rows.package`. A name whose path is a
// list of records (`rows`) is that list's heading.
TableNames TableNames::OfDab() {
  TableNames names;
  for (const SectionEntry& section : DafSections()) {
    if (section.table.empty()) continue;
    ListNames& table = names.At(std::string(section.table));
    table.keyword = section.keyword;
    table.heading = section.heading;
    for (const FieldName& field : section.fields) {
      bool listOfRecords =
          std::any_of(section.fields.begin(), section.fields.end(), [&](const FieldName& other) {
            return other.path.size() > field.path.size() && other.path.starts_with(field.path) &&
                   other.path[field.path.size()] == '.';
          });
      if (listOfRecords) {
        names.At(JoinedPath(section.table, field.path)).heading = field.name;
        continue;
      }
      size_t dot = field.path.rfind('.');
      std::string_view list = dot == std::string_view::npos ? "" : field.path.substr(0, dot);
      std::string_view leaf = field.path.substr(dot == std::string_view::npos ? 0 : dot + 1);
      names.At(JoinedPath(section.table, list))
          .columns.push_back(
              {std::string(leaf), std::string(field.name), field.key, field.loaderMeaning});
    }
  }
  return names;
}

// A block fills a list of the library ("categories") or of a module
// ("inputs"); a list of texts is a field of the module.
TableNames TableNames::OfIpb() {
  TableNames names;
  for (const IpfBlockEntry& block : IpfBlocks()) {
    bool ofLibrary = block.list == "categories" || block.list == "modules";
    std::string path = ofLibrary ? std::string(block.list) : JoinedPath("modules", block.list);
    bool texts = block.fields.size() == 1 && block.fields[0].path.empty();
    if (texts) {
      const FieldName& field = block.fields[0];
      names.At("modules").columns.push_back(
          {std::string(block.list), std::string(block.heading), false, field.loaderMeaning});
      continue;
    }
    ListNames& list = names.At(path);
    list.heading = block.heading;
    for (const FieldName& field : block.fields) {
      list.columns.push_back(
          {std::string(field.path), std::string(field.name), field.key, field.loaderMeaning});
    }
  }
  return names;
}

const ListNames* TableNames::Find(std::string_view path) const {
  for (const ListNames& list : lists_) {
    if (list.path == path) return &list;
  }
  return nullptr;
}

size_t TableNames::ListsBelow(std::string_view path) const {
  return size_t(std::count_if(lists_.begin(), lists_.end(), [&](const ListNames& list) {
    std::string_view below(list.path);
    if (below.size() <= path.size() + 1 || !below.starts_with(path) || below[path.size()] != '.') {
      return false;
    }
    // A statement list stands one record further down: `statements.slots`.
    below.remove_prefix(path.size() + 1);
    return below.find('.') == std::string_view::npos || below == "statements.slots";
  }));
}

}  // namespace qelc
