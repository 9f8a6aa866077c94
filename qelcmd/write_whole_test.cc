#include "qelcmd/write_whole.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "qelcmd/scratch_folder_test.h"

namespace qelc::qelcmd {
namespace {

TEST(WriteWhole, ReplacesTheFileWithTheGivenModeAndLeavesNoTemporaryName) {
  ScratchFolder scratch("replace");
  std::filesystem::path file = scratch.Write("dev.daf", "old text");
  ASSERT_EQ(WriteWhole(file, "new text", 0640), "");
  EXPECT_EQ(ReadBytes(file), "new text");
  struct stat info;
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(scratch.Files(), std::set<std::string>{"dev.daf"});
}

TEST(WriteWhole, AFileThatCannotBeWrittenLeavesNothing) {
  ScratchFolder scratch("fail");
  // A folder in the way of the name: the rename fails after the bytes were written.
  std::filesystem::create_directories(scratch.path() / "dev.dab" / "inside");
  EXPECT_NE(WriteWhole(scratch.path() / "dev.dab", "bytes"), "");
  EXPECT_NE(WriteWhole(scratch.path() / "missing" / "dev.dab", "bytes"), "");
  EXPECT_EQ(scratch.Files(), std::set<std::string>{});
}

}  // namespace
}  // namespace qelc::qelcmd
