#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/table_names.h"

namespace qelc::report {

// The page around a report's body: its head, with the style sheet that lets the
// drawings shrink to a narrow screen, the tables scroll in their box and the
// page print without either; nothing on it is fetched from anywhere.
std::string Page(std::string_view escapedTitle, const std::string& body);
// The line at the top of a page that leads back to the index page `index`;
// empty when there is none.
std::string IndexLink(std::string_view index);

// A table whose cells are written escaped, in a box that scrolls when the
// table is wider or longer than the page gives it.
class Table {
 public:
  // `headings` are escaped.
  Table(std::string_view caption, std::vector<std::string> headings);

  void Row(std::vector<std::string> escapedCells);
  bool Empty() const { return rows_.empty(); }
  std::string Html() const;

 private:
  std::string caption_;
  std::vector<std::string> headings_;
  std::string rows_;
};

// The headings of a page in the words of the source, from the names of the
// file's lists. A column whose meaning the tools that load the file decide is
// marked, and the page says once what the mark means.
class Headings {
 public:
  explicit Headings(TableNames names) : names_(std::move(names)) {}

  // The heading of a list: a table's title ("Pin numbers by package"), a
  // nested list's noun.
  std::string List(std::string_view path) const;
  // The name of the field `field` of the rows of the list at `path`, escaped.
  std::string Column(std::string_view path, std::string_view field);
  // The sentence that explains the mark, when a heading carries it.
  std::string Note() const;

 private:
  TableNames names_;
  bool marked_ = false;
};

// A stored condition as the source writes it: `Always` for the condition `1`,
// `When` and the condition otherwise, or the stored words when they are no
// condition a source writes. Escaped.
std::string ConditionText(std::string_view stored);

}  // namespace qelc::report
