#pragma once

#include <string>
#include <string_view>

// Readable descriptions of the difference between an expected and an actual
// output, for the whole-program test failures.
namespace qelc::test {

// The bytes as a C-like literal body: printable ASCII as it is, backslash and
// double quote escaped, \n \r \t, every other byte as \xHH.
std::string Escape(std::string_view bytes);

// Empty when equal; otherwise the first differing line (1-based) of both texts,
// escaped, with its line end shown, and the column where they part.
std::string DescribeTextDifference(std::string_view expected, std::string_view actual);

}  // namespace qelc::test
