#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace qelc {

// A description of binary records, field by field, that readers walk: the DAB
// table block here, the soft-IP records in softip/. Offsets and sizes come from
// the declarations with offsetof and sizeof, so the map cannot drift from what
// the compiler writes.
enum class FieldKind {
  kText,    // raw bytes shown as text (the DAB format version)
  kInt,     // a signed 32-bit little-endian integer
  kFloat,   // a 32-bit IEEE float (a soft-IP category number)
  kString,  // a 32-bit reference to the string that starts at that pool offset
  kRecord,  // a record of the fields in `fields`
};

struct FieldNode {
  std::string_view name;
  FieldKind kind;
  size_t offset;  // from the start of the enclosing record
  size_t size;    // of one element
  int count;      // elements; 1 for a field that is not a list
  std::span<const FieldNode> fields;  // of a record

  bool IsList() const { return count > 1; }
};

// The 32-bit field at `bytes`: the files are little-endian, as this machine.
static_assert(std::endian::native == std::endian::little);
inline int32_t LoadField32(const char* bytes) {
  int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

namespace field_map_detail {

template <typename T>
struct Shape {
  using Element = T;
  static constexpr int kCount = 1;
};
template <typename T, size_t N>
struct Shape<T[N]> {
  using Element = T;
  static constexpr int kCount = int(N);
};

// True when `fields` lie back to back from offset 0 and fill `size` bytes, so no
// member of a record is missing from its map.
constexpr bool Tiles(std::span<const FieldNode> fields, size_t size) {
  size_t end = 0;
  for (const FieldNode& field : fields) {
    if (field.offset != end) return false;
    end += field.size * size_t(field.count);
  }
  return end == size;
}

}  // namespace field_map_detail

// A leaf member (an integer, string reference, float or their array) of Record.
#define QELC_LEAF(Record, member, fieldKind)                                                \
  ::qelc::FieldNode {                                                                      \
    #member, fieldKind, offsetof(Record, member),                                          \
        sizeof(typename ::qelc::field_map_detail::Shape<decltype(Record::member)>::Element), \
        ::qelc::field_map_detail::Shape<decltype(Record::member)>::kCount, {}              \
  }

// A member of Record that is a record, or an array of records, described by `map`.
#define QELC_RECORD(Record, member, map)                                                   \
  ::qelc::FieldNode {                                                                      \
    #member, ::qelc::FieldKind::kRecord, offsetof(Record, member),                         \
        sizeof(typename ::qelc::field_map_detail::Shape<decltype(Record::member)>::Element), \
        ::qelc::field_map_detail::Shape<decltype(Record::member)>::kCount, map             \
  }

// Checks at compile time that `map` covers every byte of Record.
#define QELC_MAP_COVERS(Record, map)                                  \
  static_assert(::qelc::field_map_detail::Tiles(map, sizeof(Record)), \
                #map " misses a field of " #Record)

// The DAB table block: the four header fields, then the 23 tables in block order.
// Its size is the block's size; its fields are the header fields and the tables.
const FieldNode& DabBlockMap();

// Where a path such as `groups[0].groups[1].members[2].value` leads in a map.
struct FieldTarget {
  const FieldNode* node = nullptr;
  size_t offset = 0;     // of the element, or of the first element of an unindexed list
  bool indexed = false;  // a list named with its index: one element
};

// Resolves `path` below `root` (the header field, table or field names, each
// list with an optional index in brackets). On failure returns a target without
// a node and puts a reason in `problem`.
FieldTarget ResolveFieldPath(const FieldNode& root, std::string_view path, std::string& problem);

// Walks the elements of `node` at `offset` (only the one there when `one`, else
// all `count`), down to every leaf, calling visit(leaf, offset, path) in block
// order. `path` holds the path of `node` and gains "[i]" and ".name" on the way.
// An element for which skip(offset, size) is true is passed over whole.
template <typename Skip, typename Visit>
void WalkFields(const FieldNode& node, size_t offset, bool one, std::string& path, Skip& skip,
                Visit& visit) {
  for (int index = 0; index < (one ? 1 : node.count); ++index) {
    size_t at = offset + size_t(index) * node.size;
    if (skip(at, node.size)) continue;
    size_t mark = path.size();
    if (!one) path += "[" + std::to_string(index) + "]";
    if (node.kind != FieldKind::kRecord) {
      visit(node, at, path);
    } else {
      for (const FieldNode& field : node.fields) {
        size_t fieldMark = path.size();
        if (!path.empty()) path += '.';
        path += field.name;
        WalkFields(field, at + field.offset, !field.IsList(), path, skip, visit);
        path.resize(fieldMark);
      }
    }
    path.resize(mark);
  }
}

}  // namespace qelc
