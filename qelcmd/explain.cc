#include "qelcmd/explain.h"

#include "qelcmd/lint_doc.h"

namespace qelc::qelcmd {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// The level of a heading line (1 for "# ", 2 for "## ", ...), 0 for any other.
size_t HeadingLevel(std::string_view line) {
  size_t hashes = line.find_first_not_of('#');
  return hashes != std::string_view::npos && hashes > 0 && line[hashes] == ' ' ? hashes : 0;
}

// The cells of a table row "| a | b | c |", split at the bars outside code.
std::vector<std::string> Cells(std::string_view row) {
  std::vector<std::string> cells;
  std::string cell;
  bool inCode = false;
  for (char c : row.substr(1)) {
    if (c == '`') inCode = !inCode;
    if (c != '|' || inCode) {
      cell += c;
      continue;
    }
    size_t first = cell.find_first_not_of(' ');
    size_t last = cell.find_last_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    cell.clear();
  }
  return cells;
}

// "`name`" without its backquotes, or empty for any other text.
std::string_view CodeWord(std::string_view text) {
  if (text.size() < 3 || text.front() != '`') return {};
  size_t close = text.find('`', 1);
  return close == std::string_view::npos ? std::string_view{} : text.substr(1, close - 1);
}

// A warning's section as a terminal shows it: its code blocks indented, the
// file a source block stands for before it, the fences left out.
std::string SectionText(const std::vector<std::string_view>& body) {
  std::string text;
  bool inFence = false;
  for (std::string_view line : body) {
    if (line.starts_with("```")) {
      inFence = !inFence;
      size_t name = line.rfind(' ');
      if (inFence && name != std::string_view::npos) {
        text += std::string(line.substr(name + 1)) + ":\n";
      }
      continue;
    }
    text += inFence && !line.empty() ? "    " : "";
    text += line;
    text += '\n';
  }
  size_t end = text.find_last_not_of('\n');
  size_t begin = text.find_first_not_of('\n');
  return begin == std::string::npos ? "" : text.substr(begin, end - begin + 1) + "\n";
}

}  // namespace

std::vector<CheckHelp> DocumentedChecks(std::string_view manual) {
  std::vector<CheckHelp> checks;
  std::string_view chapter;
  std::vector<std::string_view> section;
  std::string sectionName;
  bool inFence = false;
  bool inErrorTable = false;
  auto closeSection = [&] {
    if (!sectionName.empty()) checks.push_back({sectionName, SectionText(section)});
    sectionName.clear();
    section.clear();
  };
  for (std::string_view line : Lines(manual)) {
    if (line.starts_with("```")) inFence = !inFence;
    size_t level = inFence ? 0 : HeadingLevel(line);
    if (level > 0 && level <= 3) {
      closeSection();
      if (level <= 2) chapter = line.substr(level + 1);
      inErrorTable = level == 2 && chapter == "Errors";
      // "### `name` (on)": a warning's own section.
      std::string_view title = line.substr(level + 1);
      if (level == 3 && chapter == "Warnings" && !CodeWord(title).empty()) {
        sectionName = CodeWord(title);
        section.push_back(title.substr(sectionName.size() + 3));
      }
      continue;
    }
    if (!sectionName.empty()) {
      section.push_back(line);
    } else if (inErrorTable && line.starts_with("| `")) {
      std::vector<std::string> cells = Cells(line);
      if (cells.size() < 3) continue;
      checks.push_back({std::string(CodeWord(cells[0])),
                        "(an error)\n\n" + cells[1] + ".\n\nFor example: " + cells[2] + "\n"});
    }
  }
  closeSection();
  return checks;
}

std::string_view LintManual() { return kLintManualText; }

}  // namespace qelc::qelcmd
