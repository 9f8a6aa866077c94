#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qelc {

// Line kinds of ClassifyLine.
enum LineKind : int {
  kPlainLine = 0,
  kIncludeLine = 1,
  kDefineLine = 2,
  kIfdefLine = 3,
  kIfndefLine = 4,
  kEndifLine = 5,
  kElseLine = 6,
};

// The defines met so far, in source order. Nothing is removed or replaced: a
// name defined twice has two entries and the earlier one is found first.
class DefineTable {
 public:
  void Add(std::string name, std::string value);
  // True when any entry has this name (valued or not): #ifdef, #ifndef.
  bool IsDefined(std::string_view name) const;
  // The value of the first entry with this name and a non-empty value, or null.
  const std::string* Replacement(std::string_view word) const;

 private:
  struct Entry {
    std::string name;
    std::string value;
  };
  std::vector<Entry> entries_;
  // Implementation detail of the preprocessor unit (an index over entries_).
  struct Index;
  friend struct DefineTableAccess;
};

// One flag per open #ifdef / #ifndef: 1 while its lines are written.
using BranchStack = std::vector<int>;

// Copies `input` (named `inputName` in messages) into `output`, acting on the
// directives and rewriting defines. Returns 1 at the end of the input and 0
// after a failure whose message is already on standard error.
int Preprocess(FILE* input, const std::string& inputName, FILE* output, DefineTable& defines,
               BranchStack& branches);

// Classifies one line and fills the directive's name and value.
int ClassifyLine(std::string_view line, std::string& name, std::string& value);

// Rewrites the defines in `line` into `rewritten`. Returns false when the line
// needs more substitutions than a line may have (a define cycle).
bool SubstituteDefines(std::string_view line, std::string& rewritten, const DefineTable& defines);

}  // namespace qelc
