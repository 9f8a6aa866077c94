#include "source/text_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

// Everything a TextReader hands out for a file holding `content`.
std::string ReadAll(std::string_view content) {
  test_support::TempFile file(content);
  FilePtr input = OpenForReading(file.path());
  EXPECT_TRUE(input);
  TextReader reader(input.get());
  std::string text;
  for (int c = reader.Get(); c != EOF; c = reader.Get()) text.push_back(char(c));
  EXPECT_EQ(reader.Get(), EOF);  // and it stays at the end
  return text;
}

TEST(TextReaderTest, OnlyACarriageReturnRightBeforeALineFeedIsDropped) {
  EXPECT_EQ(ReadAll("a\rb\n\r"), "a\rb\n\r");
  EXPECT_EQ(ReadAll("\r\r\r\n\r\n"), "\r\r\n\n");
  std::string all;  // every other byte is handed out as it is
  for (int c = 0; c < 256; ++c) {
    if (c != '\r') all.push_back(char(c));
  }
  EXPECT_EQ(ReadAll(all), all);
  // The reader refills its buffer every 65536 bytes; pairs across it are joined.
  std::string x(65535, 'x'), y(65534, 'y');
  EXPECT_EQ(ReadAll(x + "\r\n\r" + y + "\r\n"), x + "\n\r" + y + "\n");
}

TEST(TextReaderTest, ADirectoryCannotBeOpened) {
  EXPECT_FALSE(OpenForReading(std::filesystem::temp_directory_path().string()));
}

}  // namespace
}  // namespace qelc
