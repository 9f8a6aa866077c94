#include "qelcmd/build.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "qelcmd/scratch_folder_test.h"

namespace qelc::qelcmd {
namespace {

namespace fs = std::filesystem;

constexpr char kDevice[] = "Device D1\nExtensions { 'ipf' : 'Soft IP' }\n";

// An error in an included file, below #define lines that the preprocessed
// text would count otherwise.
constexpr char kWithInclude[] =
    "#define WIDE 1\n#define NARROW 2\nDevice D1\n#include \"parts/ext.inc\"\n";
constexpr char kBrokenInclude[] = "// the extensions\nExtensions {\n  'ipf' 'Soft IP'\n}\n";

std::string Text(const std::function<void(FILE*)>& write) {
  FILE* file = std::tmpfile();
  write(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
  std::fclose(file);
  return text;
}

TEST(BuildOne, AnErrorStandsInTheUsersFileAndNothingIsWritten) {
  ScratchFolder scratch("error");
  fs::path source = scratch.Write("sub/dev.daf", kWithInclude);
  scratch.Write("sub/parts/ext.inc", kBrokenInclude);
  SourceOutcome outcome = BuildOne({source, source.parent_path()}, false, {});
  EXPECT_TRUE(outcome.failed);
  ASSERT_FALSE(outcome.findings.empty());
  const Location& at = outcome.findings[0].location;
  EXPECT_EQ(at.file, (scratch.path() / "sub/parts/ext.inc").string());
  EXPECT_EQ(at.line, 3);
  ASSERT_EQ(at.includedFrom.size(), 1u);
  EXPECT_EQ(at.includedFrom[0].file, source.string());
  EXPECT_EQ(at.includedFrom[0].line, 4);
  EXPECT_EQ(scratch.Files(), (std::set<std::string>{"sub/dev.daf", "sub/parts/ext.inc"}));
}

TEST(BuildOne, WritesOnlyTheCompiledFileIntoItsOutputFolder) {
  ScratchFolder scratch("written");
  fs::path source = scratch.Write("dev.daf", kDevice);
  SourceOutcome outcome = BuildOne({source, scratch.path() / "out"}, false, {});
  EXPECT_FALSE(outcome.failed) << outcome.problem;
  EXPECT_EQ(outcome.written, scratch.path() / "out" / "dev.dab");
  EXPECT_EQ(scratch.Files(), (std::set<std::string>{"dev.daf", "out/dev.dab"}));
}

TEST(BuildOne, AnInterruptedBuildWritesNothing) {
  ScratchFolder scratch("interrupted");
  fs::path source = scratch.Write("dev.daf", kDevice);
  SourceOutcome outcome = BuildOne({source, scratch.path()}, false, [] { return true; });
  EXPECT_FALSE(outcome.failed);
  EXPECT_TRUE(outcome.written.empty());
  EXPECT_EQ(scratch.Files(), std::set<std::string>{"dev.daf"});
}

TEST(BuildOne, WarningsFailOnlyAsErrors) {
  ScratchFolder scratch("werror");
  // A section given twice: a warning, and the source still compiles.
  fs::path source = scratch.Write("dev.daf", std::string(kDevice) + "Extensions { }\n");
  SourceOutcome lenient = BuildOne({source, scratch.path()}, false, {});
  ASSERT_EQ(lenient.findings.size(), 1u);
  EXPECT_EQ(lenient.findings[0].severity, Severity::kWarning);
  EXPECT_FALSE(lenient.failed);
  fs::remove(lenient.written);
  SourceOutcome strict = BuildOne({source, scratch.path()}, true, {});
  ASSERT_EQ(strict.findings.size(), 1u);
  EXPECT_EQ(strict.findings[0].severity, Severity::kError);
  EXPECT_TRUE(strict.failed);
  EXPECT_EQ(scratch.Files(), std::set<std::string>{"dev.daf"});
}

TEST(BuildAll, ThreadsChangeNeitherTheOutputNorItsOrder) {
  ScratchFolder scratch("threads");
  std::vector<BuildSource> sources;
  for (int i = 0; i < 24; ++i) {
    // Every third source fails, at a line of its own.
    std::string text = i % 3 ? kDevice : std::string(size_t(i), '\n') + "Devise D1\n";
    fs::path source = scratch.Write("s" + std::to_string(100 + i) + ".daf", text);
    sources.push_back({source, scratch.path()});
  }
  auto run = [&](unsigned jobs) {
    BuildCounts counts;
    std::string text = Text(
        [&](FILE* out) { counts = BuildAll(sources, {.jobs = jobs, .keepGoing = true}, out); });
    EXPECT_EQ(counts.built, 16u);
    EXPECT_EQ(counts.failed, 8u);
    return text;
  };
  std::string one = run(1);
  EXPECT_EQ(run(4), one);
  EXPECT_LT(one.find("s100.daf:1:"), one.find("s103.daf:4:"));
  EXPECT_LT(one.find("s121.daf:22:"), std::string::npos);
}

TEST(BuildAll, StopsStartingSourcesAfterAFailureUnlessToldToGoOn) {
  ScratchFolder scratch("stop");
  fs::path broken = scratch.Write("a.daf", "Devise D1\n");
  fs::path good = scratch.Write("b.daf", kDevice);
  std::vector<BuildSource> sources{{broken, scratch.path()}, {good, scratch.path()}};
  BuildCounts counts;
  Text([&](FILE* out) { counts = BuildAll(sources, {.jobs = 1}, out); });
  EXPECT_EQ(counts.failed, 1u);
  EXPECT_EQ(counts.built, 0u);
  Text([&](FILE* out) { counts = BuildAll(sources, {.jobs = 1, .keepGoing = true}, out); });
  EXPECT_EQ(counts.built, 1u);
}

}  // namespace
}  // namespace qelc::qelcmd
