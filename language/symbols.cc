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

// A span of more than one of the editor's lines folds: a lone carriage return
// ends a line for the editor, not for the compiler.
void Fold(const SourceView& view, const SourceRange& span, std::vector<FoldingRange>& folds) {
  Range range = view.PlaceOf(span).range;
  if (range.end.line > range.start.line) folds.push_back({range.start.line, range.end.line});
}

void FoldEntries(const SourceView& view, const std::string& path,
                 const std::vector<OutlineEntry>& entries, std::vector<FoldingRange>& folds) {
  for (const OutlineEntry& entry : entries) {
    if (entry.children.empty() || entry.span.file != path) continue;
    Fold(view, entry.span, folds);
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
    Fold(view, section.span, folds);
    FoldEntries(view, path, section.entries, folds);
  }
  for (const ConditionalBlock& block : facts.conditionals) {
    if (block.span.file == path) Fold(view, block.span, folds);
  }
  return folds;
}

}  // namespace qelc::language
