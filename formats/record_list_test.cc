#include "formats/record_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "formats/records.h"

namespace qelc {
namespace {

using Bytes = std::vector<unsigned char>;
using TempFile = std::unique_ptr<FILE, int (*)(FILE*)>;

template <typename T>
Bytes Write(RecordList<T>& list) {
  TempFile file(std::tmpfile(), std::fclose);
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
  TempFile file(std::tmpfile(), std::fclose);
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::rewind(file.get());
  IpbStream stream(file.get(), IpbStream::Direction::kRead);
  list.Serialise(stream);
}

// Below 0xFFFF the count takes two bytes; from 0xFFFF on it is FF FF and a
// 32-bit count. Both lists cross the stream's buffer several times.
TEST(RecordListTest, CountPrefixSwitchesToSixBytesAt65535) {
  RecordList<StringRef> list;
  for (StringRef i = 0; i < 65534; ++i) list.Append(i);
  Bytes bytes = Write(list);
  ASSERT_EQ(bytes.size(), 2u + 65534u * 4u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 2), (Bytes{0xFE, 0xFF}));
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0xFD, 0xFF, 0x00, 0x00}));

  list.Append(65534);
  bytes = Write(list);
  ASSERT_EQ(bytes.size(), 6u + 65535u * 4u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  RecordList<StringRef> readBack;
  Read(bytes, readBack);
  ASSERT_EQ(readBack.Size(), 65535u);
  EXPECT_EQ(Write(readBack), bytes);
}

// Shorter files are covered by the IPB file tests, which decode every prefix of one.
TEST(RecordListTest, CountFarBeyondTheFileIsRefusedBeforeAnyRecordIsMade) {
  RecordList<SoftIPDeclaration> declarations;
  EXPECT_THROW(Read(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, declarations), CorruptIpb);
  RecordList<SoftIPModule> modules;
  EXPECT_THROW(Read(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, modules), CorruptIpb);
}

// A list of plain records grows in place: a record appended from the list
// itself survives the growth, copies and moves keep every record, and a list
// made longer gets empty records.
TEST(RecordListTest, PlainRecordsSurviveGrowthCopiesAndMoves) {
  RecordList<SoftIPDeclaration> list;
  list.Append({7, 8, 9});
  for (int i = 1; i < 100000; ++i) list.Append(list.At(size_t(i) / 2));
  ASSERT_EQ(list.Size(), 100000u);
  EXPECT_EQ(list.Last().text1, 7);
  EXPECT_THROW(list.At(100000), std::out_of_range);

  RecordList<SoftIPDeclaration> copy = list;
  copy.SetSize(100002);
  EXPECT_EQ(copy.At(99999).text3, 9);
  EXPECT_EQ(copy.At(100001).text1, 0);
  EXPECT_EQ(copy.At(100001).text3, 0);
  RecordList<SoftIPDeclaration> moved = std::move(copy);
  EXPECT_EQ(moved.Size(), 100002u);
  copy = moved;
  copy.SetSize(1);
  EXPECT_EQ(Write(copy), (Bytes{1, 0, 7, 0, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0}));
  EXPECT_EQ(Write(list).size(), 6u + 100000u * 12u);
}

}  // namespace
}  // namespace qelc
