#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text form of an expected DAB file (tests/README.md): `include NAME`,
// `pool` lines and `path = value` lines, expanded to the file's full bytes.
namespace qelc::test {

struct PoolString {
  std::string text;
  size_t offset = 0;  // in the pool
};

struct DabImage {
  std::string bytes;              // the block followed by the pool bytes
  std::vector<PoolString> pool;   // in the order listed
};

// Reads the lines of `include NAME`; returns nothing when there is no such file.
using IncludeReader = std::function<std::optional<std::string>(const std::string& name)>;

// Expands the text form. `sourceName` prefixes the messages. Throws
// std::invalid_argument with "NAME:LINE: problem" on any error: a bad line, an
// unknown field path, an index out of range, a value of the wrong kind, a string
// value that is not a listed pool string, an include that cannot be read.
DabImage ExpandDabText(std::string_view text, const std::string& sourceName,
                       const IncludeReader& readInclude);

// Reads includes from `directory`/NAME.dab.txt.
IncludeReader IncludeDirectory(const std::string& directory);

// Empty when `actual` is the expected file; otherwise a description of the first
// differing byte that names its table, record and field (or pool string), with
// the expected and the actual value.
std::string DescribeDabDifference(const DabImage& expected, std::string_view actual);

}  // namespace qelc::test
