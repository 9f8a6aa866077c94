#include "tables/dump_stream.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "source/test_support.h"

namespace qelc {
namespace {

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

TEST_F(DumpStreamTest, LongTextsAndManyLinesArriveWhole) {
  std::string expected;
  std::string longText(200000, 'L');
  std::string nearlyABuffer(65530, 'N');
  for (int i = 0; i < 20000; ++i) {
    dump_.Print("\t\t<%s>:<%d>\n", "line", i);
    dump_.Put<"\t\t<%s>:<%d>\n">("put", i);
    expected += "\t\t<line>:<" + std::to_string(i) + ">\n\t\t<put>:<" + std::to_string(i) + ">\n";
    if (i % 5000 == 0) {
      dump_.Print("<%s>\n", longText.c_str());
      dump_.Put<"<%s>\n">(longText.c_str());
      dump_.Put<"%s|%s\n">(nearlyABuffer.c_str(), nearlyABuffer.c_str());
      expected += "<" + longText + ">\n<" + longText + ">\n";
      expected += nearlyABuffer + "|" + nearlyABuffer + "\n";
    }
  }
  EXPECT_EQ(Closed(), expected);
}

}  // namespace
}  // namespace qelc
