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

TEST(ReaderProgram, DiffTellsSameDifferentAndTroubleApart) {
  std::string pattern = (fs::temp_directory_path() / "qeldump-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::chrono::milliseconds limit(20000);
  for (const auto& [name, source] :
       {std::pair{"a.daf", "Device D Extensions { 'ipf' : 'Soft IP' }"},
        std::pair{"b.daf", "Device D Extensions { 'ipf' : 'Soft IPs' }"},
        std::pair{"l.ipf", "M { Module : { m : 2 ; } }"}}) {
    std::ofstream(fs::path(pattern) / name) << source << "\n";
    EXPECT_EQ(RunChild(QELC_BINARY, {name}, pattern, limit).exitStatus, 0) << name;
  }
  auto diff = [&](const char* a, const char* b) {
    ChildRun run = RunChild(QELDUMP_BINARY, {"--diff", a, b}, pattern, limit);
    return std::to_string(run.exitStatus) + ":" + run.out + run.err;
  };
  EXPECT_EQ(diff("a.dab", "a.dab"), "0:");
  EXPECT_EQ(diff("a.dab", "b.dab"), "1:extensions[0].second: \"Soft IP\" -> \"Soft IPs\"\n");
  EXPECT_EQ(
      diff("a.dab", "l.ipb"),
      "2:qeldump: l.ipb: an IPB file, and a.dab is a DAB file; only files of one kind compare\n");
  fs::remove_all(pattern);
}

}  // namespace
}  // namespace qelc::test
