#include "tables/dump_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "source/test_support.h"

namespace qelc {
namespace {

// The threads of this process: the dump's writer thread is one while it runs.
int ThreadCount() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Threads:", 0) == 0) return std::atoi(line.c_str() + 8);
  }
  return 0;
}

class DumpStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { dump_.Open(files_.Create("Out.txt"), "Out.txt"); }

  // What reached the file once the stream is closed.
  std::string Closed() {
    dump_.Close();
    return files_.WrittenFile("Out.txt").value_or("(none)");
  }

  test_support::Reporting reporting_;
  test_support::TestFiles files_;
  DumpStream dump_{reporting_.diagnostics};
};

// printf's own result, to compare with.
std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// Dumps and prints the same format and arguments.
#define DUMP_AND_PRINT(...)           \
  do {                                \
    dump_.Print(__VA_ARGS__);         \
    expected += Printed(__VA_ARGS__); \
  } while (false)

TEST_F(DumpStreamTest, WritesWhatPrintfWrites) {
  int threads = ThreadCount();
  std::string expected;
  DUMP_AND_PRINT("\nPinNumberByPackage\n");
  DUMP_AND_PRINT("  When: <%6d> <%s>\n", 42, "\\PACKAGE\\is\\'P1'");
  DUMP_AND_PRINT("    %5d:<%s>:%2d\n", -17, "PKG", 1);
  DUMP_AND_PRINT("    %5d:<%s>:%2d\n", 1234567, "", 0);
  DUMP_AND_PRINT("\t\t<%s>:<%s>:<%d>:<%d>\n", "a", "b", -2147483647 - 1, 2147483647);
  DUMP_AND_PRINT("%12s|%3s|%s\n", "short", "longer than three", "");
  DUMP_AND_PRINT("100%% <%s> %%d\n", "x");
  // Formats that the dump hands to printf itself, in between the others.
  DUMP_AND_PRINT("<%f> : ", 2.5);
  DUMP_AND_PRINT("<%s> : ", "name");
  DUMP_AND_PRINT("%02d:%-4d|%*s|\n", 7, 3, 5, "ab");
  // printf takes over in the middle, with the arguments that are left.
  DUMP_AND_PRINT("<%s>:<%3d>:<%.2f>:<%s>:<%d>\n", "first", 5, 0.125, "then", -4);
  DUMP_AND_PRINT("last %d\n", 9);
  EXPECT_EQ(ThreadCount(), threads) << "a dump of less than a piece starts no thread";
  EXPECT_EQ(Closed(), expected);
}

// Writes a format taken apart when the test was built and prints it.
#define PUT_AND_PRINT(FORMAT, ...)              \
  do {                                          \
    dump_.Put<FORMAT>(__VA_ARGS__);             \
    expected += Printed(FORMAT, ##__VA_ARGS__); \
  } while (false)

TEST_F(DumpStreamTest, FormatsTakenApartWhenBuiltWriteWhatPrintfWrites) {
  std::string expected;
  const char* noText = nullptr;
  PUT_AND_PRINT("\nPinNumberByPackage\n");
  PUT_AND_PRINT("  When: <%6d> <%s>\n", 42, "\\PACKAGE\\is\\'P1'");
  PUT_AND_PRINT("    %5d:<%s>:%2d\n", -17, "PKG", 1);
  PUT_AND_PRINT("    %5d:<%s>:%2d\n", 1234567, "", 0);
  PUT_AND_PRINT("\t\t<%s>:<%s>:<%d>:<%d>\n", "a", "b", -2147483647 - 1, 2147483647);
  PUT_AND_PRINT("%12s|%3s|%s|\n", "short", "longer than three", "");
  dump_.Put<"<%s>|%8s\n">(noText, noText);  // printf's text for a null one
  expected += "<(null)>|  (null)\n";
  PUT_AND_PRINT("%s%d%s", "no text between", int16_t{-3}, "");
  dump_.Print("<%s> and %s\n", "then Print", "Put again");
  expected += "<then Print> and Put again\n";
  PUT_AND_PRINT("%d\n", 0);
  EXPECT_EQ(Closed(), expected);
}

// Megabytes in many pieces, the texts that go to the file straight, the
// formats that printf writes there and the lines that the writer thread
// formats coming between them.
TEST_F(DumpStreamTest, ManyPiecesAndTheWritesBetweenThemArriveInOrder) {
  std::string expected;
  std::string longText(200000, 'L');
  std::string nearlyABuffer(65530, 'N');
  const char* const pooled[] = {"wire", "", "a pooled text"};
  for (int i = 0; i < 60000; ++i) {
    DUMP_AND_PRINT("\t\t<%s>:<%d>\n", "line", i);
    dump_.Put<"\t\t<%s>:<%d>\n">("put", i);
    expected += "\t\t<put>:<" + std::to_string(i) + ">\n";
    for (int j = 0; j < i % 3; ++j) {
      dump_.PutPooled<"\t\t<%s>:<%5d>:<%s>\n">(pooled[(i + j) % 3], i - j, pooled[i % 3]);
      expected += Printed("\t\t<%s>:<%5d>:<%s>\n", pooled[(i + j) % 3], i - j, pooled[i % 3]);
    }
    if (i % 700 == 0) DUMP_AND_PRINT("<%f> : %02d|%*s|\n", i / 8.0, i % 100, i % 9, "x");
    if (i % 15000 == 0) {
      dump_.Print("<%s>\n", longText.c_str());
      dump_.Put<"<%s>\n">(longText.c_str());
      dump_.Put<"%s|%s\n">(nearlyABuffer.c_str(), nearlyABuffer.c_str());
      expected += "<" + longText + ">\n<" + longText + ">\n";
      expected += nearlyABuffer + "|" + nearlyABuffer + "\n";
    }
  }
  // Counted before and after: a sanitizer may start a thread of its own too.
  int threads = ThreadCount();
  std::string written = Closed();
  EXPECT_EQ(ThreadCount(), threads - 1) << "Close ends the writer thread";
  // Megabytes are compared without gtest's line-by-line difference of them.
  EXPECT_TRUE(written == expected) << written.size() << " bytes, not " << expected.size();
}

TEST(DumpStreamFailureTest, AFailedWriteIsReportedByFlushAndCloseButNotByDrop) {
  test_support::Reporting reporting;
  DumpStream dump(reporting.diagnostics);
  for (int lines : {1, 20000}) {
    auto dumpAndThen = [&](void (DumpStream::*end)()) {
      return reporting.Run([&] {
        dump.Open(FilePtr(std::fopen("/dev/full", "wb")), "Out.txt");
        for (int i = 0; i < lines; ++i) dump.Put<"\t\t<%s>:<%d>\n">("line", i);
        (dump.*end)();
      });
    };
    for (auto end : {&DumpStream::Flush, &DumpStream::Close}) {
      test_support::RunResult reported = dumpAndThen(end);
      EXPECT_TRUE(reported.exited) << lines;
      EXPECT_EQ(reported.err, "Fail to write Out.txt.\n") << lines;
    }
    test_support::RunResult dropped = dumpAndThen(&DumpStream::Drop);
    EXPECT_FALSE(dropped.exited) << lines;
    EXPECT_EQ(dropped.err, "") << lines;
  }
}

// A pipe that nobody reads yet holds the writer thread up after its first
// pieces: the dump goes on, in a piece that grows, and what the pipe gives
// once it is read is every byte in order.
TEST(DumpStreamPipeTest, TheDumpGoesOnWhileTheWriterIsHeldUp) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  test_support::Reporting reporting;
  DumpStream dump(reporting.diagnostics);
  dump.Open(FilePtr(fdopen(ends[1], "wb")), "Out.txt");
  std::atomic<bool> dumped = false, readerGaveUp = false;
  std::string read;
  std::thread reader([&] {
    for (int i = 0; i < 500 && !dumped; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    readerGaveUp = !dumped;
    char bytes[1 << 16];
    for (ssize_t size; (size = ::read(ends[0], bytes, sizeof bytes)) > 0;) read.append(bytes, size);
  });
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    dump.Put<"<%d>\n">(i);
    expected += "<" + std::to_string(i) + ">\n";
    // As many lines for the writer to format as the held-up pieces may keep.
    if (i % 30 == 0) {
      const char* later = "later";
      dump.PutPooled<"<%s %d>\n">(later, i);
      expected += "<later " + std::to_string(i) + ">\n";
    }
  }
  dumped = true;
  dump.Close();
  reader.join();
  close(ends[0]);
  EXPECT_FALSE(readerGaveUp) << "the dump waited for the writer";
  EXPECT_TRUE(read == expected) << read.size() << " bytes, not " << expected.size();
}

// Out.txt on the disk, left by a run before.
class DumpStreamOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/dump_stream_test_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
    path_ = folder_ + "/Out.txt";
    std::ofstream(path_) << std::string(5 << 20, 'x');
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }

  void Open() {
    FileSystem::Unemptied created = files_.CreateUnemptied(path_);
    ASSERT_TRUE(created.file);
    EXPECT_TRUE(created.mustEmpty);
    dump_.Open(std::move(created.file), path_, created.mustEmpty);
  }

  std::string folder_, path_;
  DiskFiles files_;
  test_support::Reporting reporting_;
  DumpStream dump_{reporting_.diagnostics};
};

TEST_F(DumpStreamOnDiskTest, AnOldFileLongerThanTheDumpIsEmptied) {
  struct Case {
    int lines;
    void (DumpStream::*end)();
  };
  for (Case dumped : {Case{0, &DumpStream::Drop}, Case{1, &DumpStream::Drop},
                      Case{1, &DumpStream::Close}, Case{100000, &DumpStream::Close}}) {
    std::ofstream(path_) << std::string(5 << 20, 'x');
    Open();
    std::string expected;
    for (int i = 0; i < dumped.lines; ++i) {
      dump_.Put<"<%d>\n">(i);
      expected += "<" + std::to_string(i) + ">\n";
    }
    (dump_.*dumped.end)();
    std::string written = Read(path_);
    EXPECT_TRUE(written == expected)
        << dumped.lines << " lines: " << written.size() << " bytes, not " << expected.size();
  }
}

TEST_F(DumpStreamOnDiskTest, AnOldFileReadByAnotherNameIsEmptiedBeforeItIsRead) {
  std::string link = folder_ + "/dev.pre";
  ASSERT_EQ(::link(path_.c_str(), link.c_str()), 0);
  Open();
  FilePtr read = files_.OpenForReading(link);
  ASSERT_TRUE(read);
  dump_.SettleIfSame(read.get(), files_);
  EXPECT_EQ(Read(link), "");
  dump_.Put<"<%s>\n">("dumped");
  dump_.Close();
  EXPECT_EQ(Read(link), "<dumped>\n");
}

}  // namespace
}  // namespace qelc
