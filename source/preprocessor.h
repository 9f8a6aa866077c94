#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
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
// ever asked of that list, and both are answered by one entry per name: whether
// any entry has the name, and which value the first entry with the name and a
// non-empty value holds. Names compare with regard to letter case.
class DefineTable {
 public:
  void Add(std::string_view name, std::string_view value);
  // True when any entry has this name (valued or not): #ifdef, #ifndef.
  bool IsDefined(std::string_view name) const;
  // The value of the first entry with this name and a non-empty value; empty
  // when there is none.
  std::string_view Replacement(std::string_view word) const;
  // True when some name has a value, that is when a line may need rewriting.
  bool HasValues() const { return hasValues_; }

 private:
  // Every word of a source with defines is looked up, so the defines are kept
  // small and together: a flat open-addressing index, probed linearly and at
  // most half full, of 8-byte slots, each pointing into one text that holds
  // every name with its value. A lookup reads one cache line of slots, and the
  // name and value (side by side) only when the hash matches.
  struct Slot {
    uint32_t hash = 0;
    uint32_t define = 0;  // the offset of the define in texts_ plus 1; 0: empty
  };
  // A define in texts_: the name's length, the value's length, the name, the
  // value. A name whose entries all had empty values so far gets its first
  // value by a new copy at the end.
  struct DefineView {
    std::string_view name;
    std::string_view value;
  };
  DefineView At(uint32_t define) const;
  uint32_t Append(std::string_view name, std::string_view value);
  size_t Probe(std::string_view name, uint32_t hash) const;
  void Grow();

  std::string texts_;
  std::vector<Slot> slots_;
  size_t defines_ = 0;
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
