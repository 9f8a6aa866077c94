#include "tests/case_runner.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "tests/child_process.h"
#include "tests/sanitizer_options.h"
#include "tests/text_diff.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

// The compiler runs with the test programs' sanitizer options, unless the
// caller chose its own.
const std::vector<std::string> kSanitizerDefaults = {
    std::string("ASAN_OPTIONS=") + kAddressSanitizerOptions,
    std::string("UBSAN_OPTIONS=") + kUndefinedSanitizerOptions,
};

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Every file below `root` (directories themselves aside), by relative path.
std::set<std::string> ListFiles(const fs::path& root) {
  std::set<std::string> files;
  if (!fs::exists(root)) return files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (entry.symlink_status().type() == fs::file_type::directory) continue;
    files.insert(entry.path().lexically_relative(root).generic_string());
  }
  return files;
}

// The arguments, one per line; a final line end closes the last argument.
std::vector<std::string> ReadArguments(const fs::path& path) {
  std::vector<std::string> arguments;
  std::optional<std::string> text = ReadFile(path);
  if (!text) return arguments;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) arguments.push_back(line);
  return arguments;
}

// What one file left by the run must hold: its bytes, or for a DAB or IPB file
// the reader's text of it.
struct ExpectedFile {
  bool readerText = false;
  std::string bytes;
  std::string origin;  // the case file it comes from, for messages
};

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The files of in/ unchanged, then those of expect/files/ by their real names.
// Throws std::invalid_argument when an expected file cannot be read.
std::map<std::string, ExpectedFile> ExpectedFiles(const fs::path& folder) {
  std::map<std::string, ExpectedFile> expected;
  fs::path in = folder / "in";
  for (const std::string& name : ListFiles(in)) {
    std::optional<std::string> bytes = ReadFile(in / name);
    if (!bytes) throw std::invalid_argument("cannot read in/" + name);
    expected[name] = ExpectedFile{false, *bytes, "in/" + name};
  }
  fs::path files = folder / "expect" / "files";
  for (const std::string& name : ListFiles(files)) {
    std::string origin = "expect/files/" + name;
    std::optional<std::string> text = ReadFile(files / name);
    if (!text) throw std::invalid_argument("cannot read " + origin);
    bool readerText = EndsWith(name, ".dab.txt") || EndsWith(name, ".ipb.txt");
    expected[readerText ? name.substr(0, name.size() - 4) : name] =
        ExpectedFile{readerText, *text, origin};
  }
  return expected;
}

// Empty when the file `name` in `work` is as expected; otherwise what differs.
std::string CompareFile(const ExpectedFile& expected, const std::string& actual,
                        const std::string& name, const fs::path& work,
                        const CaseSetting& setting) {
  if (!expected.readerText) return DescribeTextDifference(expected.bytes, actual);
  ChildRun reader = RunChild(setting.reader, {name}, work.string(), setting.timeLimit,
                             kSanitizerDefaults);
  if (!reader.problem.empty() || reader.timedOut || reader.signal != 0 || reader.exitStatus != 0) {
    return "the reader cannot read it (status " + std::to_string(reader.exitStatus) + ", signal " +
           std::to_string(reader.signal) + "): " + reader.problem + reader.err;
  }
  return DescribeTextDifference(expected.bytes, reader.out);
}

// The command line as a shell would take it, for messages.
std::string ShowCommand(const std::string& program, const std::vector<std::string>& arguments) {
  std::string shown = program;
  for (const std::string& argument : arguments) {
    bool plain = !argument.empty() &&
                 std::all_of(argument.begin(), argument.end(), [](char c) {
                   return std::isalnum(static_cast<unsigned char>(c)) ||
                          std::string_view("._/-+=").find(c) != std::string_view::npos;
                 });
    shown += plain ? " " + argument : " \"" + Escape(argument) + "\"";
  }
  return shown;
}

std::string Indent(const std::string& text) {
  std::string indented = "  ";
  for (char c : text) {
    indented += c;
    if (c == '\n') indented += "  ";
  }
  return indented;
}

// One line of a case's `setup` file.
struct SetupStep {
  enum class Kind { kMakeDirectory, kReadOnly } kind;
  fs::path path;       // relative to the working directory
  std::string origin;  // "setup:N", for messages
};

// What a case asks of the run's surroundings: its `limits` and `setup` files.
struct Surroundings {
  ChildLimits limits;
  std::vector<SetupStep> steps;
};

// The lines of a case file as words; blank lines and `#` comment lines are left
// out. Each entry keeps its line number.
std::vector<std::pair<int, std::vector<std::string>>> WordLines(const std::string& text) {
  std::vector<std::pair<int, std::vector<std::string>>> lines;
  std::istringstream stream(text);
  int number = 0;
  for (std::string line; std::getline(stream, line);) {
    ++number;
    std::istringstream words(line);
    std::vector<std::string> split;
    for (std::string word; words >> word;) split.push_back(word);
    if (split.empty() || split[0][0] == '#') continue;
    lines.emplace_back(number, std::move(split));
  }
  return lines;
}

// A path that stays inside the working directory: relative, no `..`.
bool StaysInside(const fs::path& path) {
  if (path.empty() || path.is_absolute()) return false;
  return std::none_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; });
}

// Reads `limits` and `setup`; throws std::invalid_argument naming the line.
Surroundings ReadSurroundings(const fs::path& folder) {
  Surroundings surroundings;
  for (const auto& [number, words] : WordLines(ReadFile(folder / "limits").value_or(""))) {
    std::string origin = "limits:" + std::to_string(number);
    if (words.size() != 2 || words[0] != "filesize") {
      throw std::invalid_argument(origin + ": expected 'filesize BYTES'");
    }
    if (surroundings.limits.fileSize) throw std::invalid_argument(origin + ": filesize twice");
    unsigned long long bytes = 0;
    const std::string& digits = words[1];
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), bytes);
    if (error != std::errc() || end != digits.data() + digits.size()) {
      throw std::invalid_argument(origin + ": '" + digits + "' is no byte count");
    }
    surroundings.limits.fileSize = bytes;
  }
  for (const auto& [number, words] : WordLines(ReadFile(folder / "setup").value_or(""))) {
    std::string origin = "setup:" + std::to_string(number);
    SetupStep step{SetupStep::Kind::kMakeDirectory, {}, origin};
    if (words.size() == 2 && words[0] == "mkdir") {
      step.path = fs::path(words[1]).lexically_normal();
      if (step.path == ".") throw std::invalid_argument(origin + ": mkdir needs a name");
    } else if (words.size() == 2 && words[0] == "readonly") {
      step.kind = SetupStep::Kind::kReadOnly;
      step.path = fs::path(words[1]).lexically_normal();
    } else {
      throw std::invalid_argument(origin + ": expected 'mkdir NAME' or 'readonly NAME'");
    }
    if (!StaysInside(step.path)) {
      throw std::invalid_argument(origin + ": '" + words[1] +
                                  "' is not a path inside the working directory");
    }
    surroundings.steps.push_back(std::move(step));
  }
  return surroundings;
}

// The permissions that a setup took away, to be given back before the case's
// directory is compared and removed.
struct TakenPermissions {
  std::vector<std::pair<fs::path, fs::perms>> original;

  void GiveBack() {
    for (auto entry = original.rbegin(); entry != original.rend(); ++entry) {
      std::error_code ignored;  // the run may have removed the file
      fs::permissions(entry->first, entry->second, fs::perm_options::replace, ignored);
    }
    original.clear();
  }
};

// Applies the setup steps in `work`. Returns a failure of the case, or empty.
std::string ApplySetup(const std::vector<SetupStep>& steps, const fs::path& work,
                       TakenPermissions& taken) {
  for (const SetupStep& step : steps) {
    fs::path path = work / step.path;
    std::error_code error;
    if (step.kind == SetupStep::Kind::kMakeDirectory) {
      if (fs::exists(fs::symlink_status(path)) || !fs::create_directories(path, error)) {
        return step.origin + ": cannot make the directory " + step.path.string() +
               (error ? ": " + error.message() : ": it exists");
      }
      continue;
    }
    fs::file_status status = fs::status(path, error);
    if (error) return step.origin + ": " + step.path.string() + ": " + error.message();
    taken.original.emplace_back(path, status.permissions());
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, error);
    if (error) return step.origin + ": " + step.path.string() + ": " + error.message();
  }
  return {};
}

// Why the case cannot run here, or empty: a read-only mark that this user can
// write through anyway (permission bits do not bind root).
std::string UnboundReadOnly(const std::vector<SetupStep>& steps, const fs::path& work) {
  for (const SetupStep& step : steps) {
    if (step.kind != SetupStep::Kind::kReadOnly) continue;
    if (faccessat(AT_FDCWD, (work / step.path).c_str(), W_OK, AT_EACCESS) == 0) {
      return step.origin + ": readonly " + step.path.string() +
             " does not bind this user (permission bits are not checked for it, as for root)";
    }
  }
  return {};
}

fs::path MakeWorkDirectory() {
  std::string pattern = (fs::temp_directory_path() / "qelc-case-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  return pattern;
}

// Compares what the run printed and left; returns the failures.
std::vector<std::string> CompareRun(const fs::path& folder, const ChildRun& run,
                                    const std::string& command,
                                    const std::map<std::string, ExpectedFile>& expectedFiles,
                                    int expectedStatus, const fs::path& work,
                                    const CaseSetting& setting) {
  std::vector<std::string> failures;
  if (run.exitStatus != expectedStatus) {
    failures.push_back(command + ": exit status " + std::to_string(run.exitStatus) +
                       ", expected " + std::to_string(expectedStatus));
  }
  std::string difference =
      DescribeTextDifference(ReadFile(folder / "expect" / "stdout").value_or(""), run.out);
  if (!difference.empty()) {
    failures.push_back(command + ": standard output differs:\n" + Indent(difference));
  }
  difference = DescribeTextDifference(ReadFile(folder / "expect" / "stderr").value_or(""), run.err);
  if (!difference.empty()) {
    failures.push_back(command + ": standard error differs:\n" + Indent(difference));
  }

  std::set<std::string> actualFiles = ListFiles(work);
  for (const auto& [name, expected] : expectedFiles) {
    if (!actualFiles.count(name)) {
      failures.push_back(command + ": missing file " + name + " (expected by " + expected.origin +
                         ")");
      continue;
    }
    std::optional<std::string> actual = ReadFile(work / name);
    if (!actual) {
      failures.push_back(command + ": cannot read the file " + name + " that the run left");
      continue;
    }
    difference = CompareFile(expected, *actual, name, work, setting);
    if (!difference.empty()) {
      failures.push_back(command + ": file " + name + " differs from " + expected.origin + ":\n" +
                         Indent(difference));
    }
  }
  for (const std::string& name : actualFiles) {
    if (!expectedFiles.count(name)) failures.push_back(command + ": unexpected file " + name);
  }
  return failures;
}

}  // namespace

CaseOutcome RunCase(const fs::path& folder, const CaseSetting& setting) {
  CaseOutcome outcome;
  std::optional<std::string> statusText = ReadFile(folder / "expect" / "status");
  if (!statusText) {
    outcome.failures.push_back("the case has no expect/status");
    return outcome;
  }
  int expectedStatus = -1;
  std::string_view digits = *statusText;
  while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.back()))) {
    digits.remove_suffix(1);
  }
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), expectedStatus);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      expectedStatus < 0 || expectedStatus > 255) {
    outcome.failures.push_back("expect/status is not a decimal status: \"" +
                               Escape(*statusText) + "\"");
    return outcome;
  }
  std::map<std::string, ExpectedFile> expectedFiles;
  Surroundings surroundings;
  try {
    expectedFiles = ExpectedFiles(folder);
    surroundings = ReadSurroundings(folder);
  } catch (const std::invalid_argument& error) {
    outcome.failures.push_back(std::string("the case's files are malformed: ") + error.what());
    return outcome;
  }
  // A case of the reader names it in its `program` file.
  std::vector<std::string> programName = ReadArguments(folder / "program");
  bool runsReader = programName == std::vector<std::string>{"qeldump"};
  if (!programName.empty() && !runsReader && programName != std::vector<std::string>{"qelc"}) {
    outcome.failures.push_back("the case's program file names neither qelc nor qeldump");
    return outcome;
  }
  std::vector<std::string> arguments = ReadArguments(folder / "args");
  std::string command = ShowCommand(runsReader ? "qeldump" : "qelc", arguments);

  outcome.workDirectory = MakeWorkDirectory();
  if (fs::exists(folder / "in")) {
    fs::copy(folder / "in", outcome.workDirectory,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  TakenPermissions taken;
  std::string setupFailure = ApplySetup(surroundings.steps, outcome.workDirectory, taken);
  if (!setupFailure.empty()) {
    taken.GiveBack();
    outcome.failures.push_back(setupFailure);
    return outcome;
  }
  outcome.skipped = UnboundReadOnly(surroundings.steps, outcome.workDirectory);
  if (!outcome.skipped.empty()) {
    taken.GiveBack();
    std::error_code ignored;
    fs::remove_all(outcome.workDirectory, ignored);
    return outcome;
  }
  ChildRun run = RunChild(runsReader ? setting.reader : setting.program, arguments, outcome.workDirectory.string(),
                          setting.timeLimit, kSanitizerDefaults, surroundings.limits);
  taken.GiveBack();
  if (!run.problem.empty()) {
    outcome.failures.push_back(run.problem);
  } else if (run.timedOut) {
    outcome.failures.push_back(command + " was still running after " +
                               std::to_string(setting.timeLimit.count()) +
                               " ms and was killed");
  } else if (run.signal != 0) {
    outcome.failures.push_back(command + " was ended by signal " + std::to_string(run.signal) +
                               "; standard error:\n" + run.err);
  } else {
    outcome.failures =
        CompareRun(folder, run, command, expectedFiles, expectedStatus, outcome.workDirectory,
                   setting);
  }
  if (outcome.failures.empty()) {
    std::error_code ignored;
    fs::remove_all(outcome.workDirectory, ignored);
  }
  return outcome;
}

}  // namespace qelc::test
