// The compiler as a library: every call is a compilation of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "qelc/qelc.h"

namespace qelc {
namespace {

CompileResult CompileExample(const std::string& name, bool debug = false) {
  std::filesystem::path examples =
      std::filesystem::path(__FILE__).parent_path().parent_path() / "examples";
  std::ifstream in(examples / name, std::ios::binary);
  CompileOptions options;
  options.keepPreprocessed = options.decode = debug;
  return Compile({name, std::string(std::istreambuf_iterator<char>(in), {})}, options);
}

// Included files from a map of names to texts, as an editor's buffers give
// them.
class Buffers : public IncludeResolver {
 public:
  Buffers(std::initializer_list<std::pair<const std::string, std::string>> files) : files_(files) {}
  std::optional<std::string> Read(const std::string& name) override {
    auto file = files_.find(name);
    if (file == files_.end()) return std::nullopt;
    return file->second;
  }

 private:
  std::map<std::string, std::string> files_;
};

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
  ASSERT_TRUE(first.artifact);
  EXPECT_EQ(first.artifact->name, "device.dab");
  EXPECT_TRUE(first.artifact->bytes == first.files[1].bytes);

  CompileResult failed = Compile({"device.daf", "Device D Aliases { a : b, }"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_FALSE(failed.diagnostics.empty());
  CompileResult library = CompileExample("library.ipf", true);
  ASSERT_EQ(library.status, 0) << library.standardOutput << library.standardError;
  ExpectSame(CompileExample("device.daf"), first);

  CompileResult beside[2];
  std::thread other([&] { beside[0] = CompileExample("device.daf"); });
  beside[1] = CompileExample("device.daf");
  other.join();
  ExpectSame(beside[0], first);
  ExpectSame(beside[1], first);
  ExpectSame(CompileExample("library.ipf", true), library);
}

// Included files come from the resolver, which an editor fills with its unsaved
// buffers; every message stands at its place in the user's files, and the
// console text is qelc's.
TEST(CompileTest, IncludesComeFromTheResolverAndMessagesStandInTheirFiles) {
  Buffers buffers{{"ext.inc", "Extensions {\n  'ipf' 'Soft IP'\n}\n"}};
  CompileOptions options;
  options.resolver = &buffers;
  CompileResult result = Compile({"dev.daf", "Device D\n#include \"ext.inc\"\n"}, options);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.standardOutput,
            "Begins parsing\nParsing Section Extensions\n"
            "Line:     4: Expecting ':', but seeing ''Soft IP''.\n");
  ASSERT_EQ(result.diagnostics.size(), 1u);
  const Diagnostic& error = result.diagnostics[0];
  EXPECT_EQ(error.check, "syntax");
  EXPECT_EQ(error.location.file, "ext.inc");
  EXPECT_EQ(error.location.line, 2);
  EXPECT_EQ(error.location.column, 9);
  EXPECT_FALSE(result.artifact);
  // A failed run leaves its .pre file, and Out.txt as far as it was written.
  ASSERT_EQ(result.files.size(), 2u);
  EXPECT_EQ(result.files[0].name, "dev.pre");
  EXPECT_EQ(result.files[0].bytes, "Device D\nExtensions {\n  'ipf' 'Soft IP'\n}\n");
  EXPECT_EQ(result.files[1].name, "Out.txt");

  result = Compile({"dev.daf", "Device D\n#include \"missing.inc\"\n"}, options);
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
      "PinNumberByPackage {\n  When PACKAGE is 'SOIC8' "
      ":\n    SOIC8 : 9 : 'PA0'\n}\n"
      "Initialize {\n  When DEV is 'A' :\n    P1.name "
      "'X' ;\n    P2.name 'Y' ;\n}\n";
  CompileResult plain = Compile({"dev.daf", source});
  CompileOptions options;
  options.warnings = true;
  std::vector<std::string> told;
  options.onDiagnostic = [&told](const Diagnostic& said) { told.push_back(said.check); };
  CompileResult warned = Compile({"dev.daf", source}, options);
  EXPECT_EQ(plain.status, 1);
  ExpectSame(warned, plain);
  ASSERT_EQ(warned.diagnostics.size(), 2u);
  EXPECT_EQ(warned.diagnostics[0].check, "pin-out-of-package");
  EXPECT_EQ(warned.diagnostics[0].location.line, 4);
  EXPECT_EQ(warned.diagnostics[1].severity, Severity::kError);
  EXPECT_EQ(warned.diagnostics[1].location.line, 8);
  EXPECT_EQ(told, (std::vector<std::string>{"pin-out-of-package", "syntax"}));
}

// A name that is no source's is refused with the program's words and status,
// and nothing is read or written.
TEST(CompileTest, ANameWithoutASourceExtensionIsRefusedAsTheProgramRefusesIt) {
  CompileResult result = Compile({"notes.txt", "Device D\n"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_EQ(result.standardError,
            "\nIncorrect file extension.\n\nCorrect usage : qelc filename \nwhere :\n"
            "filename is file name with extension 'daf' or 'ipf'.\n\n");
  EXPECT_TRUE(result.files.empty());
  EXPECT_FALSE(result.artifact);
  EXPECT_FALSE(Lint({"notes.txt", "Device D\n"}).isSource);
}

// The .pre file and the .dec file are kept each on its own request.
TEST(CompileTest, ThePreprocessedTextAndTheDecodeAreAskedForApart) {
  std::filesystem::path examples =
      std::filesystem::path(__FILE__).parent_path().parent_path() / "examples";
  std::ifstream in(examples / "library.ipf", std::ios::binary);
  Source source{"lib.ipf", std::string(std::istreambuf_iterator<char>(in), {})};
  auto names = [&source](bool keep, bool decode) {
    CompileOptions options;
    options.keepPreprocessed = keep;
    options.decode = decode;
    CompileResult result = Compile(source, options);
    EXPECT_EQ(result.status, 0) << result.standardOutput << result.standardError;
    std::vector<std::string> names;
    for (const OutputFile& file : result.files) names.push_back(file.name);
    return names;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(names(false, false), (Names{"Out.txt", "lib.ipb"}));
  EXPECT_EQ(names(true, false), (Names{"lib.pre", "Out.txt", "lib.ipb"}));
  EXPECT_EQ(names(false, true), (Names{"Out.txt", "lib.ipb", "lib.dec"}));
  EXPECT_EQ(names(true, true), (Names{"lib.pre", "Out.txt", "lib.ipb", "lib.dec"}));
}

// Linting reads on after each error; every finding has the range of its token
// in the user's file and the #include lines that reach that file, and a
// "did you mean" comes with its fix.
TEST(LintTest, FindingsHaveRangesIncludeChainsAndFixes) {
  Buffers buffers{{"outer.inc", "// pins\n#include \"inner.inc\"\n"},
                  {"inner.inc", "Alias {\n  When PAKAGE is 'A' :\n    X : 'Y'\n}\n"}};
  LintOptions options;
  options.resolver = &buffers;
  LintResult result = Lint({"dev.daf",
                            "Device D\n#include \"outer.inc\"\nGroup {\n  Always : "
                            "X : { A B }\n}\n"},
                           options);
  ASSERT_TRUE(result.isSource);
  ASSERT_GE(result.diagnostics.size(), 1u);
  const Diagnostic& misspelt = result.diagnostics[0];
  EXPECT_EQ(misspelt.check, "condition-syntax");
  const Location& at = misspelt.location;
  EXPECT_EQ(at.file, "inner.inc");
  EXPECT_EQ(std::tie(at.line, at.column, at.endLine, at.endColumn), std::make_tuple(2, 8, 2, 14));
  ASSERT_EQ(at.includedFrom.size(), 2u);
  EXPECT_EQ(at.includedFrom[0].file, "outer.inc");
  EXPECT_EQ(
      std::tie(at.includedFrom[0].line, at.includedFrom[0].column, at.includedFrom[0].endColumn),
      std::make_tuple(2, 11, 20));
  EXPECT_EQ(at.includedFrom[1].file, "dev.daf");
  EXPECT_EQ(at.includedFrom[1].line, 2);
  ASSERT_EQ(misspelt.fixes.size(), 1u);
  EXPECT_EQ(misspelt.fixes[0].text, "PACKAGE");
  EXPECT_EQ(misspelt.fixes[0].at.column, 8);
  EXPECT_EQ(misspelt.fixes[0].at.endColumn, 14);
  EXPECT_TRUE(result.facts.sections.empty());  // not asked for
  // The reading went on past the error to the next section.
  EXPECT_EQ(result.diagnostics.back().location.file, "dev.daf");

  // The facts, asked for, name what the reading found where it stands.
  options.facts = true;
  SourceFacts facts = Lint({"dev.daf", "Device D\n#include \"outer.inc\"\n"}, options).facts;
  ASSERT_EQ(facts.includes.size(), 2u);
  EXPECT_EQ(facts.includes[1].name, "inner.inc");
  EXPECT_EQ(facts.includes[1].at.file, "outer.inc");
  ASSERT_EQ(facts.sections.size(), 1u);
  EXPECT_EQ(facts.sections[0].keyword, "Alias");
  EXPECT_EQ(facts.sections[0].keywordAt.file, "inner.inc");
}

// The formatter through the library: a layout that keeps the comment and
// compiles the same, and a refusal that names the error.
TEST(LibraryFormatTest, FormatsOrSaysWhyNot) {
  Source source{"dev.daf", "Device D // the device\nAlias{When DEV is 'A':X:'Y'}\n"};
  FormatResult formatted = Format(source);
  ASSERT_TRUE(formatted.text) << formatted.refusal;
  EXPECT_NE(formatted.text->find("// the device"), std::string::npos);
  EXPECT_NE(*formatted.text, source.text);
  CompileResult before = Compile(source);
  CompileResult after = Compile({source.name, *formatted.text});
  ASSERT_TRUE(before.artifact && after.artifact);
  EXPECT_TRUE(before.artifact->bytes == after.artifact->bytes);
  EXPECT_EQ(Format({source.name, *formatted.text}).text, formatted.text);

  FormatResult refused = Format({"dev.daf", "Device D\nAlias {\n  When DEV is A :\n}\n"});
  EXPECT_FALSE(refused.text);
  EXPECT_NE(refused.refusal.find("dev.daf:3:"), std::string::npos) << refused.refusal;
}

}  // namespace
}  // namespace qelc
