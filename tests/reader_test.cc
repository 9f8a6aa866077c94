// qeldump on files that qelc writes: --diff tells same, different and files of
// two kinds apart by its status, and names the field that differs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/child_process.h"

namespace qelc::test {
namespace {

namespace fs = std::filesystem;

class ReaderProgram : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qeldump-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Compile(const std::string& name, const std::string& source) {
    std::ofstream(dir_ / name, std::ios::binary) << source;
    ChildRun run = RunChild(QELC_BINARY, {name}, dir_.string(), kLimit);
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  }

  ChildRun Reader(const std::vector<std::string>& arguments) {
    return RunChild(QELDUMP_BINARY, arguments, dir_.string(), kLimit);
  }

  static constexpr std::chrono::milliseconds kLimit{20000};
  fs::path dir_;
};

TEST_F(ReaderProgram, DiffTellsSameDifferentAndTroubleApart) {
  Compile("a.daf", "Device D\nExtensions { 'ipf' : 'Soft IP' 'daf' : 'Device' }\n");
  Compile("b.daf", "Device D\nExtensions { 'ipf' : 'Soft IPs' 'daf' : 'Device' }\n");
  Compile("l.ipf", "M { Module : { m : 2 ; } }\n");

  ChildRun same = Reader({"--diff", "a.dab", "a.dab"});
  EXPECT_EQ(same.exitStatus, 0);
  EXPECT_EQ(same.out + same.err, "");
  ChildRun different = Reader({"--diff", "a.dab", "b.dab"});
  EXPECT_EQ(different.exitStatus, 1);
  EXPECT_EQ(different.out, "extensions[0].second: \"Soft IP\" -> \"Soft IPs\"\n");
  ChildRun kinds = Reader({"--diff", "a.dab", "l.ipb"});
  EXPECT_EQ(kinds.exitStatus, 2);
  EXPECT_EQ(kinds.err,
            "qeldump: l.ipb: an IPB file, and a.dab is a DAB file; only files of one kind compare\n");
}

}  // namespace
}  // namespace qelc::test
