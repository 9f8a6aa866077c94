#pragma once

#include <span>
#include <string_view>

#include "tables/table_block.h"

namespace qelc {

// What stays process-wide on the DAF road, and why: the table block (Tables()),
// because the DAB file is its memory image written in one piece; the string pool,
// because every stored text is an offset into the one pool that follows the block;
// the token stream and the text of the last condition read, because one source is
// read front to back. Everything else is passed down: a section's body rule
// receives the table it fills, and the rules below it the record they fill.

// One section keyword of a DAF source and everything the compiler does with it.
// Every section is read by the one rule  section -> keyword '{' body '}'.
struct SectionDescriptor {
  const char* keyword;
  const char* progressName;         // named in the console line "Parsing Section NAME"
  const char* tableName;            // the member of TableBlock that the body fills
  void (*readBody)(TableBlock&);    // the rule of what stands between the braces
  const char* dumpHeading;          // the Out.txt line before the dump
  void (*dump)(const TableBlock&);  // null: the section writes nothing to Out.txt
  void (*empty)(TableBlock&);       // gives the table its empty first entry; may be null
};

// The section keywords in the order they are compared.
std::span<const SectionDescriptor> Sections();

// The section whose keyword is `word` (whole word, letter case aside), or null.
const SectionDescriptor* FindSection(std::string_view word);

// section -> keyword '{' body '}'
// Prints the progress line, reads the section and dumps the table it filled.
void ReadSection(const SectionDescriptor& section);

// The section that the current token opens; a token that opens none is a parse
// error.
void ReadNextSection();

// Gives every table of the block its empty first entry.
void EmptySectionTables();

}  // namespace qelc
