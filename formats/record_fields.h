#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "formats/field_map.h"
#include "formats/ipb_library.h"
#include "formats/ipb_stream.h"
#include "formats/records.h"

namespace qelc {

// The layout of an IPB file, described once with the names of records.h: the
// writer and the reader (Transfer...), the reader's reference check and the
// printers of qeldump all walk it, so that no field is known to one and not to
// another.
//
// The file is the library record, then the string bytes. The library and each
// of its modules are records of 4-byte fields followed by lists; the library's
// last list holds the modules. A plain record in a list (a category entry, an
// input line, ...) is its raw 4-byte fields, described by a FieldNode map whose
// coverage is checked at compile time.

// A 4-byte field of a record that owns lists.
template <typename Owner>
struct IpbField {
  std::string_view name;
  FieldKind kind;
  int32_t Owner::*member;
};

// A list of plain records of a record that owns lists: `element` maps one record
// (a record, or a string reference for the lists of plain texts), `records`
// gives them as raw bytes, `count` their number, and `transfer` writes the list
// or reads it over the owner's.
template <typename Owner>
struct IpbList {
  FieldNode element;
  std::span<const char> (*records)(const Owner& owner);
  size_t (*count)(const Owner& owner);
  void (*transfer)(Owner& owner, IpbStream& stream);
};

template <typename Owner>
struct IpbRecordLayout {
  std::span<const IpbField<Owner>> fields;  // in file order, before the lists
  std::span<const IpbList<Owner>> lists;    // in file order
};

// The library: its header fields and its lists of plain records; the module
// list follows them in the file.
const IpbRecordLayout<SoftIPLibrary>& LibraryLayout();
// The name of the library's last list, its modules.
inline constexpr std::string_view kModuleListName = "modules";
// A module: three fields, then its seven lists.
const IpbRecordLayout<SoftIPModule>& ModuleLayout();

// Writes the fields of `record` in file order, or reads them over it.
template <typename Owner>
void TransferFields(const IpbRecordLayout<Owner>& layout, Owner& record, IpbStream& stream) {
  for (const IpbField<Owner>& field : layout.fields) {
    stream.Transfer(&(record.*field.member), sizeof(int32_t));
  }
}

// Writes the lists of `record` in file order, or reads them over it.
template <typename Owner>
void TransferLists(const IpbRecordLayout<Owner>& layout, Owner& record, IpbStream& stream) {
  for (const IpbList<Owner>& list : layout.lists) list.transfer(record, stream);
}

// Calls visit(reference) for every string reference that `library` holds, those
// of its modules included.
void ForEachStringRef(const SoftIPLibrary& library, const std::function<void(int32_t)>& visit);

}  // namespace qelc
