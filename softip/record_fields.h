#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "softip/records.h"
#include "tables/field_map.h"

namespace qelc {

// The soft-IP library as readers walk it, with the names of records.h.

// A category entry: number, name, value.
const FieldNode& CategoryEntryMap();

// A scalar field of a module.
struct ModuleField {
  std::string_view name;
  FieldKind kind;
  int32_t SoftIPModule::*member;
};
std::span<const ModuleField> ModuleFields();

// One of a module's seven lists, in file order: `element` maps one record (a
// record, or a string reference for the lists of plain texts), and `records`
// gives the list's records as raw bytes and their count.
struct ModuleList {
  FieldNode element;
  std::span<const char> (*records)(const SoftIPModule& module);
  size_t (*count)(const SoftIPModule& module);
};
std::span<const ModuleList> ModuleLists();

}  // namespace qelc
