// The compiler as a library: every call is a compilation of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
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

// Included files come from the resolver, which an editor fills with its unsaved
// buffers; every message stands at its place in the user's files, and the
// console text is qelc's.
TEST(CompileTest, IncludesComeFromTheResolverAndMessagesStandInTheirFiles) {
  class Buffers : public IncludeResolver {
   public:
    std::optional<std::string> Read(const std::string& name) override {
      if (name == "ext.inc") return "Extensions {\n  'ipf' 'Soft IP'\n}\n";
      return std::nullopt;
    }
  } buffers;
  CompileRequest request{"dev.daf", "Device D\n#include \"ext.inc\"\n", "", &buffers};
  CompileResult result = Compile(request);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.standardOutput,
            "Begins parsing\nParsing Section Extensions\n"
            "Line:     4: Expecting ':', but seeing ''Soft IP''.\n");
  ASSERT_EQ(result.diagnostics.size(), 1u);
  const Message& error = result.diagnostics[0];
  EXPECT_EQ(error.check, "syntax");
  EXPECT_EQ(error.location.file, "ext.inc");
  EXPECT_EQ(error.location.line, 2);
  EXPECT_EQ(error.location.column, 9);
  // A failed run leaves its .pre file, and Out.txt as far as it was written.
  ASSERT_EQ(result.files.size(), 2u);
  EXPECT_EQ(result.files[0].name, "dev.pre");
  EXPECT_EQ(result.files[0].bytes, "Device D\nExtensions {\n  'ipf' 'Soft IP'\n}\n");
  EXPECT_EQ(result.files[1].name, "Out.txt");

  request.sourceText = "Device D\n#include \"missing.inc\"\n";
  result = Compile(request);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.standardError, "Cannot open include file 'missing.inc'.\n");
  ASSERT_EQ(result.diagnostics.size(), 1u);
  EXPECT_EQ(result.diagnostics[0].check, "include-missing");
  EXPECT_EQ(result.diagnostics[0].location.file, "dev.daf");
  EXPECT_EQ(result.diagnostics[0].location.line, 2);
}

// Warnings on change the findings, never the run: the first error still ends
// it, with qelc's status, console text and files (the linter alone reads on
// after an error), and the cross-reference checks speak as warnings.
TEST(CompileTest, WarningsChangeNothingButTheFindings) {
  const std::string source =
      "Device D\n"
      "PinNumberByPackage {\n  When PACKAGE is 'SOIC8' :\n    SOIC8 : 9 : 'PA0'\n}\n"
      "Initialize {\n  When DEV is 'A' :\n    P1.name 'X' ;\n    P2.name 'Y' ;\n}\n";
  CompileRequest request{"dev.daf", source, ""};
  CompileResult plain = Compile(request);
  request.warnings = true;
  CompileResult warned = Compile(request);
  EXPECT_EQ(plain.status, 1);
  ExpectSame(warned, plain);
  ASSERT_EQ(warned.diagnostics.size(), 2u);
  EXPECT_EQ(warned.diagnostics[0].check, "pin-out-of-package");
  EXPECT_EQ(warned.diagnostics[0].location.line, 4);
  EXPECT_EQ(warned.diagnostics[1].severity, Severity::kError);
  EXPECT_EQ(warned.diagnostics[1].location.line, 8);
}

}  // namespace
}  // namespace qelc
