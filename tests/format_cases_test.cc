// The formatter over every source of the whole-program cases that compiles:
// the formatted text compiles to the same files with the same status, and is
// its own format. Sources it refuses are counted by reason and printed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "compiler/format_source.h"
#include "qelc/qelc.h"
#include "tests/case_root.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

bool IsSourceName(const fs::path& path) {
  return path.extension() == ".daf" || path.extension() == ".ipf";
}

// A compilation's exit status and every file it leaves but the preprocessed one.
std::string Outcome(const CompileResult& result) {
  std::string outcome = std::to_string(result.status) + "\n";
  for (const OutputFile& file : result.files) {
    if (!file.name.ends_with(".pre")) outcome += file.name + "\n" + file.bytes + "\n";
  }
  return outcome;
}

// The reason of a refusal without its place.
std::string Reason(const std::string& refusal) {
  return refusal.substr(0, refusal.find(" at "));
}

TEST(FormatCasesTest, EverySourceThatCompilesKeepsWhatItCompilesTo) {
  size_t compiling = 0, formatted = 0;
  std::map<std::string, int> refused;
  for (const fs::directory_entry& area : fs::directory_iterator(CaseRoot())) {
    for (const fs::directory_entry& caseFolder : fs::directory_iterator(area.path())) {
      fs::path inputs = caseFolder.path() / "in";
      if (!fs::is_directory(inputs)) continue;
      for (const fs::directory_entry& entry : fs::directory_iterator(inputs)) {
        if (!entry.is_regular_file() || !IsSourceName(entry.path())) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text(std::istreambuf_iterator<char>(in), {});
        std::string name = entry.path().filename().string();
        DirectoryResolver resolver(inputs.string());
        CompileOptions options;
        options.resolver = &resolver;
        CompileResult original = Compile({name, text}, options);
        if (original.status != 0) continue;
        ++compiling;
        FormattedSource result = FormatSource(name, text, &resolver);
        if (!result.text) {
          ++refused[Reason(result.refusal)];
          std::cout << entry.path().string() << ": " << result.refusal << "\n";
          continue;
        }
        ++formatted;
        CompileResult again = Compile({name, *result.text}, options);
        EXPECT_TRUE(Outcome(again) == Outcome(original)) << entry.path();
        EXPECT_EQ(FormatSource(name, *result.text, &resolver).text, result.text) << entry.path();
      }
    }
  }
  std::cout << compiling << " case sources compile; " << formatted << " formatted\n";
  for (const auto& [reason, count] : refused) std::cout << count << " refused: " << reason << "\n";
  // Never hold back a layout because of an unstable second formatting.
  EXPECT_EQ(refused.count("not formatted: formatting the result again would change it"), 0u);
  // A formatter that refuses most sources is one nobody can use.
  EXPECT_GE(formatted * 20, compiling * 19);
}

}  // namespace

}  // namespace qelc::test
