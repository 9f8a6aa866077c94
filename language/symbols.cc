#include "language/symbols.h"

namespace qelc::language {

namespace {

// An entry that the parser read without a token of its own has no text; the
// outline still needs a name for it.
constexpr const char* kUnnamedEntry = "(entry)";

std::vector<Symbol> Entries(const SourceView& view, const std::string& path,
                            const std::vector<OutlineEntry>& entries, SymbolKind kind) {
  std::vector<Symbol> symbols;
  for (const OutlineEntry& entry : entries) {
    if (entry.span.file != path) continue;
    Symbol& symbol = symbols.emplace_back();
    symbol.name = entry.text.empty() ? kUnnamedEntry : entry.text;
    symbol.kind = kind;
    symbol.range = view.PlaceOf(entry.span).range;
    symbol.selection = symbol.range;
    symbol.children = Entries(view, path, entry.children, SymbolKind::kField);
  }
  return symbols;
}

void FoldEntries(const SourceView& view, const std::string& path,
                 const std::vector<OutlineEntry>& entries, std::vector<FoldingRange>& folds) {
  for (const OutlineEntry& entry : entries) {
    if (entry.children.empty() || entry.span.file != path) continue;
    if (entry.span.endLine > entry.span.line) {
      folds.push_back({entry.span.line - 1, entry.span.endLine - 1});
    }
    FoldEntries(view, path, entry.children, folds);
  }
}

}  // namespace

std::vector<Symbol> DocumentSymbols(const SourceView& view, const std::string& path) {
  std::vector<Symbol> symbols;
  for (const SectionFact& section : view.Facts().sections) {
    if (section.keywordAt.file != path) continue;
    Symbol& symbol = symbols.emplace_back();
    symbol.name = section.keyword;
    bool module = section.kind == SectionKind::kModule;
    symbol.kind = module ? SymbolKind::kModule : SymbolKind::kNamespace;
    symbol.range = view.PlaceOf(section.span).range;
    symbol.selection = view.PlaceOf(section.keywordAt).range;
    symbol.children =
        Entries(view, path, section.entries, module ? SymbolKind::kStruct : SymbolKind::kField);
  }
  return symbols;
}

std::vector<FoldingRange> FoldingRanges(const SourceView& view, const std::string& path) {
  std::vector<FoldingRange> folds;
  const SourceFacts& facts = view.Facts();
  for (const SectionFact& section : facts.sections) {
    if (section.span.file != path) continue;
    if (section.span.endLine > section.span.line) {
      folds.push_back({section.span.line - 1, section.span.endLine - 1});
    }
    FoldEntries(view, path, section.entries, folds);
  }
  for (const ConditionalBlock& block : facts.conditionals) {
    if (block.span.file == path && block.span.endLine > block.span.line) {
      folds.push_back({block.span.line - 1, block.span.endLine - 1});
    }
  }
  return folds;
}

}  // namespace qelc::language
