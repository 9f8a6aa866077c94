#include "tests/case_runner.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

// A case folder and a stand-in for the compiler, in a temporary directory.
class CaseRunnerTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qelc-runner-test-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::path path = root_ / "case" / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Runs the case with a shell script as the compiler.
  CaseOutcome Run(const std::string& script, int limitMs = 10000) {
    fs::path program = root_ / "program.sh";
    std::ofstream(program) << "#!/bin/sh\n" << script << "\n";
    fs::permissions(program, fs::perms::owner_all);
    fs::create_directories(root_ / "dab");
    std::ofstream(root_ / "dab" / "empty.dab.txt") << "pool \"\"\n";
    outcome_ = RunCase(root_ / "case",
                       CaseSetting{program.string(), root_ / "dab", std::chrono::milliseconds(limitMs)});
    return outcome_;
  }

  // True when some failure message holds `text`.
  bool Failed(const std::string& text) const {
    for (const std::string& failure : outcome_.failures) {
      if (failure.find(text) != std::string::npos) return true;
    }
    return false;
  }

  std::string Failures() const {
    std::string all;
    for (const std::string& failure : outcome_.failures) all += failure + "\n";
    return all;
  }

  fs::path root_;
  CaseOutcome outcome_;
};

// Writes the DAB image of a source without sections, less the initial defaults:
// the header, an all-zero block and the pool holding the empty text.
constexpr char kWriteMinimalDab[] =
    "head -c 1979392 /dev/zero > dev.dab\n"
    "printf '6.0.0.0.1' | dd of=dev.dab conv=notrunc 2>/dev/null\n"
    "printf '\\001\\000\\000\\000\\000\\175\\000\\000' | "
    "dd of=dev.dab bs=1 seek=20 conv=notrunc 2>/dev/null\n"
    "printf '\\000' >> dev.dab\n";

TEST_F(CaseRunnerTest, PassesWhenStatusOutputsAndFilesMatch) {
  Write("args", "dev.daf\n\nlast arg\n");
  Write("in/dev.daf", "Device X\n");
  Write("in/sub/inc.txt", "kept\n");
  Write("expect/status", "2\n");
  Write("expect/stdout", "3:[dev.daf][][last arg]\n");
  Write("expect/stderr", "err\x01");
  Write("expect/files/dev.dab.txt", "include empty\n");
  Write("expect/files/out.ipb.hex", "01 ff # two bytes\n");
  Write("expect/files/sub/new.txt", "new\n");
  CaseOutcome outcome = Run(std::string("echo \"$#:[$1][$2][$3]\"\nprintf 'err\\001' >&2\n") +
                            kWriteMinimalDab +
                            "printf '\\001\\377' > out.ipb\necho new > sub/new.txt\n"
                            "[ -z \"$(cat)\" ] || echo input >&2\nexit 2");
  EXPECT_TRUE(outcome.failures.empty()) << Failures();
  EXPECT_FALSE(fs::exists(outcome.workDirectory));
}

TEST_F(CaseRunnerTest, ReportsEveryDifferenceAndKeepsTheDirectory) {
  Write("in/dev.daf", "Device X\n");
  Write("in/gone.txt", "x\n");
  Write("in/changed.txt", "before\n");
  Write("expect/status", "0\n");
  Write("expect/stdout", "Begins parsing\nGenerating\n");
  Write("expect/files/out.ipb.hex", "01 02\n");
  Write("expect/files/absent.txt", "");
  Run("echo 'Begins parsing'; echo 'Generatin'\n"
      "rm gone.txt; echo after > changed.txt; printf '\\001\\003' > out.ipb; touch extra\n"
      "echo oops >&2; exit 1");
  EXPECT_TRUE(Failed("qelc: exit status 1, expected 0")) << Failures();
  EXPECT_TRUE(Failed("standard output differs:\n  first difference in line 2, column 10"))
      << Failures();
  EXPECT_TRUE(Failed("actual:   \"Generatin\\n\"")) << Failures();
  EXPECT_TRUE(Failed("standard error differs")) << Failures();
  EXPECT_TRUE(Failed("missing file gone.txt (expected by in/gone.txt)")) << Failures();
  EXPECT_TRUE(Failed("missing file absent.txt (expected by expect/files/absent.txt)"))
      << Failures();
  EXPECT_TRUE(Failed("file changed.txt differs from in/changed.txt")) << Failures();
  EXPECT_TRUE(Failed("file out.ipb differs from expect/files/out.ipb.hex:\n"
                     "  first difference at byte 1: expected 02, actual 03"))
      << Failures();
  EXPECT_TRUE(Failed("unexpected file extra")) << Failures();
  EXPECT_EQ(outcome_.failures.size(), 8u) << Failures();
  EXPECT_TRUE(fs::exists(outcome_.workDirectory / "extra"));
  fs::remove_all(outcome_.workDirectory);
}

TEST_F(CaseRunnerTest, ADabDifferenceNamesTheField) {
  Write("in/dev.daf", "Device X\n");
  Write("expect/status", "0\n");
  Write("expect/files/dev.dab.txt", "include empty\ntypeShortHands[1].code = -1\n");
  Run(kWriteMinimalDab);
  EXPECT_TRUE(Failed("first difference at byte 32448: typeShortHands[1].code: expected -1, "
                     "actual 0"))
      << Failures();
  fs::remove_all(outcome_.workDirectory);
}

TEST_F(CaseRunnerTest, ARunPastTheTimeLimitFails) {
  Write("expect/status", "0\n");
  Run("sleep 20", 300);
  EXPECT_TRUE(Failed("qelc was still running after 300 ms and was killed")) << Failures();
  fs::remove_all(outcome_.workDirectory);
}

TEST_F(CaseRunnerTest, ACrashFails) {
  Write("expect/status", "0\n");
  Run("kill -SEGV $$");
  EXPECT_TRUE(Failed("qelc was ended by signal 11")) << Failures();
  fs::remove_all(outcome_.workDirectory);
}

TEST_F(CaseRunnerTest, AMalformedCaseFailsWithoutRunning) {
  Run("touch ran");
  EXPECT_TRUE(Failed("the case has no expect/status")) << Failures();

  Write("expect/status", "zero\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("expect/status is not a decimal status: \"zero\\n\"")) << Failures();
  Write("expect/status", "-1\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("expect/status is not a decimal status")) << Failures();

  Write("expect/status", "0\n");
  Write("expect/files/dev.dab.txt", "pool \"\"\ntypeShortHands[300].code = 1\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("the case's files are malformed: expect/files/dev.dab.txt:2: field path "
                     "'typeShortHands[300].code': index 300 is out of range"))
      << Failures();
  EXPECT_TRUE(outcome_.workDirectory.empty());
}

TEST_F(CaseRunnerTest, LimitsAndSetupShapeTheRun) {
  Write("expect/status", "0\n");
  Write("limits", "# writes stop at 3000 bytes\nfilesize 3000\n");
  Write("setup", "mkdir empty\n\nmkdir sub/deeper\n");
  Write("expect/stdout", "1\n3000\n0\ndeep\n");
  Run("head -c 5000 /dev/zero > big 2>/dev/null; echo $?; wc -c < big; rm big\n"
      "ls -A empty | wc -l; [ -d sub/deeper ] && echo deep");
  EXPECT_TRUE(outcome_.failures.empty()) << Failures();
  EXPECT_TRUE(outcome_.skipped.empty());
}

// Root writes through permission bits, so there the case is skipped, never
// passed on a run that did not meet the read-only file.
TEST_F(CaseRunnerTest, ReadOnlyMarksBindOrTheCaseIsSkipped) {
  Write("in/ro.txt", "old\n");
  Write("expect/status", "0\n");
  Write("setup", "readonly ro.txt\nreadonly .\n");
  Write("expect/stdout", "refused\nrefused\n");
  const std::string script =
      "{ echo new > ro.txt; } 2>/dev/null || echo refused\n"
      "{ echo x > made; } 2>/dev/null || echo refused";
  Run(script);
  if (geteuid() == 0) {
    EXPECT_NE(outcome_.skipped.find("setup:1: readonly ro.txt does not bind this user"),
              std::string::npos)
        << outcome_.skipped;
    EXPECT_TRUE(outcome_.failures.empty()) << Failures();
    EXPECT_FALSE(fs::exists(outcome_.workDirectory));
    return;
  }
  EXPECT_TRUE(outcome_.skipped.empty()) << outcome_.skipped;
  EXPECT_TRUE(outcome_.failures.empty()) << Failures();
  EXPECT_FALSE(fs::exists(outcome_.workDirectory));  // the permissions were given back

  Write("expect/stdout", "accepted\n");
  Run(script);
  EXPECT_TRUE(Failed("standard output differs")) << Failures();
  EXPECT_EQ(access(outcome_.workDirectory.c_str(), W_OK), 0);  // kept, and writable again
  EXPECT_EQ(access((outcome_.workDirectory / "ro.txt").c_str(), W_OK), 0);
  fs::remove_all(outcome_.workDirectory);
}

TEST_F(CaseRunnerTest, MalformedLimitsOrSetupFailWithoutRunning) {
  Write("expect/status", "0\n");
  Write("limits", "filesize lots\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("the case's files are malformed: limits:1: 'lots' is no byte count"))
      << Failures();
  Write("limits", "stack 10\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("limits:1: expected 'filesize BYTES'")) << Failures();
  fs::remove(root_ / "case" / "limits");

  Write("setup", "mkdir a\nreadonly ../x\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("setup:2: '../x' is not a path inside the working directory")) << Failures();
  Write("setup", "readonly /tmp\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("setup:1: '/tmp' is not a path inside the working directory")) << Failures();
  Write("setup", "chmod a\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("setup:1: expected 'mkdir NAME' or 'readonly NAME'")) << Failures();
  EXPECT_TRUE(outcome_.workDirectory.empty());

  Write("setup", "readonly missing\n");
  Run("touch ran");
  EXPECT_TRUE(Failed("setup:1: missing: No such file or directory")) << Failures();
  EXPECT_FALSE(fs::exists(outcome_.workDirectory / "ran"));
  fs::remove_all(outcome_.workDirectory);
}

}  // namespace

}  // namespace qelc::test
