#include "qelcmd/new_source.h"

#include <gtest/gtest.h>

#include "qelc/qelc.h"

namespace qelc::qelcmd {
namespace {

class NoIncludes : public IncludeResolver {
 public:
  std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
};

TEST(StartingSource, CompilesLintsCleanAndIsInItsOwnLayout) {
  for (auto [kind, file] :
       {std::pair{SourceKind::kDaf, "Board_2.daf"}, std::pair{SourceKind::kIpf, "Board_2.ipf"}}) {
    std::optional<std::string> text = StartingSource(kind, "Board_2");
    ASSERT_TRUE(text);
    NoIncludes none;
    Source source{file, *text};
    CompileOptions compileOptions;
    compileOptions.resolver = &none;
    CompileResult compiled = Compile(source, compileOptions);
    EXPECT_EQ(compiled.status, 0) << file << compiled.standardError;
    EXPECT_TRUE(compiled.artifact) << file;
    LintOptions lintOptions;
    lintOptions.resolver = &none;
    LintResult lint = Lint(source, lintOptions);
    for (const Diagnostic& finding : lint.diagnostics) {
      ADD_FAILURE() << file << ":" << finding.location.line << ": " << finding.message;
    }
    FormatResult formatted = Format(source, &none);
    EXPECT_EQ(formatted.text, text) << file << ": " << formatted.refusal;
    // Every section points at the manual.
    EXPECT_NE(text->find(kind == SourceKind::kDaf ? "docs/daf.md#memorymap" : "docs/ipf.md#macro"),
              std::string::npos);
  }
}

TEST(StartingSource, ANameMustBeOneWord) {
  for (const char* name : {"", "2board", "my board", "a-b", "x'y"}) {
    EXPECT_FALSE(StartingSource(SourceKind::kDaf, name)) << name;
  }
}

}  // namespace
}  // namespace qelc::qelcmd
