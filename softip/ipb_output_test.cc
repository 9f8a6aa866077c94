#include "softip/ipb_output.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "formats/record_fields.h"
#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "softip/test_support.h"

namespace qelc {
namespace {

using test::Bytes;

class IpbFileTest : public ::testing::Test {
 protected:
  // The library of SoftIPState::AddFilledLibrary; returns the file's bytes.
  Bytes WriteFilledLibrary() { return state_.FilledLibraryBytes(); }

  // Decodes `bytes` as the IPB file in.ipb in a compilation of its own; returns
  // the exit status and what the decode printed, and notes whether in.dec was made.
  std::pair<int, std::string> Decode(const Bytes& bytes) {
    test::SoftIPState decode;
    decode.files.inputs["in.ipb"] = test::AsText(bytes);
    test_support::RunResult run =
        decode.Run([&] { DecodeIpbFile(decode.s, decode.library, decode.files, "in.ipb"); });
    decWritten_ = decode.files.WrittenFile("in.dec").has_value();
    return {run.status, run.out};
  }

  test::SoftIPState state_;
  bool decWritten_ = false;
};

// Counted from records.h: a category entry holds two texts, a module two, and
// the records of its lists 6, 5, 3, 1, 1, 2 and 1.
TEST_F(IpbFileTest, EveryStringReferenceOfTheLibraryIsVisited) {
  WriteFilledLibrary();
  std::vector<int32_t> refs;
  ForEachStringRef(state_.library, [&](int32_t ref) { refs.push_back(ref); });
  EXPECT_EQ(refs.size(), 2u + (2 + 6 + 5 + 3 + 1 + 1 + 2 + 1) + 2);
  for (int32_t ref : refs) {
    EXPECT_TRUE(ref >= 0 && ref < state_.library.stringBytesUsed) << ref;
  }
}

// Read back into a library that holds stale content of its own, then written again.
TEST_F(IpbFileTest, WriteReadWriteGivesTheSameBytes) {
  Bytes first = WriteFilledLibrary();
  SoftIPBuild& library = state_.library;
  AddSoftIPCategory(state_.s, library, 9, "stale", "stale");
  library.modules.Append(library.modules.At(0));
  FilePtr file = state_.files.OpenForReading("lib.ipb");
  ASSERT_NE(file, nullptr);
  {
    IpbStream stream(file.get(), IpbStream::Direction::kRead);
    TransferLibrary(stream, library);
    TransferStringBytes(stream, library);
  }
  ASSERT_EQ(library.modules.Size(), 2u);
  ASSERT_TRUE(WriteIpbFile(state_.s, library, state_.files, "second.ipb"));
  EXPECT_EQ(state_.files.WrittenFile("second.ipb"), test::AsText(first));
}

TEST_F(IpbFileTest, EveryShortenedFileIsCorrupt) {
  Bytes whole = WriteFilledLibrary();
  EXPECT_EQ(Decode(whole), std::make_pair(0, std::string()));
  const std::pair<int, std::string> corrupt{1, "Corrupt IPB file in.ipb.\n"};
  for (size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(Decode(Bytes(whole.begin(), whole.begin() + long(size))), corrupt) << size;
  }
}

// A one-module file: header, no categories, a module named by reference `name`
// with one bus extension name `bus`, then the string bytes "M\0b\0".
Bytes SmallFile(int used, int capacity, unsigned char name, unsigned char bus,
                unsigned char lastString = 0) {
  return Bytes{0x00,
               0x00,
               0x09,
               0x00,
               (unsigned char)used,
               0x00,
               0x00,
               0x00,
               (unsigned char)capacity,
               (unsigned char)(capacity >> 8),
               0x00,
               0x00,
               0x00,
               0x00,  // no categories
               0x01,
               0x00,
               name,
               0x00,
               0x00,
               0x00,
               name,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,  // inputs, outputs, declarations
               0x01,
               0x00,
               bus,
               0x00,
               0x00,
               0x00,  // one bus extension name
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,
               0x00,  // parameters, statements, equations
               'M',
               0x00,
               'b',
               lastString};
}

TEST_F(IpbFileTest, MalformedFilesAreCorrupt) {
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 2)).first, 0);
  Bytes negativeUsed = SmallFile(4, 32000, 0, 2);
  negativeUsed[7] = 0xFF;
  const Bytes malformed[] = {
      SmallFile(4, 32000, 0, 2, 'c'),  // a last string without its NUL
      SmallFile(4, 3, 0, 2),           // a used size above the capacity
      negativeUsed,
      SmallFile(4, 32000, 0, 4),     // a reference at the used size
      SmallFile(4, 32000, 0xFF, 2),  // or beyond it
  };
  for (const Bytes& bytes : malformed) {
    EXPECT_EQ(Decode(bytes), std::make_pair(1, std::string("Corrupt IPB file in.ipb.\n")));
  }
  // A bad reference is found before the .dec file is made.
  EXPECT_FALSE(decWritten_);
}

}  // namespace
}  // namespace qelc
