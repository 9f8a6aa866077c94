// Whole-program tests: one test per case folder below tests/cases/<area>/<case>/,
// found when the test program starts (tests/README.md describes a case).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/case_root.h"
#include "tests/case_runner.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

// Every case as "<area>/<case>", sorted.
std::vector<std::string> DiscoverCases() {
  std::vector<std::string> cases;
  std::error_code error;
  for (const fs::directory_entry& area : fs::directory_iterator(CaseRoot(), error)) {
    if (!area.is_directory()) continue;
    for (const fs::directory_entry& folder : fs::directory_iterator(area.path())) {
      if (!folder.is_directory()) continue;
      cases.push_back(folder.path().lexically_relative(CaseRoot()).generic_string());
    }
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

// Test names may hold letters, digits and underscores only.
std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class WholeProgram : public testing::TestWithParam<std::string> {};

TEST_P(WholeProgram, Case) {
  fs::path folder = fs::path(CaseRoot()) / GetParam();
  CaseOutcome outcome =
      RunCase(folder, CaseSetting{QELC_BINARY, QELDUMP_BINARY, QELLINT_BINARY, QEL_BINARY});
  if (!outcome.skipped.empty()) GTEST_SKIP() << outcome.skipped;
  for (const std::string& failure : outcome.failures) ADD_FAILURE() << failure;
  if (!outcome.failures.empty()) {
    std::string kept = outcome.workDirectory.empty()
                           ? std::string("the case did not run")
                           : "its working directory is kept: " + outcome.workDirectory.string();
    ADD_FAILURE() << "case folder " << folder.string() << "; " << kept;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeProgram, testing::ValuesIn(DiscoverCases()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WholeProgram);

}  // namespace

}  // namespace qelc::test
