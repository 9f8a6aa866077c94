#include "tests/case_runner.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <tuple>

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

// The lines of a file; a final line end closes the last line.
std::vector<std::string> ReadLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(path).value_or(""));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

// Decimal digits only, the whole text; false otherwise.
template <typename Number>
bool ParseDecimal(std::string_view digits, Number& number) {
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
}

// What one file left by the run must hold: its bytes, or for a DAB or IPB file
// the reader's text of it.
struct ExpectedFile {
  bool readerText = false;
  std::string bytes;
  std::string origin;  // the case file it comes from, for messages
};

// The files of in/ unchanged, then those of expect/files/ by their real names.
// Throws std::invalid_argument when an expected file cannot be read.
std::map<std::string, ExpectedFile> ExpectedFiles(const fs::path& folder) {
  std::map<std::string, ExpectedFile> expected;
  for (const char* place : {"in", "expect/files"}) {
    for (const std::string& name : ListFiles(folder / place)) {
      std::string origin = std::string(place) + "/" + name;
      std::optional<std::string> bytes = ReadFile(folder / origin);
      if (!bytes) throw std::invalid_argument("cannot read " + origin);
      fs::path path(name);
      bool readerText = place != std::string_view("in") && path.extension() == ".txt" &&
                        (path.stem().extension() == ".dab" || path.stem().extension() == ".ipb");
      std::string real = readerText ? name.substr(0, name.size() - 4) : name;
      expected[real] = ExpectedFile{readerText, *bytes, origin};
    }
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
  const std::string_view plain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._/-+=";
  std::string shown = program;
  for (const std::string& argument : arguments) {
    bool bare = !argument.empty() && argument.find_first_not_of(plain) == std::string::npos;
    shown += bare ? " " + argument : " \"" + Escape(argument) + "\"";
  }
  return shown;
}

std::string Indent(const std::string& text) {
  std::string indented = "  ";
  for (char c : text) indented += c == '\n' ? std::string("\n  ") : std::string(1, c);
  return indented;
}

// One line of a case's `setup` file: `mkdir PATH` or `readonly PATH`.
struct SetupStep {
  bool readOnly = false;
  fs::path path;       // relative to the working directory
  std::string origin;  // "setup:N", for messages
};

// What a case asks of the run's surroundings: its `limits` and `setup` files.
struct Surroundings {
  ChildLimits limits;
  std::vector<SetupStep> steps;
};

// Calls `take` with "FILE:N" and the words of each line of the case file `name`;
// blank lines and `#` comment lines are left out.
template <typename Take>
void ForEachWordLine(const fs::path& folder, const std::string& name, Take take) {
  int number = 0;
  for (const std::string& line : ReadLines(folder / name)) {
    ++number;
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    if (!words.empty() && words[0][0] != '#') take(name + ":" + std::to_string(number), words);
  }
}

// Reads `limits` and `setup`; throws std::invalid_argument naming the line.
Surroundings ReadSurroundings(const fs::path& folder) {
  Surroundings surroundings;
  auto fail = [](const std::string& message) { throw std::invalid_argument(message); };
  ForEachWordLine(folder, "limits", [&](const std::string& origin, const auto& words) {
    if (words.size() != 2 || words[0] != "filesize") fail(origin + ": expected 'filesize BYTES'");
    if (surroundings.limits.fileSize) fail(origin + ": filesize twice");
    unsigned long long bytes = 0;
    if (!ParseDecimal(words[1], bytes)) fail(origin + ": '" + words[1] + "' is no byte count");
    surroundings.limits.fileSize = bytes;
  });
  ForEachWordLine(folder, "setup", [&](const std::string& origin, const auto& words) {
    if (words.size() != 2 || (words[0] != "mkdir" && words[0] != "readonly")) {
      fail(origin + ": expected 'mkdir NAME' or 'readonly NAME'");
    }
    SetupStep step{words[0] == "readonly", fs::path(words[1]).lexically_normal(), origin};
    if (!step.readOnly && step.path == ".") fail(origin + ": mkdir needs a name");
    // The path must stay inside the working directory: relative, no `..`.
    if (step.path.empty() || step.path.is_absolute() ||
        std::find(step.path.begin(), step.path.end(), fs::path("..")) != step.path.end()) {
      fail(origin + ": '" + words[1] + "' is not a path inside the working directory");
    }
    surroundings.steps.push_back(std::move(step));
  });
  return surroundings;
}

// The permissions that a setup took away, given back (in reverse order) before
// the case's directory is compared and removed.
using TakenPermissions = std::vector<std::pair<fs::path, fs::perms>>;

void GiveBack(TakenPermissions& taken) {
  for (auto entry = taken.rbegin(); entry != taken.rend(); ++entry) {
    std::error_code ignored;  // the run may have removed the file
    fs::permissions(entry->first, entry->second, fs::perm_options::replace, ignored);
  }
  taken.clear();
}

// Applies the setup steps in `work`. Returns a failure of the case, or empty.
std::string ApplySetup(const std::vector<SetupStep>& steps, const fs::path& work,
                       TakenPermissions& taken) {
  for (const SetupStep& step : steps) {
    fs::path path = work / step.path;
    std::error_code error;
    if (!step.readOnly) {
      if (fs::exists(fs::symlink_status(path)) || !fs::create_directories(path, error)) {
        return step.origin + ": cannot make the directory " + step.path.string() +
               (error ? ": " + error.message() : ": it exists");
      }
      continue;
    }
    fs::file_status status = fs::status(path, error);
    if (!error) {
      taken.emplace_back(path, status.permissions());
      fs::permissions(path, fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write, fs::perm_options::remove, error);
    }
    if (error) return step.origin + ": " + step.path.string() + ": " + error.message();
  }
  return {};
}

// Why the case cannot run here, or empty: a read-only mark that this user can
// write through anyway (permission bits do not bind root).
std::string UnboundReadOnly(const std::vector<SetupStep>& steps, const fs::path& work) {
  for (const SetupStep& step : steps) {
    if (step.readOnly && faccessat(AT_FDCWD, (work / step.path).c_str(), W_OK, AT_EACCESS) == 0) {
      return step.origin + ": readonly " + step.path.string() +
             " does not bind this user (permission bits are not checked for it, as for root)";
    }
  }
  return {};
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
  const std::tuple<const char*, const char*, const std::string&> streams[] = {
      {"stdout", "output", run.out}, {"stderr", "error", run.err}};
  for (const auto& [file, stream, actual] : streams) {
    std::string difference =
        DescribeTextDifference(ReadFile(folder / "expect" / file).value_or(""), actual);
    if (!difference.empty()) {
      failures.push_back(command + ": standard " + stream + " differs:\n" + Indent(difference));
    }
  }
  std::set<std::string> actualFiles = ListFiles(work);
  for (const auto& [name, expected] : expectedFiles) {
    std::optional<std::string> actual = ReadFile(work / name);
    if (!actualFiles.count(name)) {
      failures.push_back(command + ": missing file " + name + " (expected by " + expected.origin +
                         ")");
    } else if (!actual) {
      failures.push_back(command + ": cannot read the file " + name + " that the run left");
    } else if (std::string difference = CompareFile(expected, *actual, name, work, setting);
               !difference.empty()) {
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
  auto fail = [&outcome](const std::string& failure) {
    outcome.failures.push_back(failure);
    return outcome;
  };
  std::optional<std::string> statusText = ReadFile(folder / "expect" / "status");
  if (!statusText) return fail("the case has no expect/status");
  std::string_view digits = *statusText;
  digits = digits.substr(0, digits.find_last_not_of(" \t\r\n\v\f") + 1);
  int expectedStatus = -1;
  if (!ParseDecimal(digits, expectedStatus) || expectedStatus < 0 || expectedStatus > 255) {
    return fail("expect/status is not a decimal status: \"" + Escape(*statusText) + "\"");
  }
  std::map<std::string, ExpectedFile> expectedFiles;
  Surroundings surroundings;
  try {
    expectedFiles = ExpectedFiles(folder);
    surroundings = ReadSurroundings(folder);
  } catch (const std::invalid_argument& error) {
    return fail(std::string("the case's files are malformed: ") + error.what());
  }
  // A case of the reader or the linter names it in its `program` file.
  std::vector<std::string> programFile = ReadLines(folder / "program");
  std::string programName = programFile.empty() ? "qelc" : programFile.front();
  const std::map<std::string, std::string> programs = {
      {"qelc", setting.program},
      {"qeldump", setting.reader},
      {"qellint", setting.linter},
      {"qel", setting.qel}};
  auto program = programs.find(programName);
  if (programFile.size() > 1 || program == programs.end()) {
    return fail("the case's program file names none of qelc, qeldump, qellint and qel");
  }
  std::vector<std::string> arguments = ReadLines(folder / "args");
  std::string command = ShowCommand(programName, arguments);

  std::string pattern = (fs::temp_directory_path() / "qelc-case-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return fail("cannot create a temporary directory");
  outcome.workDirectory = pattern;
  if (fs::exists(folder / "in")) {
    fs::copy(folder / "in", outcome.workDirectory,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  TakenPermissions taken;
  std::string setupFailure = ApplySetup(surroundings.steps, outcome.workDirectory, taken);
  outcome.skipped =
      setupFailure.empty() ? UnboundReadOnly(surroundings.steps, outcome.workDirectory) : "";
  if (!setupFailure.empty() || !outcome.skipped.empty()) {
    GiveBack(taken);
    if (!setupFailure.empty()) return fail(setupFailure);
    std::error_code ignored;
    fs::remove_all(outcome.workDirectory, ignored);
    return outcome;
  }
  ChildRun run = RunChild(program->second, arguments,
                          outcome.workDirectory.string(), setting.timeLimit, kSanitizerDefaults,
                          surroundings.limits);
  GiveBack(taken);
  if (!run.problem.empty()) {
    outcome.failures.push_back(run.problem);
  } else if (run.timedOut) {
    outcome.failures.push_back(command + " was still running after " +
                               std::to_string(setting.timeLimit.count()) + " ms and was killed");
  } else if (run.signal != 0) {
    outcome.failures.push_back(command + " was ended by signal " + std::to_string(run.signal) +
                               "; standard error:\n" + run.err);
  } else {
    outcome.failures = CompareRun(folder, run, command, expectedFiles, expectedStatus,
                                  outcome.workDirectory, setting);
  }
  if (outcome.failures.empty()) {
    std::error_code ignored;
    fs::remove_all(outcome.workDirectory, ignored);
  }
  return outcome;
}

}  // namespace qelc::test
