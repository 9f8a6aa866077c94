#include "source/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qelc {
namespace {

std::string ReadAll(FILE* file) {
  std::string bytes;
  char buffer[256];
  while (size_t read = std::fread(buffer, 1, sizeof buffer, file)) bytes.append(buffer, read);
  return bytes;
}

FilePtr Written(FileSystem& files, const std::string& name, const std::string& bytes) {
  FilePtr file = files.Create(name);
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::fflush(file.get());
  return file;
}

// A file written is read from its start, as many times as it is opened (one
// stream at a time), by any spelling of its name; the stream writing it is known as the same file;
// after it is written again a stream opened before still reads the old bytes; once removed it
// cannot be opened; a stream still open on a file written again or removed
// goes on writing where it wrote. Scratch files leave nothing on the disk.
void ChecksWrittenFiles(FileSystem& files) {
  FilePtr kept = Written(files, "dev.pre", "kept");
  FilePtr writer = Written(files, "dev.pre", "Device D\n");
  FilePtr first = files.OpenForReading("./dev.pre");
  ASSERT_TRUE(first);
  EXPECT_TRUE(files.SameFile(first.get(), writer.get()));
  writer.reset();
  EXPECT_EQ(ReadAll(first.get()), "Device D\n");
  FilePtr second = files.OpenForReading("dev.pre");
  EXPECT_EQ(ReadAll(second.get()), "Device D\n");

  FilePtr before = files.OpenForReading("dev.pre");
  Written(files, "dev.pre", "x").reset();
  EXPECT_EQ(ReadAll(before.get()), "Device D\n");
  EXPECT_EQ(ReadAll(files.OpenForReading("dev.pre").get()), "x");

  files.Remove("dev.pre");
  EXPECT_FALSE(files.OpenForReading("dev.pre"));
  EXPECT_GE(std::fputs(" and more", kept.get()), 0);
  EXPECT_EQ(std::fflush(kept.get()), 0);
}

TEST(FilesTest, WrittenFilesReadBackAlikeInMemoryAndInScratchFiles) {
  MemoryFiles memory([](const std::string&) { return std::nullopt; });
  ChecksWrittenFiles(memory);
  {
    ScratchFiles scratch;
    ChecksWrittenFiles(scratch);
  }
  EXPECT_FALSE(std::filesystem::exists("dev.pre"));
}

}  // namespace
}  // namespace qelc
