#pragma once

#include <memory>
#include <set>
#include <span>
#include <string_view>

#include "formats/catalogue.h"
#include "formats/table_block.h"
#include "sections/cross_references.h"
#include "tables/parse_state.h"

namespace qelc {

// Every rule of a section takes the compilation's ParseState and what it fills:
// a section's body rule the table, the rules below it the record they fill.

// One section keyword of a DAF source and everything the compiler does with it.
// Every section is read by the one rule  section -> keyword '{' body '}'.
struct SectionDescriptor {
  const SectionEntry* entry;  // its keyword, its table and the rest, as catalogued
  const char* progressName;   // named in the console line "Parsing Section NAME"
  // the rule of what stands between the braces
  void (*readBody)(ParseState&, TableBlock&);
  const char* dumpHeading;  // the Out.txt line before the dump
  // null: the section writes nothing to Out.txt
  void (*dump)(ParseState&, const TableBlock&);
  // gives the table its empty first entry; may be null
  void (*empty)(ParseState&, TableBlock&);
};

// What the DAF sections of one compilation read into: the table block, the
// sections with a table read to their end so far (a second one of a keyword is
// warned about) and, while findings are collected, the pin names the sections
// define and use.
struct DafRun {
  TableBlock& tables;
  std::set<const SectionDescriptor*> sectionsRead;
  std::unique_ptr<PinNames> pinNames;
};

// The section keywords in the order they are compared.
std::span<const SectionDescriptor> Sections();

// The section whose keyword is `word` (whole word, letter case aside), or null.
const SectionDescriptor* FindSection(std::string_view word);

// section -> keyword '{' body '}'
// Prints the progress line, reads the section and dumps the table it filled.
void ReadSection(ParseState& s, DafRun& daf, const SectionDescriptor& section);

// The section that the current token opens; a token that opens none is a parse
// error.
void ReadNextSection(ParseState& s, DafRun& daf);

// Once every section is read: the checks of one section against another, while
// findings are collected (unknown-pin-name only in a source without errors).
void CheckAcrossSections(ParseState& s, DafRun& daf);

// Gives every table of the block its empty first entry.
void EmptySectionTables(ParseState& s, TableBlock& tables);

}  // namespace qelc
