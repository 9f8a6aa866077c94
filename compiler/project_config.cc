#include "compiler/project_config.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compiler/compilation.h"
#include "source/ascii.h"

namespace qelc {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
  size_t start = text.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  for (size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;
       start = text.find_first_not_of(kBlanks, start)) {
    size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
    words.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

bool IsWarningCheck(std::string_view name) {
  std::vector<const WarningCheck*> checks = AllWarningChecks();
  return std::any_of(checks.begin(), checks.end(),
                     [name](const WarningCheck* check) { return check->name == name; });
}

}  // namespace

void ProjectConfig::Apply(WarningSet& on) const {
  for (const WarningCheck* check : AllWarningChecks()) {
    for (const auto& [name, enabled] : checks) {
      if (name != check->name) continue;
      if (enabled) {
        on.insert(check->name);
      } else {
        on.erase(check->name);
      }
    }
  }
}

void ProjectConfig::ReportProblems(std::vector<Diagnostic>& findings) const {
  for (const auto& [line, words] : problems) {
    Diagnostic& problem = findings.emplace_back();
    problem.check = "project-config";
    problem.message = words;
    problem.location.file = path;
    problem.location.line = problem.location.endLine = line;
  }
}

ProjectConfig ParseProjectConfig(std::string_view text, std::string path) {
  ProjectConfig config;
  config.path = std::move(path);
  std::string section;
  int32_t number = 0;
  std::istringstream lines{std::string(text)};
  for (std::string read; std::getline(lines, read);) {
    ++number;
    std::string_view line = Trimmed(read);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Trimmed(line.substr(1, line.size() - 2));
      if (section != "checks" && section != "names") {
        config.problems.emplace_back(number,
                                     "unknown section [" + section + "]; known: [checks], [names]");
      }
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      config.problems.emplace_back(number, "expected NAME = VALUE or [SECTION]");
      continue;
    }
    std::string key(Trimmed(line.substr(0, equals)));
    std::string_view value = Trimmed(line.substr(equals + 1));
    if (section == "checks") {
      if (!IsWarningCheck(key)) {
        config.problems.emplace_back(
            number, "no warning check is named " + key + " (see qellint --list-checks)");
      } else if (value != "on" && value != "off") {
        config.problems.emplace_back(number,
                                     "a check is on or off, not '" + std::string(value) + "'");
      } else {
        config.checks.emplace_back(key, value == "on");
      }
    } else if (section == "names" && key == "repeated") {
      config.repeatedPinNames = Words(value);
    } else if (section == "names") {
      config.problems.emplace_back(number,
                                   "unknown setting " + key + " of [names]; known: repeated");
    } else if (section.empty()) {
      config.problems.emplace_back(number, "a setting before the first [SECTION]");
    }
  }
  return config;
}

std::optional<ProjectConfig> FindProjectConfig(const std::string& source) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::absolute(fs::path(source), error).parent_path();
  if (error) return std::nullopt;
  for (;;) {
    fs::path candidate = folder / kProjectConfigName;
    if (fs::is_regular_file(candidate, error)) {
      std::ifstream in(candidate, std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      // Named as the source is: relative where the source's name is.
      fs::path shown = fs::path(source).is_absolute()
                           ? candidate
                           : fs::relative(candidate, fs::current_path(error), error);
      return ParseProjectConfig(text.str(), shown.string());
    }
    if (!folder.has_parent_path() || folder.parent_path() == folder) return std::nullopt;
    folder = folder.parent_path();
  }
}

}  // namespace qelc
