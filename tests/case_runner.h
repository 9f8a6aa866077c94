#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qelc::test {

struct CaseSetting {
  std::string program;                    // the compiler to run
  std::filesystem::path dabIncludes;      // where `include NAME` finds NAME.dab.txt
  std::chrono::milliseconds timeLimit{20000};
};

struct CaseOutcome {
  std::vector<std::string> failures;      // one readable message each; none when it passed
  std::filesystem::path workDirectory;    // kept when the case failed, removed otherwise
};

// Runs the case in `folder` (the format of tests/README.md): copies in/ into a
// fresh temporary directory, runs the program there with the case's arguments
// and compares status, standard output, standard error and every file left.
CaseOutcome RunCase(const std::filesystem::path& folder, const CaseSetting& setting);

}  // namespace qelc::test
