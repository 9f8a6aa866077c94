#pragma once

#include <span>
#include <string_view>

namespace qelc {

// How the tools that show a compiled file to a person (qeldump's review of two
// files, the HTML report) name each list of the file and tell its rows apart.
// Lists are named by their path in the field map without indexes, the names
// joined by '.': "pinNumbers", "pinNumbers.rows", "modules.inputs".

// A field of a row: by its name in the field map ("fields[2]" names one element
// of a list of texts), and what the source and its manual call it.
struct ColumnName {
  std::string_view field;
  std::string_view name;
  // What the value means is decided by the tools that load the file; the
  // compiler only stores it.
  bool toolsDecide = false;
};

struct ListNames {
  std::string_view path;
  // A table: the keyword of its section. A nested list: its rows, as a plural
  // noun ("pins", "ranges").
  std::string_view heading;
  // The fields whose values identify a row; none: its place in the list.
  std::span<const std::string_view> key;
  // A DAB list ends at its first entry whose field `endField` holds `endValue`
  // (a text; "" the empty text), as the file's readers stop there.
  std::string_view endField;
  std::string_view endValue;
  std::span<const ColumnName> columns;
  // Shown as one value of the row that holds it (the slots of a statement list).
  bool oneValue = false;
};

// The lists of a DAB file, tables in block order, each before its nested lists.
std::span<const ListNames> DabListNames();
// The lists of an IPB file: categories, modules, the lists of a module.
std::span<const ListNames> IpbListNames();

// The names of the list at `path`, or null.
const ListNames* FindListNames(std::span<const ListNames> lists, std::string_view path);
// The name of a field of the list's rows, or null.
const ColumnName* FindColumn(const ListNames& list, std::string_view field);

}  // namespace qelc
