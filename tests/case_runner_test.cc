// Guards the whole-program runner itself: a case whose expectation a run meets
// passes, and every kind of difference below fails it.
#include "tests/case_runner.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

// Runs one fixed case (status 2, "out" on standard output, the DAB file of an
// empty source) with a shell script standing in for the compiler; returns the
// failures, one a line.
std::string Failures(const std::string& script) {
  std::string pattern = (fs::temp_directory_path() / "qelc-runner-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return "no temporary directory";
  fs::path root = pattern;
  auto write = [](const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  };
  write(root / "case/args", "dev.daf\n");
  write(root / "case/in/dev.daf", "Device X\n");
  write(root / "case/expect/status", "2\n");
  write(root / "case/expect/stdout", "out\n");
  write(root / "case/expect/files/dev.dab.txt",
        "dev.dab: DAB file, pool 1 of 32000 bytes used\n"
        "formatVersion = \"6.0.0.0.1\"\npoolUsedSize = 1\npoolCapacity = 32000\npool@0 = \"\"\n");
  // The header ("6.0.0.0.1", pool used 1, capacity 32000), a zero block, the pool.
  write(root / "program.sh",
        "#!/bin/sh\necho out\n"
        "head -c 1979392 /dev/zero > dev.dab\n"
        "printf '6.0.0.0.1' | dd of=dev.dab conv=notrunc 2>/dev/null\n"
        "printf '\\001\\000\\000\\000\\000\\175\\000\\000' | "
        "dd of=dev.dab bs=1 seek=20 conv=notrunc 2>/dev/null\n"
        "printf '\\000' >> dev.dab\n" +
            script + "\nexit 2\n");
  fs::permissions(root / "program.sh", fs::perms::owner_all);
  CaseOutcome outcome = RunCase(root / "case", CaseSetting{(root / "program.sh").string(), QELDUMP_BINARY});
  std::string failures;
  for (const std::string& failure : outcome.failures) failures += failure + "\n";
  if (!outcome.workDirectory.empty()) fs::remove_all(outcome.workDirectory);
  fs::remove_all(root);
  return failures;
}

TEST(CaseRunner, PassesTheMatchingRunAndFailsEveryDifference) {
  EXPECT_EQ(Failures(""), "");
  struct Mismatch {
    const char* script;  // run after the matching output is written
    const char* failure;
  } mismatches[] = {
      {"exit 0", "exit status 0, expected 2"},
      {"echo more", "standard output differs"},
      {"echo oops >&2", "standard error differs"},
      // The first byte of typeShortHands[1].code.
      {"printf '\\377' | dd of=dev.dab bs=1 seek=32448 conv=notrunc 2>/dev/null",
       "typeShortHands[1].code = 255"},
      {"printf x >> dev.dab", "the reader cannot read it"},
      {"touch extra", "unexpected file extra"},
      {"rm dev.dab", "missing file dev.dab"},
      {"echo x >> dev.daf", "file dev.daf differs from in/dev.daf"},
  };
  for (const Mismatch& mismatch : mismatches) {
    EXPECT_NE(Failures(mismatch.script).find(mismatch.failure), std::string::npos)
        << mismatch.script;
  }
}

}  // namespace

}  // namespace qelc::test
