#include "softip/ipb_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "softip/test_support.h"
#include "source/fatal.h"

namespace qelc {
namespace {

using test::Bytes;

class IpbFileTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseEmptyLibrary(); }
  void TearDown() override { ResetLibrary(); }

  // A category section and two modules that use every list.
  static void FillLibrary() {
    AddSoftIPCategory(1.5f, "'Timers'", "Timer blocks");
    AddSoftIPCategory(2, "Uarts", "x");
    SoftIPModule uart;
    SetModuleName(uart, "Uart");
    SetModuleStatement(uart, "uart", -56);
    AddPort(uart, PortKind::kInput, {"clk", "wire", "in", "1", 8, 2, "t", "u"});
    AddPort(uart, PortKind::kOutput, {"tx", "wire", "out", "1", 1, 0, "", ""});
    AddPort(uart, PortKind::kOutput, {"rts", "wire", "out", "1", 0, 0, "", ""});
    AddDeclaration(uart, "reg", "a", "8");
    AddBusExtName(uart, "}");
    AddMacroParameter(uart, "a");
    AddMacroStatement(uart, "\\PN\\is\\'X'", "a = b;\nb = a;\n");
    AddEquationParameter(uart, "e");
    AddModule(std::move(uart));
    SoftIPModule bare;
    SetModuleName(bare, "Uart");
    AddModule(std::move(bare));
  }

  std::string Path(const std::string& name) const { return dir_.File(name); }

  // Reads `path` back into the library, which first gets stale content of its own.
  void ReadBack(const std::string& path) {
    AddSoftIPCategory(9, "stale", "stale");
    Library().modules.Append(Library().modules.At(0));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    {
      IpbStream stream(file, IpbStream::Direction::kRead);
      TransferLibrary(stream);
      TransferStringBytes(stream);
    }
    std::fclose(file);
  }

  // Decodes `bytes` as an IPB file; returns what the decode printed.
  std::string Decode(const Bytes& bytes, int expectedStatus) {
    std::string path = Path("in.ipb");
    test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
    ::testing::internal::CaptureStdout();
    int status = 0;
    try {
      DecodeIpbFile(path);
    } catch (const FatalExit& exit) {
      status = exit.status;
    }
    EXPECT_EQ(status, expectedStatus);
    return ::testing::internal::GetCapturedStdout();
  }

  test::TempDir dir_;
};

TEST_F(IpbFileTest, WriteReadWriteGivesTheSameBytes) {
  FillLibrary();
  ASSERT_TRUE(WriteIpbFile(Path("first.ipb")));
  Bytes first = test::ReadBytes(Path("first.ipb"));
  ReadBack(Path("first.ipb"));
  ASSERT_EQ(Library().categories.Size(), 2u);
  ASSERT_EQ(Library().modules.Size(), 2u);
  ASSERT_TRUE(WriteIpbFile(Path("second.ipb")));
  EXPECT_EQ(test::ReadBytes(Path("second.ipb")), first);
}

// The string bytes hold each text once, in the order first added.
TEST_F(IpbFileTest, ModulesSharingANameShareItsString) {
  FillLibrary();
  const SoftIPLibrary& library = Library();
  EXPECT_EQ(library.modules.At(0).name, library.modules.At(1).name);
  ASSERT_TRUE(WriteIpbFile(Path("shared.ipb")));
  Bytes bytes = test::ReadBytes(Path("shared.ipb"));
  std::string strings(bytes.end() - library.stringBytesUsed, bytes.end());
  EXPECT_EQ(strings, std::string("'Timers'\0Timer blocks\0Uarts\0x\0Uart\0uart\0clk\0wire\0in\0"
                                 "1\0t\0u\0tx\0out\0\0rts\0reg\0a\0" "8\0}\0\\PN\\is\\'X'\0"
                                 "a = b;\nb = a;\n\0e\0",
                                 size_t(library.stringBytesUsed)));
}

TEST_F(IpbFileTest, DecodeDumpsEveryRecord) {
  FillLibrary();
  ASSERT_TRUE(WriteIpbFile(Path("lib.ipb")));
  ResetLibrary();
  EXPECT_EQ(Decode(test::ReadBytes(Path("lib.ipb")), 0), "");
  EXPECT_EQ(test::ReadText(Path("in.dec")),
            "\nSoftIPCategory\n"
            "<1.500000> : <'Timers'> : <Timer blocks> \n"
            "<2.000000> : <Uarts> : <x> \n"
            "\n"
            "\n<Uart>\n"
            "\tModule :\n\t\t<uart> : <-56>\n"
            "\tInput :\n\t\t<clk>:<wire>:<in>:<1>:<8>:<2>:<t>:<u>\n"
            "\tOutput :\n\t\t<tx>:<wire>:<out>:<1>:<1>:<0>:<>\n"
            "\t\t<rts>:<wire>:<out>:<1>:<0>:<0>:<>\n"
            "\tDeclaration :\n\t\t<reg>:<a>:<8>\n"
            "\tBusExtName :\n\t\t<}>\n"
            "\tMacro :\n\t\tParameter :\n\t\t<a>\n"
            "\t\tMacro statement :\n<\\PN\\is\\'X'>\n<\na = b;\nb = a;\n>\n"
            "\tEquation :\n\t\tParameter :\n\t\t<e>\n"
            "\n<Uart>\n"
            "\tModule :\n\t\t<> : <0>\n"
            "\tInput :\n\tOutput :\n\tDeclaration :\n\tBusExtName :\n"
            "\tMacro :\n\t\tParameter :\n\t\tMacro statement :\n"
            "\tEquation :\n\t\tParameter :\n");
  ASSERT_EQ(Library().modules.Size(), 2u);
  EXPECT_EQ(Library().modules.At(0).outputs.Size(), 2u);
}

TEST_F(IpbFileTest, EveryShortenedFileIsCorrupt) {
  FillLibrary();
  ASSERT_TRUE(WriteIpbFile(Path("lib.ipb")));
  Bytes whole = test::ReadBytes(Path("lib.ipb"));
  std::string message = "Corrupt IPB file " + Path("in.ipb") + ".\n";
  for (size_t size = 0; size < whole.size(); ++size) {
    ASSERT_EQ(Decode(Bytes(whole.begin(), whole.begin() + long(size)), 1), message)
        << size << " bytes";
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
  std::string corrupt = "Corrupt IPB file " + Path("in.ipb") + ".\n";
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 2), 0), "");
  EXPECT_EQ(test::ReadText(Path("in.dec")),
            "\nSoftIPCategory\n\n"
            "\n<M>\n\tModule :\n\t\t<M> : <0>\n"
            "\tInput :\n\tOutput :\n\tDeclaration :\n\tBusExtName :\n\t\t<b>\n"
            "\tMacro :\n\t\tParameter :\n\t\tMacro statement :\n"
            "\tEquation :\n\t\tParameter :\n");
  std::filesystem::remove(Path("in.dec"));
  // A reference at or beyond the used bytes, found before the .dec file exists.
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 4), 1), corrupt);
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0xFF, 2), 1), corrupt);
  EXPECT_FALSE(std::filesystem::exists(Path("in.dec")));
  // A used size above the capacity.
  EXPECT_EQ(Decode(SmallFile(4, 3, 0, 2), 1), corrupt);
  // A negative used size.
  Bytes negative = SmallFile(4, 32000, 0, 2);
  negative[7] = 0xFF;
  EXPECT_EQ(Decode(negative, 1), corrupt);
  // String bytes whose last string has no NUL.
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 2, 'c'), 1), corrupt);
}

// The .dec file cannot be created: the decode stops after the message, which is
// the one of Out.txt.
TEST_F(IpbFileTest, DecodeStopsWhenTheDecFileCannotBeCreated) {
  std::filesystem::create_directory(Path("in.dec"));
  EXPECT_EQ(Decode(SmallFile(4, 32000, 0, 2), 0), "Fail to open out.txt file");
  EXPECT_TRUE(std::filesystem::is_directory(Path("in.dec")));
}

TEST_F(IpbFileTest, FileThatCannotBeOpenedIsPassedOver) {
  DecodeIpbFile(Path("missing.ipb"));
  EXPECT_FALSE(std::filesystem::exists(Path("missing.dec")));
}

// Writes `path` under a file-size limit of 100 bytes; the exit status is the run's,
// or 9 when the partial file is left behind.
[[noreturn]] void WriteBeyondFileSizeLimit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{100, 100};
  setrlimit(RLIMIT_FSIZE, &limit);
  int status = 0;
  try {
    WriteIpbFile(path);
  } catch (const FatalExit& exit) {
    status = exit.status;
  }
  std::_Exit(std::filesystem::exists(path) ? 9 : status);
}

// A write that fails removes the partial file.
TEST_F(IpbFileTest, FailedWriteRemovesThePartialFile) {
  FillLibrary();
  std::string path = Path("big.ipb");
  EXPECT_EXIT(WriteBeyondFileSizeLimit(path), ::testing::ExitedWithCode(1),
              "Fail to write " + path + "\\.\n");
}

}  // namespace
}  // namespace qelc
