#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qelc {

// The catalogue's names of the lists of a compiled file, arranged for the
// tools that show a file to a person (qeldump's review of two files, the HTML
// report). A list is named by its path in the field map without indexes, the
// names joined by '.': "pinNumbers", "pinNumbers.rows", "modules.inputs".

// `path` and `name` joined by '.', either of them alone when the other is empty.
std::string JoinedPath(std::string_view path, std::string_view name);

// A field of a list's rows: its name in the field map ("fields[2]" is one
// element of a list of texts, "items" all of them) and in the source's words.
struct ColumnName {
  std::string field;
  std::string name;
  bool key = false;
  // What the value means belongs to the tools that load the file.
  bool toolsDecide = false;
};

struct ListNames {
  std::string path;
  std::string keyword;  // of the section that fills a DAB table; empty for other lists
  std::string heading;  // "Pin numbers by package"; a nested list: its rows, "pins"
  std::vector<ColumnName> columns;

  // The keyword of a table, else the heading.
  const std::string& Title() const { return keyword.empty() ? heading : keyword; }
  const ColumnName* Column(std::string_view field) const;
  std::vector<std::string_view> Key() const;
};

class TableNames {
 public:
  static TableNames OfDab();
  static TableNames OfIpb();

  // The list at `path`, or null.
  const ListNames* Find(std::string_view path) const;
  // How many lists of records stand directly below the list at `path`.
  size_t ListsBelow(std::string_view path) const;

 private:
  ListNames& At(const std::string& path);

  std::vector<ListNames> lists_;
};

}  // namespace qelc
