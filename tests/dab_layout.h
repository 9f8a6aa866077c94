#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The DAB table block as the tests see it: written out here field by field, on
// purpose apart from the compiler's own declaration, so that the whole-program
// tests check the layout instead of trusting it.
namespace qelc::test {

constexpr size_t kBlockSize = 0x1E3400;  // 1,979,392 bytes
constexpr int32_t kPoolCapacity = 32000;
constexpr char kFormatVersion[] = "6.0.0.0.1";

enum class FieldKind {
  kInteger,    // a signed 32-bit little-endian number
  kReference,  // a 32-bit offset into the string pool
  kBytes,      // raw bytes (the format version text)
};

struct RecordType;

// One member of a record: a scalar, or an array of `count` elements.
struct Member {
  std::string name;
  FieldKind kind = FieldKind::kInteger;  // for leaves
  const RecordType* record = nullptr;    // for nested records
  int count = 0;                         // 0: not an array
  size_t elementSize = 4;
  size_t offset = 0;  // from the start of the enclosing record
};

struct RecordType {
  std::string name;
  std::vector<Member> members;
  size_t size = 0;
};

// A leaf field that a path names.
struct FieldLocation {
  size_t offset = 0;  // from the start of the block
  size_t size = 4;
  FieldKind kind = FieldKind::kInteger;
};

// A byte of the block, named: "groups[0].groups[1].members[2].alternative".
struct ByteName {
  std::string path;
  FieldLocation field;
};

// The whole block: the header and the 23 tables, as members of one record.
const RecordType& BlockLayout();

// Resolves a path such as `prolog[1].statements.slots[0].kind` to its field.
// Throws std::invalid_argument naming the first wrong part of the path.
FieldLocation ResolvePath(std::string_view path);

// Names the field that holds byte `offset` of the block (offset < kBlockSize).
ByteName NameByte(size_t offset);

}  // namespace qelc::test
