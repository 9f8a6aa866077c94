#pragma once

#include <span>

#include "tables/table_block.h"

namespace qelc {

using SectionParser = void (*)();

struct Section {
  const char* keyword;
  SectionParser parse;  // null while the section has no parser
};

// The section keywords of a DAF source in the order they are compared.
std::span<const Section> SectionTable();

// The calls that give every table of the block its empty first entry, in order.
std::span<const TableInitialiser> TableInitialisers();

}  // namespace qelc
