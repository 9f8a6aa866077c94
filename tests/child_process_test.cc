#include "tests/child_process.h"

#include <gtest/gtest.h>

namespace qelc::test {

namespace {

using std::chrono::milliseconds;

ChildRun Shell(const std::string& script, milliseconds limit = milliseconds(10000)) {
  return RunChild("/bin/sh", {"-c", script}, "/", limit);
}

TEST(ChildProcess, CapturesBothStreamsApartAndTheStatus) {
  ChildRun run = Shell("printf 'out\\n'; printf 'err' >&2; printf 'more'; pwd >&2; exit 3");
  EXPECT_EQ(run.problem, "");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(run.out, "out\nmore");
  EXPECT_EQ(run.err, "err/\n");  // run in the directory given
}

TEST(ChildProcess, StandardInputIsEmpty) {
  ChildRun run = Shell("cat; echo done");
  EXPECT_EQ(run.out, "done\n");
}

TEST(ChildProcess, LargeOutputOnBothStreamsDoesNotBlock) {
  ChildRun run = Shell("i=0; while [ $i -lt 2000 ]; do echo 0123456789012345678901234567890123456789; "
                       "echo abcdefghijabcdefghijabcdefghijabcdefghij >&2; i=$((i+1)); done");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out.size(), 2000u * 41);
  EXPECT_EQ(run.err.size(), 2000u * 41);
}

TEST(ChildProcess, ARunPastTheLimitIsKilled) {
  auto start = std::chrono::steady_clock::now();
  ChildRun run = Shell("echo started; exec sleep 30", milliseconds(300));
  EXPECT_TRUE(run.timedOut);
  EXPECT_EQ(run.out, "started\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ChildProcess, AProgramThatClosesItsOutputIsStillTimed) {
  ChildRun run = Shell("exec >&- 2>&-; sleep 30", milliseconds(300));
  EXPECT_TRUE(run.timedOut);
}

TEST(ChildProcess, ASignalIsReported) {
  ChildRun run = Shell("kill -SEGV $$");
  EXPECT_EQ(run.signal, 11);
}

TEST(ChildProcess, AProgramThatCannotStartIsAProblem) {
  ChildRun run = RunChild("/nonexistent/qelc", {}, "/", milliseconds(1000));
  EXPECT_NE(run.problem.find("cannot run /nonexistent/qelc"), std::string::npos) << run.problem;
  run = RunChild("/bin/sh", {"-c", "true"}, "/nonexistent-directory", milliseconds(1000));
  EXPECT_NE(run.problem.find("No such file or directory"), std::string::npos) << run.problem;
}

TEST(ChildProcess, AWritePastTheFileSizeLimitFailsWithoutEndingTheProgram) {
  std::string directory = testing::TempDir();
  ChildRun run = RunChild("/bin/sh",
                          {"-c",
                           "head -c 5000 /dev/zero > qelc-limit-test 2>/dev/null; echo $?; "
                           "wc -c < qelc-limit-test; rm qelc-limit-test"},
                          directory, milliseconds(5000), {}, ChildLimits{3000});
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.out, "1\n3000\n");  // head saw the failed write; the file stops at the limit

  run = RunChild("/bin/sh", {"-c", "head -c 5000 /dev/zero | wc -c"}, directory,
                 milliseconds(5000), {}, ChildLimits{3000});
  EXPECT_EQ(run.out, "5000\n");  // a pipe is no file: the limit does not apply
}

TEST(ChildProcess, DefaultsFillOnlyUnsetVariables) {
  setenv("QELC_TEST_SET", "mine", 1);
  unsetenv("QELC_TEST_UNSET");
  ChildRun run = RunChild("/bin/sh", {"-c", "echo $QELC_TEST_SET $QELC_TEST_UNSET"}, "/",
                          milliseconds(5000), {"QELC_TEST_SET=default", "QELC_TEST_UNSET=filled"});
  EXPECT_EQ(run.out, "mine filled\n");
}

}  // namespace

}  // namespace qelc::test
