#include "source/text_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

// Everything a TextReader hands out for a file holding `content` when runs of
// `runLength` bytes are taken from Buffered() in turn with single bytes from Get();
// with no runs, through Get() alone.
std::string ReadInRuns(std::string_view content, size_t runLength = 0) {
  test_support::TestFiles files;
  files.inputs["f"] = std::string(content);
  FilePtr input = files.OpenForReading("f");
  EXPECT_TRUE(input);
  TextReader reader(input.get());
  std::string text;
  for (;;) {
    if (runLength > 0) {
      std::string_view run = reader.Buffered().substr(0, runLength);
      text.append(run);
      reader.Consume(run.size());
    }
    int c = reader.Get();
    if (c == EOF) break;
    text.push_back(char(c));
  }
  EXPECT_EQ(reader.Get(), EOF);  // and it stays at the end
  EXPECT_TRUE(reader.Buffered().empty());
  return text;
}

TEST(TextReaderTest, OnlyACarriageReturnRightBeforeALineFeedIsDropped) {
  EXPECT_EQ(ReadInRuns("a\rb\n\r"), "a\rb\n\r");
  EXPECT_EQ(ReadInRuns("\r\r\r\n\r\n"), "\r\r\n\n");
  std::string all;  // every other byte is handed out as it is
  for (int c = 0; c < 256; ++c) {
    if (c != '\r') all.push_back(char(c));
  }
  EXPECT_EQ(ReadInRuns(all), all);
  // The reader refills its buffer every 65536 bytes; pairs across it are joined.
  std::string x(65535, 'x'), y(65534, 'y');
  EXPECT_EQ(ReadInRuns(x + "\r\n\r" + y + "\r\n"), x + "\n\r" + y + "\n");
}

// What text mode makes of `content`, one byte at a time.
std::string Translated(std::string_view content) {
  std::string text;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
    text.push_back(content[i]);
  }
  return text;
}

// Carriage returns and line feeds around the ends of the 65536-byte blocks the
// reader fills: every way of reading gives the byte-by-byte translation.
TEST(TextReaderTest, RunsAndBytesAgreeAcrossTheReadBuffer) {
  std::string content;
  uint32_t seed = 7;
  const char pieces[] = "\r\nab";
  while (content.size() < 3 * 65536 + 100) {
    seed = seed * 1103515245 + 12345;
    content.push_back(pieces[(seed >> 16) % 4]);
  }
  for (size_t end : {65535u, 65536u, 65537u, 131071u, 131072u, 196608u}) {
    for (std::string_view tail : {"\r", "\r\n", "\r\r", "\n", "\r\r\n"}) {
      std::string input = content.substr(0, end - 1) + std::string(tail);
      std::string expected = Translated(input);
      for (size_t runLength : {0u, 1u, 7u, 4096u, 70000u}) {
        EXPECT_EQ(ReadInRuns(input, runLength), expected) << end << " " << runLength;
      }
    }
  }
}

TEST(TextReaderTest, ADirectoryCannotBeOpened) {
  EXPECT_FALSE(OpenForReading(std::filesystem::temp_directory_path().string()));
}

}  // namespace
}  // namespace qelc
