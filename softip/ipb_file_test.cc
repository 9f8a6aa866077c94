#include "softip/ipb_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "softip/record_fields.h"
#include "softip/test_support.h"
#include "source/test_support.h"

namespace qelc {
namespace {

using test::Bytes;

class IpbFileTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseEmptyLibrary(); }
  void TearDown() override { ResetLibrary(); }

  // The library of test::AddFilledLibrary; returns the file's bytes.
  Bytes WriteFilledLibrary() {
    test::AddFilledLibrary();
    EXPECT_TRUE(WriteIpbFile(Path("lib.ipb")));
    return test::ReadBytes(Path("lib.ipb"));
  }

  std::string Path(const std::string& name) const { return dir_.File(name); }

  // Decodes `bytes` as an IPB file; returns the exit status and what the decode printed.
  std::pair<int, std::string> Decode(const Bytes& bytes) {
    test::WriteFile(Path("in.ipb"), std::string(bytes.begin(), bytes.end()));
    std::filesystem::remove(Path("in.dec"));
    test_support::RunResult run = test_support::CaptureRun([&] { DecodeIpbFile(Path("in.ipb")); });
    return {run.status, run.out};
  }

  test::TempDir dir_;
};

// Counted from records.h: a category entry holds two texts, a module two, and
// the records of its lists 6, 5, 3, 1, 1, 2 and 1.
TEST_F(IpbFileTest, EveryStringReferenceOfTheLibraryIsVisited) {
  WriteFilledLibrary();
  std::vector<int32_t> refs;
  ForEachStringRef(Library(), [&](int32_t ref) { refs.push_back(ref); });
  EXPECT_EQ(refs.size(), 2u + (2 + 6 + 5 + 3 + 1 + 1 + 2 + 1) + 2);
  for (int32_t ref : refs) {
    EXPECT_TRUE(ref >= 0 && ref < Library().stringBytesUsed) << ref;
  }
}

// Read back into a library that holds stale content of its own, then written again.
TEST_F(IpbFileTest, WriteReadWriteGivesTheSameBytes) {
  Bytes first = WriteFilledLibrary();
  AddSoftIPCategory(9, "stale", "stale");
  Library().modules.Append(Library().modules.At(0));
  FILE* file = std::fopen(Path("lib.ipb").c_str(), "rb");
  ASSERT_NE(file, nullptr);
  {
    IpbStream stream(file, IpbStream::Direction::kRead);
    TransferLibrary(stream, Library());
    TransferStringBytes(stream, Library());
  }
  std::fclose(file);
  ASSERT_EQ(Library().modules.Size(), 2u);
  ASSERT_TRUE(WriteIpbFile(Path("second.ipb")));
  EXPECT_EQ(test::ReadBytes(Path("second.ipb")), first);
}

TEST_F(IpbFileTest, EveryShortenedFileIsCorrupt) {
  Bytes whole = WriteFilledLibrary();
  ResetLibrary();
  EXPECT_EQ(Decode(whole), std::make_pair(0, std::string()));
  const std::pair<int, std::string> corrupt{1, "Corrupt IPB file " + Path("in.ipb") + ".\n"};
  for (size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(Decode(Bytes(whole.begin(), whole.begin() + long(size))), corrupt) << size;
  }
}

// A one-module file: header, no categories, a module named by reference `name`
// with one bus extension name `bus`, then the string bytes "M\0b\0".
Bytes SmallFile(int used, int capacity, unsigned char name, unsigned char bus,
                unsigned char lastString = 0) {
  return Bytes{0x00, 0x00, 0x09, 0x00, (unsigned char)used, 0x00, 0x00, 0x00,
               (unsigned char)capacity, (unsigned char)(capacity >> 8), 0x00, 0x00,
               0x00, 0x00,  // no categories
               0x01, 0x00, name, 0x00, 0x00, 0x00, name, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // inputs, outputs, declarations
               0x01, 0x00, bus, 0x00, 0x00, 0x00,   // one bus extension name
               0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // parameters, statements, equations
               'M', 0x00, 'b', lastString};
}

TEST_F(IpbFileTest, MalformedFilesAreCorrupt) {
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 2)).first, 0);
  Bytes negativeUsed = SmallFile(4, 32000, 0, 2);
  negativeUsed[7] = 0xFF;
  const Bytes malformed[] = {
      SmallFile(4, 32000, 0, 2, 'c'),  // a last string without its NUL
      SmallFile(4, 3, 0, 2),           // a used size above the capacity
      negativeUsed,
      SmallFile(4, 32000, 0, 4),       // a reference at the used size
      SmallFile(4, 32000, 0xFF, 2),    // or beyond it
  };
  for (const Bytes& bytes : malformed) {
    EXPECT_EQ(Decode(bytes),
              std::make_pair(1, "Corrupt IPB file " + Path("in.ipb") + ".\n"));
  }
  // A bad reference is found before the .dec file is made.
  EXPECT_FALSE(std::filesystem::exists(Path("in.dec")));
}

}  // namespace
}  // namespace qelc
