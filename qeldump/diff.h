#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

#include "qeldump/input_file.h"

namespace qelc::dump {

// One line of the differences of two files, and what it says of a row.
struct Difference {
  enum class Kind { kAdded, kRemoved, kChanged };
  Kind kind;
  std::string text;
};
using DifferenceSink = std::function<void(const Difference&)>;

// The rows of two files of one kind matched by the key of their list (a pin
// row by its package and number, a map by its number, a module by its name),
// each list read as the file's readers read it, up to its end. A line per row
// that only B holds ("added"), only A holds ("removed"), and per field of a
// matched row whose value differs ("changed"), each naming the table, the rows
// it stands in and the field in the source's words:
//   PinNumberByPackage, When PACKAGE is 'LQFP48', package LQFP48 pin 37: signal "PA14" -> "PA15"
// Rows of equal keys are paired in the order they stand in, so a list of
// repeated keys compares row by row. Each line goes to `out` as it is found.
void KeyedDifferences(const InputFile& a, const InputFile& b, const DifferenceSink& out);

// The fields whose content differs, by path: "path: A -> B", "(none)" for a
// record that one IPB file lacks.
void IndexDifferences(const InputFile& a, const InputFile& b, const DifferenceSink& out);

// The differences of two files of one kind, written to `out`: the lines, then
// a line when the files hold the same rows and differ only past the end of a
// list (keyed) or only in their bytes. Returns true when they differ in content.
bool WriteDifferences(const InputFile& a, const InputFile& b, bool byIndex, FILE* out);

// How two files of one kind compare: how many lines of each kind their
// differences took and, when there are none, why they may still not be the
// same file. The lines go to `out`.
struct Comparison {
  size_t counts[3] = {};  // by Difference::Kind
  std::string note;       // a sentence naming both files, or empty
  bool differ = false;    // in content: the lines, or entries past the end of a list

  size_t Lines() const { return counts[0] + counts[1] + counts[2]; }
};
Comparison Compare(const InputFile& a, const InputFile& b, bool byIndex, const DifferenceSink& out);

}  // namespace qelc::dump
