#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qelc::test {

struct CaseSetting {
  std::string program;                    // the compiler to run
  std::string reader;                     // the reader: DAB and IPB files are compared
                                          // through its text, and cases may run it
  std::string linter{};                   // run by the cases that name it
  std::string qel{};                      // the everyday command, likewise
  std::chrono::milliseconds timeLimit{20000};
};

struct CaseOutcome {
  std::vector<std::string> failures;      // one readable message each; none when it passed
  std::string skipped;                    // why the case could not be run here; empty when it ran
  std::filesystem::path workDirectory;    // kept when the case failed, removed otherwise
};

// Runs the case in `folder` (the format of tests/README.md): copies in/ into a
// fresh temporary directory, applies the case's setup, runs the program (or the
// reader, when the case's `program` file names it) there
// with the case's arguments and limits and compares status, standard output,
// standard error and every file left. A case whose setup cannot take effect for
// this user (a read-only mark that binds no one, as for root) is skipped.
CaseOutcome RunCase(const std::filesystem::path& folder, const CaseSetting& setting);

}  // namespace qelc::test
