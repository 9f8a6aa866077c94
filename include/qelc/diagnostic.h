#pragma once

// What the compiler and the linter say about a source, as values: where in the
// user's files (a range and the #include lines that reach it), how grave, and
// in which words.

#include <cstdint>
#include <string>
#include <vector>

namespace qelc {

// One #include line through which a file was reached: the file that holds the
// line, and where the included file's name stands on it.
struct IncludeSite {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
};

// A stretch of one of the user's files, lines and byte columns counted from 1:
// from its first character to just after its last (empty where both are
// equal). `includedFrom` is the chain of #include lines by which the
// compilation reached `file`, the innermost first; it is empty in the source
// itself. `file` is empty for a place in the preprocessed text (a compilation
// that keeps no line map).
struct Location {
  std::string file;
  int32_t line = 1;
  int32_t column = 1;
  int32_t endLine = 1;
  int32_t endColumn = 1;
  std::vector<IncludeSite> includedFrom;
};

// A replacement of the text at `at` by `text`: one step of a fix.
struct Edit {
  Location at;
  std::string text;
};

}  // namespace qelc
