// Whole-program tests: one test per case folder below tests/cases/<area>/<case>/,
// found when the test program starts (tests/README.md describes a case).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/case_root.h"
#include "tests/child_process.h"
#include "tests/dab_text.h"
#include "tests/hex_text.h"
#include "tests/sanitizer_options.h"
#include "tests/text_diff.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

constexpr auto kTimeLimit = std::chrono::seconds(20);

// The compiler runs with the test programs' sanitizer options, unless the
// caller chose its own.
const std::vector<std::string> kSanitizerDefaults = {
    std::string("ASAN_OPTIONS=") + kAddressSanitizerOptions,
    std::string("UBSAN_OPTIONS=") + kUndefinedSanitizerOptions,
};

struct Case {
  std::string name;  // <area>/<case>
  fs::path folder;
};

std::vector<Case> DiscoverCases() {
  std::vector<Case> cases;
  std::error_code error;
  for (const fs::directory_entry& area : fs::directory_iterator(CaseRoot(), error)) {
    if (!area.is_directory()) continue;
    for (const fs::directory_entry& folder : fs::directory_iterator(area.path())) {
      if (!folder.is_directory()) continue;
      cases.push_back(
          Case{area.path().filename().string() + "/" + folder.path().filename().string(),
               folder.path()});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const Case& a, const Case& b) { return a.name < b.name; });
  return cases;
}

// Test names may hold letters, digits and underscores only.
std::string TestName(const testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

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

// What one file left by the run must hold.
struct ExpectedFile {
  enum class Form { kBytes, kDab, kHex } form = Form::kBytes;
  std::string bytes;
  DabImage dab;
  std::string origin;  // the case file it comes from, for messages
};

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() > suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The files of in/ unchanged, then those of expect/files/ by their real names.
// Throws std::invalid_argument when an expected file cannot be read or expanded.
std::map<std::string, ExpectedFile> ExpectedFiles(const Case& testCase) {
  std::map<std::string, ExpectedFile> expected;
  fs::path in = testCase.folder / "in";
  for (const std::string& name : ListFiles(in)) {
    expected[name] = ExpectedFile{ExpectedFile::Form::kBytes, *ReadFile(in / name), {},
                                  "in/" + name};
  }
  fs::path files = testCase.folder / "expect" / "files";
  for (const std::string& name : ListFiles(files)) {
    std::string origin = "expect/files/" + name;
    std::optional<std::string> text = ReadFile(files / name);
    if (!text) throw std::invalid_argument("cannot read " + origin);
    ExpectedFile file{ExpectedFile::Form::kBytes, *text, {}, origin};
    std::string realName = name;
    if (EndsWith(name, ".dab.txt")) {
      realName = name.substr(0, name.size() - 4);
      file.form = ExpectedFile::Form::kDab;
      file.dab = ExpandDabText(*text, origin, IncludeDirectory(QELC_DAB_DIR));
    } else if (EndsWith(name, ".hex")) {
      realName = name.substr(0, name.size() - 4);
      file.form = ExpectedFile::Form::kHex;
      file.bytes = ParseHexText(*text, origin);
    }
    expected[realName] = std::move(file);
  }
  return expected;
}

std::string CompareFile(const ExpectedFile& expected, const std::string& actual) {
  switch (expected.form) {
    case ExpectedFile::Form::kDab:
      return DescribeDabDifference(expected.dab, actual);
    case ExpectedFile::Form::kHex:
      return DescribeByteDifference(expected.bytes, actual);
    case ExpectedFile::Form::kBytes:
      break;
  }
  return DescribeTextDifference(expected.bytes, actual);
}

// The command line as a shell would take it, for messages.
std::string ShowArguments(const std::vector<std::string>& arguments) {
  std::string shown = "qelc";
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

// Names the case in test listings and failures.
void PrintTo(const Case& testCase, std::ostream* out) { *out << testCase.name; }

class WorkDirectory {
 public:
  WorkDirectory() {
    std::string pattern = (fs::temp_directory_path() / "qelc-case-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
  }
  WorkDirectory(const WorkDirectory&) = delete;
  WorkDirectory& operator=(const WorkDirectory&) = delete;
  // Kept for inspection when the case failed.
  ~WorkDirectory() {
    if (testing::Test::HasFailure()) {
      std::fprintf(stderr, "the working directory is kept: %s\n", path_.c_str());
      return;
    }
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

class WholeProgram : public testing::TestWithParam<Case> {};

TEST_P(WholeProgram, Case) {
  const Case& testCase = GetParam();
  SCOPED_TRACE("case folder " + testCase.folder.string());

  std::optional<std::string> statusText = ReadFile(testCase.folder / "expect" / "status");
  ASSERT_TRUE(statusText) << "the case has no expect/status";
  int expectedStatus = -1;
  std::istringstream(*statusText) >> expectedStatus;
  ASSERT_GE(expectedStatus, 0) << "expect/status is not a decimal status: \""
                               << Escape(*statusText) << "\"";
  std::map<std::string, ExpectedFile> expectedFiles;
  try {
    expectedFiles = ExpectedFiles(testCase);
  } catch (const std::invalid_argument& error) {
    FAIL() << "the case's expected files are malformed: " << error.what();
  }
  std::vector<std::string> arguments = ReadArguments(testCase.folder / "args");

  WorkDirectory work;
  if (fs::exists(testCase.folder / "in")) {
    fs::copy(testCase.folder / "in", work.path(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  ChildRun run = RunChild(QELC_BINARY, arguments, work.path().string(),
                          std::chrono::duration_cast<std::chrono::milliseconds>(kTimeLimit),
                          kSanitizerDefaults);
  std::string command = ShowArguments(arguments);
  ASSERT_TRUE(run.problem.empty()) << run.problem;
  ASSERT_FALSE(run.timedOut) << command << " was still running after " << kTimeLimit.count()
                             << " s and was killed";
  ASSERT_EQ(run.signal, 0) << command << " was ended by signal " << run.signal
                           << "\nstandard error:\n" << run.err;

  EXPECT_EQ(run.exitStatus, expectedStatus) << command << ": exit status";
  std::string stdoutDiff =
      DescribeTextDifference(ReadFile(testCase.folder / "expect" / "stdout").value_or(""), run.out);
  EXPECT_TRUE(stdoutDiff.empty()) << command << ": standard output differs:\n"
                                  << Indent(stdoutDiff);
  std::string stderrDiff =
      DescribeTextDifference(ReadFile(testCase.folder / "expect" / "stderr").value_or(""), run.err);
  EXPECT_TRUE(stderrDiff.empty()) << command << ": standard error differs:\n"
                                  << Indent(stderrDiff);

  std::set<std::string> actualFiles = ListFiles(work.path());
  for (const auto& [name, expected] : expectedFiles) {
    if (!actualFiles.count(name)) {
      ADD_FAILURE() << command << ": missing file " << name << " (expected by " << expected.origin
                    << ")";
      continue;
    }
    std::optional<std::string> actual = ReadFile(work.path() / name);
    if (!actual) {
      ADD_FAILURE() << command << ": cannot read the file " << name << " the run left";
      continue;
    }
    std::string difference = CompareFile(expected, *actual);
    EXPECT_TRUE(difference.empty())
        << command << ": file " << name << " differs from " << expected.origin << ":\n"
        << Indent(difference);
  }
  for (const std::string& name : actualFiles) {
    EXPECT_TRUE(expectedFiles.count(name)) << command << ": unexpected file " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeProgram, testing::ValuesIn(DiscoverCases()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WholeProgram);

}  // namespace

}  // namespace qelc::test
