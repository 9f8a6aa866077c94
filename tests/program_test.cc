// Whole-program tests: one test per case folder below tests/cases/<area>/<case>/,
// found when the test program starts (tests/README.md describes a case).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/case_root.h"
#include "tests/case_runner.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

struct Case {
  std::string name;  // <area>/<case>
  fs::path folder;
};

// Names the case in test listings and failures.
void PrintTo(const Case& testCase, std::ostream* out) { *out << testCase.name; }

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

class WholeProgram : public testing::TestWithParam<Case> {};

TEST_P(WholeProgram, Case) {
  const Case& testCase = GetParam();
  CaseOutcome outcome = RunCase(testCase.folder, CaseSetting{QELC_BINARY, QELDUMP_BINARY});
  if (!outcome.skipped.empty()) GTEST_SKIP() << outcome.skipped;
  for (const std::string& failure : outcome.failures) ADD_FAILURE() << failure;
  if (!outcome.failures.empty()) {
    std::string kept = outcome.workDirectory.empty()
                           ? std::string("the case did not run")
                           : "its working directory is kept: " + outcome.workDirectory.string();
    ADD_FAILURE() << "case folder " << testCase.folder.string() << "; " << kept;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeProgram, testing::ValuesIn(DiscoverCases()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WholeProgram);

}  // namespace

}  // namespace qelc::test
