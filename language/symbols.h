#pragma once

// The outline of a file of a source and the stretches an editor may fold, from
// the source's facts: the sections of a DAF source, the category blocks and
// modules of an IPF source, each with its entries; and its #ifdef/#ifndef
// blocks.

#include <cstdint>
#include <string>
#include <vector>

#include "language/source_facts.h"
#include "language/text.h"

namespace qelc::language {

// The kinds are the protocol's numbers for them.
enum class SymbolKind { kModule = 2, kNamespace = 3, kField = 8, kStruct = 23 };

struct Symbol {
  std::string name;
  std::string detail;
  SymbolKind kind = SymbolKind::kField;
  Range range;      // the whole of it
  Range selection;  // its name
  std::vector<Symbol> children;
};

// DAF: each section (kNamespace) with its `When`/`Always` blocks and the lines
// under them (kField). IPF: each SoftIPCategory block (kNamespace) with its
// entries, each module (kModule) with its blocks (kStruct) and their lines.
// Only what stands in the file `path`.
std::vector<Symbol> DocumentSymbols(const SourceView& view, const std::string& path);

// Lines from 0, as the protocol counts them.
struct FoldingRange {
  int32_t startLine = 0;
  int32_t endLine = 0;
};

// The sections, the entries that hold others, and the #ifdef/#ifndef blocks
// of the file `path` that span more than a line.
std::vector<FoldingRange> FoldingRanges(const SourceView& view, const std::string& path);

}  // namespace qelc::language
