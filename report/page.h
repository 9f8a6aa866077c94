#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qelc::report {

// The page around a report's body: its head, with the style sheet that lets the
// drawings shrink to a narrow screen, the tables scroll in their box and the
// page print without either; nothing on it is fetched from anywhere.
std::string Page(std::string_view escapedTitle, const std::string& body);

// A table whose cells are written escaped, in a box that scrolls when the
// table is wider or longer than the page gives it.
class Table {
 public:
  Table(std::string_view caption, std::initializer_list<std::string_view> headings);

  void Row(std::vector<std::string> escapedCells);
  bool Empty() const { return rows_.empty(); }
  std::string Html() const;

 private:
  std::string caption_;
  std::vector<std::string_view> headings_;
  std::string rows_;
};

// A stored condition as the source writes it: `Always` for the condition `1`,
// `When` and the condition otherwise, or the stored words when they are no
// condition a source writes. Escaped.
std::string ConditionText(std::string_view stored);

}  // namespace qelc::report
