#include "source/text_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

using test_support::TempFile;

// Everything a TextReader hands out for a file holding `content`.
std::string ReadAll(std::string_view content) {
  TempFile file(content);
  FilePtr input = OpenForReading(file.path());
  EXPECT_TRUE(input);
  TextReader reader(input.get());
  std::string text;
  for (int c = reader.Get(); c != EOF; c = reader.Get()) {
    EXPECT_TRUE(c >= 0 && c <= 255) << c;
    text.push_back(char(c));
  }
  EXPECT_EQ(reader.Get(), EOF);  // and it stays at the end
  return text;
}

TEST(TextReaderTest, OnlyACarriageReturnRightBeforeALineFeedIsDropped) {
  EXPECT_EQ(ReadAll("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(ReadAll("a\rb\n\r"), "a\rb\n\r");
  EXPECT_EQ(ReadAll("\r"), "\r");
  EXPECT_EQ(ReadAll("\n\r\r"), "\n\r\r");
  EXPECT_EQ(ReadAll("a\r\r\nb"), "a\r\nb");
  EXPECT_EQ(ReadAll("\r\r\r\n\r\n"), "\r\r\n\n");
}

TEST(TextReaderTest, EveryOtherByteIsHandedOutAsItIs) {
  std::string all;
  for (int c = 0; c < 256; ++c) {
    if (c != '\r') all.push_back(char(c));
  }
  EXPECT_EQ(ReadAll(all), all);
}

TEST(TextReaderTest, PairsAcrossTheReadBufferAreJoined) {
  // The reader refills its buffer every 65536 bytes.
  std::string content(65535, 'x');
  content += "\r\n\r";
  content += std::string(65534, 'y');
  content += "\r\n";
  std::string expected(65535, 'x');
  expected += "\n\r";
  expected += std::string(65534, 'y');
  expected += "\n";
  EXPECT_EQ(ReadAll(content), expected);
}

TEST(TextReaderTest, ADirectoryCannotBeOpened) {
  EXPECT_FALSE(OpenForReading(std::filesystem::temp_directory_path().string()));
  EXPECT_FALSE(OpenForReading("/nonexistent/qelc/source.daf"));
}

}  // namespace
}  // namespace qelc
