#include "qelcmd/explain.h"

#include <gtest/gtest.h>

#include <map>

#include "compiler/compilation.h"

namespace qelc::qelcmd {
namespace {

std::map<std::string, std::string> ByName(const std::vector<CheckHelp>& checks) {
  std::map<std::string, std::string> byName;
  for (const CheckHelp& check : checks) byName[check.name] = check.text;
  return byName;
}

// A new warning check needs its section in the manual, or qel explain
// would call it unknown.
TEST(DocumentedChecks, EveryWarningCheckHasItsSectionWithAnExample) {
  std::map<std::string, std::string> documented = ByName(DocumentedChecks(LintManual()));
  for (const WarningCheck* check : AllWarningChecks()) {
    auto found = documented.find(std::string(check->name));
    ASSERT_NE(found, documented.end()) << check->name;
    std::string state = check->onByDefault ? "(on)\n\n" : "(off)\n\n";
    EXPECT_TRUE(found->second.starts_with(state)) << found->second;
    EXPECT_NE(found->second.find("    $ qellint"), std::string::npos) << check->name;
  }
}

TEST(DocumentedChecks, SectionsEndAtTheNextHeadingButNotAtADirectiveInAnExample) {
  constexpr char kManual[] =
      "# Checks\n## Errors\n"
      "| check | what | example |\n|---|---|---|\n"
      "| `syntax` | a brace missing | `{ A | B }`: expected '}' |\n"
      "### Errors said at their cause\n"
      "| `not-a-row-of-the-table` | x | y |\n"
      "## Warnings\n"
      "### `one` (on)\n\nWhat it finds.\n\n```daf a.daf\n#ifdef X\n#endif\n```\n"
      "### `two` (off)\nOther.\n"
      "## Where checks live\ntext\n";
  std::map<std::string, std::string> checks = ByName(DocumentedChecks(kManual));
  EXPECT_EQ(checks, (std::map<std::string, std::string>{
                        {"syntax",
                         "(an error)\n\na brace missing.\n\nFor example: "
                         "`{ A | B }`: expected '}'\n"},
                        {"one", "(on)\n\nWhat it finds.\n\na.daf:\n    #ifdef X\n    #endif\n"},
                        {"two", "(off)\nOther.\n"},
                    }));
}

}  // namespace
}  // namespace qelc::qelcmd
