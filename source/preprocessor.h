#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "source/diagnostics.h"
#include "source/files.h"
#include "source/line_map.h"

namespace qelc {

// The preprocessor's warning checks.
extern const WarningCheck kDefineRepeated;
extern const WarningCheck kDefineExtraWords;

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

// The defines met so far. Conceptually an ordered list to which every #define
// appends (name, value); nothing is removed or replaced, so a name defined twice
// has two entries and the earlier one is found first. Only two questions are
// ever asked of that list, and both are answered by one hash index per name:
// whether any entry has the name, and which value the first entry with the name
// and a non-empty value holds. Names compare with regard to letter case.
class DefineTable {
 public:
  void Add(std::string name, std::string value);
  // True when any entry has this name (valued or not): #ifdef, #ifndef.
  bool IsDefined(std::string_view name) const;
  // The value of the first entry with this name and a non-empty value, or null.
  const std::string* Replacement(std::string_view word) const;
  // True when some name has a value, that is when a line may need rewriting.
  bool HasValues() const { return hasValues_; }

 private:
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  // Name -> value of its first valued entry; empty while every entry of the
  // name has an empty value.
  std::unordered_map<std::string, std::string, NameHash, std::equal_to<>> firstValues_;
  // The first characters of the names that have a value: a word that starts
  // with any other character is no define, and is not looked up.
  std::array<bool, 256> valuedInitials_{};
  bool hasValues_ = false;
};

// One flag per open #ifdef / #ifndef: 1 while its lines are written.
using BranchStack = std::vector<int>;

// Copies `input` (named `inputName` in messages) into `output`, acting on the
// directives and rewriting defines. Returns 1 at the end of the input and 0
// after a failure whose message is reported through `diagnostics` (console text
// for standard error, at the directive). Include files are opened through
// `files`. With a `map`, every piece written is entered in it; the text
// written is the same either way.
int Preprocess(FILE* input, const std::string& inputName, FILE* output, DefineTable& defines,
               BranchStack& branches, Diagnostics& diagnostics, FileSystem& files,
               LineMap* map = nullptr);

// Classifies one line and fills the directive's name and value (both are
// cleared first).
int ClassifyLine(std::string_view line, std::string& name, std::string& value);

// The number of substitutions one line may need; one more is taken for a
// define cycle.
constexpr int kMaxSubstitutionsPerLine = 1000;

// The offset of the first word of `line` that a define rewrites, or npos when
// the line names no define that has a value.
size_t FirstRewrittenWord(std::string_view line, const DefineTable& defines);

// Rewrites the defines in `line` into `rewritten`. Returns false when the line
// needs more than kMaxSubstitutionsPerLine substitutions (a define cycle);
// `rewritten` then holds the line as it stands after the last allowed one.
bool SubstituteDefines(std::string_view line, std::string& rewritten, const DefineTable& defines);

}  // namespace qelc
