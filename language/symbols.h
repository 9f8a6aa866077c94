#pragma once

// The outline of a document: the sections of a DAF source, the category blocks
// and modules of an IPF source, each with its entries.

#include <string>
#include <string_view>
#include <vector>

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
std::vector<Symbol> DocumentSymbols(std::string_view text, bool softIp);

}  // namespace qelc::language
