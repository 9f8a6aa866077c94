#include "compiler/project_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "qelc/qelc.h"

namespace qelc {
namespace {

using Checks = std::vector<std::pair<std::string, bool>>;
using Problems = std::vector<std::pair<int32_t, std::string>>;

TEST(ProjectConfigTest, ReadsChecksAndRepeatedNamesPastCommentsAndBlanks) {
  ProjectConfig config = ParseProjectConfig(
      "# a family\n"
      "\n"
      "[checks]\n"
      "  pin-name-repeated = off \r\n"
      "; the define checks\n"
      "define-repeated=on\n"
      "[ names ]\n"
      "repeated =\tVDD*  VREF NC\n",
      "qel.conf");
  EXPECT_EQ(config.checks, (Checks{{"pin-name-repeated", false}, {"define-repeated", true}}));
  EXPECT_EQ(config.repeatedPinNames, (std::vector<std::string>{"VDD*", "VREF", "NC"}));
  EXPECT_TRUE(config.problems.empty());

  WarningSet on{"pin-name-repeated", "unknown-pin-name"};
  config.Apply(on);
  EXPECT_EQ(on, (WarningSet{"define-repeated", "unknown-pin-name"}));
}

TEST(ProjectConfigTest, AnEmptyListRepeatsNoNameAndNoListKeepsTheDefault) {
  EXPECT_EQ(ParseProjectConfig("[names]\nrepeated =\n", "q").repeatedPinNames,
            std::vector<std::string>{});
  EXPECT_EQ(ParseProjectConfig("[checks]\n", "q").RepeatedPinNames(), nullptr);
}

TEST(ProjectConfigTest, LinesNotUnderstoodAreProblemsAtTheirLinesAndTheRestCounts) {
  ProjectConfig config = ParseProjectConfig(
      "stray = 1\n"
      "[checks]\n"
      "no-such-check = off\n"
      "pin-name-repeated = maybe\n"
      "section-repeated\n"
      "section-repeated = off\n"
      "[names]\n"
      "shared = A\n"
      "[pins]\n",
      "family/qel.conf");
  EXPECT_EQ(config.checks, (Checks{{"section-repeated", false}}));
  EXPECT_EQ(config.problems,
            (Problems{{1, "a setting before the first [SECTION]"},
                      {3, "no warning check is named no-such-check (see qellint --list-checks)"},
                      {4, "a check is on or off, not 'maybe'"},
                      {5, "expected NAME = VALUE or [SECTION]"},
                      {8, "unknown setting shared of [names]; known: repeated"},
                      {9, "unknown section [pins]; known: [checks], [names]"}}));
  std::vector<Diagnostic> findings;
  config.ReportProblems(findings);
  ASSERT_EQ(findings.size(), 6u);
  EXPECT_EQ(findings[1].check, "project-config");
  EXPECT_EQ(findings[1].severity, Severity::kError);
  EXPECT_EQ(findings[1].location.file, "family/qel.conf");
  EXPECT_EQ(findings[1].location.line, 3);
}

// A scratch folder tree, removed at the end.
class ProjectFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/qel-conf-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    root_ = name;
    std::filesystem::create_directories(root_ / "family" / "boards");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(root_ / path, std::ios::binary) << text;
  }
  std::string Path(const std::filesystem::path& path) { return (root_ / path).string(); }

  std::filesystem::path root_;
};

TEST_F(ProjectFolderTest, TheNearestFileAtOrAboveTheSourceCounts) {
  EXPECT_FALSE(FindProjectConfig(Path("family/boards/dev.daf")));
  Write("qel.conf", "[checks]\nsection-repeated = off\n");
  Write("family/qel.conf", "[checks]\npin-name-repeated = off\n");
  std::optional<ProjectConfig> found = FindProjectConfig(Path("family/boards/dev.daf"));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->path, Path("family/qel.conf"));
  EXPECT_EQ(found->checks, (Checks{{"pin-name-repeated", false}}));
  found = FindProjectConfig(Path("dev.daf"));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->checks, (Checks{{"section-repeated", false}}));
}

TEST_F(ProjectFolderTest, TheLibraryReadsTheFileOnlyWhenAsked) {
  Write("family/qel.conf", "[names]\nrepeated = PA*\n[checks]\nsection-repeated = off\nx = on\n");
  std::string source =
      "Device D1\n"
      "PinNumberByPackage {\n"
      "  When PACKAGE is 'SOIC8' :\n"
      "    SOIC8 : 1 : 'PA0',\n"
      "    SOIC8 : 2 : 'PA0',\n"
      "    SOIC8 : 3 : 'VDD',\n"
      "    SOIC8 : 4 : 'VDD'\n"
      "}\n"
      "Alias { }\n"
      "Alias { }\n";
  auto checksOf = [](const LintResult& result) {
    std::vector<std::string> checks;
    for (const Diagnostic& finding : result.diagnostics) checks.push_back(finding.check);
    return checks;
  };
  LintOptions options;
  Source dev{Path("family/boards/dev.daf"), source};
  EXPECT_EQ(checksOf(Lint(dev, options)),
            (std::vector<std::string>{"pin-name-repeated", "section-repeated"}));
  options.projectConfig = true;
  LintResult read = Lint(dev, options);
  // The file's line 5, then VDD no longer left out; the sections' check off.
  EXPECT_EQ(checksOf(read), (std::vector<std::string>{"project-config", "pin-name-repeated"}));
  EXPECT_EQ(read.diagnostics[0].location.line, 5);
  EXPECT_EQ(read.diagnostics[1].location.line, 7);
  options.enable = {"section-repeated"};
  EXPECT_EQ(checksOf(Lint(dev, options)),
            (std::vector<std::string>{"project-config", "pin-name-repeated", "section-repeated"}));
}

}  // namespace
}  // namespace qelc
