#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "formats/field_map.h"
#include "qeldump/input_file.h"

namespace qelc::dump {

// One leaf field of one file, as the walk hands it to a printer.
struct FieldValue {
  const char* bytes = nullptr;  // null: not in this file (a record beyond the end of its list)
  bool zero = false;            // a DAB field of zero bytes only, which the text leaves out
};

// A leaf field of the files walked side by side: its kind and size, and its
// value in each file, in the order of the files.
struct LeafValues {
  FieldKind kind;
  size_t size;
  std::span<const FieldValue> files;
};

// What a walk of DAB or IPB files hands each field to, in file order. A
// printer shows the fields as it likes: text lines of paths, or JSON.
class FieldPrinter {
 public:
  virtual ~FieldPrinter() = default;

  // A group of fields that has no part in a field's path: "header", "tables".
  virtual void BeginGroup(std::string_view name) = 0;
  virtual void EndGroup() = 0;
  // The place of the string pool among the fields.
  virtual void Strings() = 0;

  // A member that is a record but no list: a statement list, whose one member
  // is the list of its slots.
  virtual void BeginRecord(std::string_view name) = 0;
  virtual void EndRecord() = 0;

  // A member that is a list. `counts` holds an IPB list's length in each file
  // (nothing where the file lacks the list's owner); it is empty for the fixed
  // arrays of a DAB file.
  virtual void BeginList(std::string_view name, std::span<const std::optional<size_t>> counts) = 0;
  virtual void EndList() = 0;
  // A record of the list.
  virtual void BeginElement(size_t index) = 0;
  virtual void EndElement() = 0;

  // A named leaf field of the record or group.
  virtual void Field(std::string_view name, const LeafValues& leaf) = 0;
  // Element `index` of a list of leaves.
  virtual void Element(size_t index, const LeafValues& leaf) = 0;
};

// Walks `files` (all of one kind) side by side and hands every field to
// `printer`. A DAB record that is zero in every file is passed over, and a list
// of leaves ends after its last element that is not zero in some file; an IPB
// file gives every record of every list. In `content` mode the used size of the
// pool, which differs between pools of the same strings, is left out.
void WalkFiles(std::span<const InputFile* const> files, bool content, FieldPrinter& printer);

}  // namespace qelc::dump
