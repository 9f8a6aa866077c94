// The compiler as a library: every call is a compilation of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "qelc/qelc.h"

namespace qelc {
namespace {

CompileResult CompileExample(const std::string& name, const std::string& option = {}) {
  std::filesystem::path examples =
      std::filesystem::path(__FILE__).parent_path().parent_path() / "examples";
  std::ifstream in(examples / name, std::ios::binary);
  return Compile({name, std::string(std::istreambuf_iterator<char>(in), {}), option});
}

void ExpectSame(const CompileResult& a, const CompileResult& b) {
  EXPECT_EQ(a.status, b.status);
  EXPECT_EQ(a.standardOutput, b.standardOutput);
  EXPECT_EQ(a.standardError, b.standardError);
  ASSERT_EQ(a.files.size(), b.files.size());
  for (size_t i = 0; i < a.files.size(); ++i) {
    EXPECT_EQ(a.files[i].name, b.files[i].name);
    EXPECT_TRUE(a.files[i].bytes == b.files[i].bytes) << a.files[i].name << " differs";
  }
}

// Nothing of one compilation reaches the next: not a failure that ended a run
// in the middle of a section, not the other language's road, not a run beside
// it on another thread.
TEST(CompileTest, CompilationsInOneProcessShareNothing) {
  CompileResult first = CompileExample("device.daf");
  ASSERT_EQ(first.status, 0) << first.standardOutput << first.standardError;
  ASSERT_EQ(first.files.size(), 2u);
  EXPECT_EQ(first.files[1].name, "device.dab");
  EXPECT_GT(first.files[1].bytes.size(), 0x1E3400u);

  CompileResult failed = Compile({"device.daf", "Device D Aliases { a : b, }", ""});
  EXPECT_EQ(failed.status, 1);
  EXPECT_FALSE(failed.diagnostics.empty());
  CompileResult library = CompileExample("library.ipf", "-d");
  ASSERT_EQ(library.status, 0) << library.standardOutput << library.standardError;
  ExpectSame(CompileExample("device.daf"), first);

  CompileResult beside[2];
  std::thread other([&] { beside[0] = CompileExample("device.daf"); });
  beside[1] = CompileExample("device.daf");
  other.join();
  ExpectSame(beside[0], first);
  ExpectSame(beside[1], first);
  ExpectSame(CompileExample("library.ipf", "-d"), library);
}

}  // namespace
}  // namespace qelc
