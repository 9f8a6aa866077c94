#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qelc::qelcmd {

// A check as the linter's manual describes it, in the words qel explain prints.
struct CheckHelp {
  std::string name;
  std::string text;
};

// The checks of the linter's manual (docs/lint.md) in its order: each warning
// with its section (what it finds and its example: the source and what the
// linter says of it), each error with its row of the errors' table.
std::vector<CheckHelp> DocumentedChecks(std::string_view manual);

// The manual as it was when qel was built.
std::string_view LintManual();

}  // namespace qelc::qelcmd
