#include "softip/record_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "softip/records.h"
#include "softip/test_support.h"

namespace qelc {
namespace {

using test::Bytes;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using TempFile = std::unique_ptr<FILE, FileCloser>;

template <typename T>
Bytes Write(RecordList<T>& list) {
  TempFile file(std::tmpfile());
  {
    IpbStream stream(file.get(), IpbStream::Direction::kWrite);
    list.Serialise(stream);
    EXPECT_TRUE(stream.Flush());
  }
  Bytes bytes(size_t(std::ftell(file.get())));
  std::rewind(file.get());
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
  return bytes;
}

template <typename T>
void Read(const Bytes& bytes, RecordList<T>& list) {
  TempFile file(std::tmpfile());
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::rewind(file.get());
  IpbStream stream(file.get(), IpbStream::Direction::kRead);
  list.Serialise(stream);
}

RecordList<StringRef> Numbered(size_t count) {
  RecordList<StringRef> list;
  for (size_t i = 0; i < count; ++i) list.Append(StringRef(i));
  return list;
}

TEST(RecordListTest, EmptyListIsTwoZeroBytes) {
  RecordList<SoftIPInput> list;
  EXPECT_EQ(Write(list), (Bytes{0x00, 0x00}));
  list.Append(SoftIPInput{});
  Read(Bytes{0x00, 0x00}, list);
  EXPECT_TRUE(list.Empty());
}

TEST(RecordListTest, RecordsAreTheirFieldsInOrder) {
  RecordList<SoftIPCategoryEntry> list;
  list.Append({1.5f, 2, 0x0304});
  list.Append({1.0f, 0, 5});
  EXPECT_EQ(Write(list), (Bytes{0x02, 0x00,                                     //
                                0x00, 0x00, 0xC0, 0x3F, 0x02, 0x00, 0x00, 0x00,  //
                                0x04, 0x03, 0x00, 0x00,                          //
                                0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00,  //
                                0x05, 0x00, 0x00, 0x00}));
}

// Below 0xFFFF the count takes two bytes; from 0xFFFF on it is FF FF and a
// 32-bit count. Both lists cross the 4096-byte buffer many times.
TEST(RecordListTest, CountPrefixSwitchesToSixBytesAt65535) {
  RecordList<StringRef> shortCounted = Numbered(65534);
  Bytes bytes = Write(shortCounted);
  ASSERT_EQ(bytes.size(), 2u + 65534u * 4u);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(bytes[2 + 4 * 65533], 0xFD);  // the last record, 65533 = 0xFFFD
  EXPECT_EQ(bytes[3 + 4 * 65533], 0xFF);

  RecordList<StringRef> longCounted = Numbered(65535);
  bytes = Write(longCounted);
  ASSERT_EQ(bytes.size(), 6u + 65535u * 4u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));

  RecordList<StringRef> readBack;
  Read(bytes, readBack);
  ASSERT_EQ(readBack.Size(), 65535u);
  EXPECT_EQ(readBack.At(65534), 65534);
  EXPECT_EQ(Write(readBack), bytes);
}

TEST(RecordListTest, ReadingReplacesModulesWhateverTheListHeld) {
  RecordList<SoftIPModule> modules;
  SoftIPModule module;
  module.name = 4;
  module.moduleName = 6;
  module.moduleNumber = -56;
  module.busExtNames.Append(8);
  module.macroStatements.Append({10, 12});
  modules.Append(module);
  Bytes bytes = Write(modules);
  // Twelve bytes of fields, then seven lists: 2 + 2 + 2 + (2 + 4) + 2 + (2 + 8) + 2.
  EXPECT_EQ(bytes.size(), 2u + 12u + 26u);

  SoftIPModule stale;
  stale.inputs.Append(SoftIPInput{});
  stale.busExtNames.Append(99);
  stale.busExtNames.Append(98);
  RecordList<SoftIPModule> target;
  target.Append(stale);
  target.Append(stale);
  Read(bytes, target);
  ASSERT_EQ(target.Size(), 1u);
  EXPECT_TRUE(target.At(0).inputs.Empty());
  ASSERT_EQ(target.At(0).busExtNames.Size(), 1u);
  EXPECT_EQ(target.At(0).busExtNames.At(0), 8);
  EXPECT_EQ(target.At(0).moduleNumber, -56);
  EXPECT_EQ(Write(target), bytes);
}

TEST(RecordListTest, ShortInputIsCorrupt) {
  RecordList<SoftIPDeclaration> declarations;
  // A count of three records with the bytes of two.
  Bytes bytes(2 + 24, 0);
  bytes[0] = 3;
  EXPECT_THROW(Read(bytes, declarations), CorruptIpb);
  // A 32-bit count far beyond the file is refused before any record is made.
  EXPECT_THROW(Read(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, declarations), CorruptIpb);
  RecordList<SoftIPModule> modules;
  EXPECT_THROW(Read(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, modules), CorruptIpb);
  // A count prefix cut in half.
  EXPECT_THROW(Read(Bytes{0x01}, declarations), CorruptIpb);
  EXPECT_THROW(Read(Bytes{0xFF, 0xFF, 0x01}, declarations), CorruptIpb);
}

}  // namespace
}  // namespace qelc
