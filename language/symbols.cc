#include "language/symbols.h"

#include "language/keywords.h"
#include "language/scan.h"
#include "source/ascii.h"

namespace qelc::language {

namespace {

class Outline {
 public:
  Outline(std::string_view text, const std::vector<Word>& words) : text_(text), words_(words) {}

  // The index of the word after the '}' that closes the '{' at `open` (or the end).
  size_t AfterBlock(size_t open) const {
    size_t at = open + 1;
    while (at < words_.size() &&
           !(words_[at].text == "}" && words_[at].depth == words_[open].depth)) {
      ++at;
    }
    return std::min(words_.size(), at + 1);
  }

  size_t NextBrace(size_t from, size_t end) const {
    while (from < end && words_[from].text != "{") ++from;
    return from;
  }

  Range Span(size_t first, size_t last) const {
    const Word& end = words_[last];
    return {PositionOf(text_, words_[first].offset),
            PositionOf(text_, end.offset + end.text.size())};
  }

  Symbol Make(size_t first, size_t last, SymbolKind kind, std::string name) const {
    Symbol symbol;
    symbol.name = std::move(name);
    symbol.kind = kind;
    symbol.range = Span(first, last);
    symbol.selection = Span(first, first);
    return symbol;
  }

  // The words from `first` up to the end of its line (inside `end`), as one
  // entry named by its text.
  size_t LineEnd(size_t first, size_t end) const {
    size_t last = first;
    size_t lineEnd = text_.find('\n', words_[first].offset);
    while (last + 1 < end && words_[last + 1].offset < lineEnd &&
           words_[last + 1].depth >= words_[first].depth) {
      ++last;
    }
    // An entry that opens a brace runs to its close.
    for (size_t at = first; at <= last; ++at) {
      if (words_[at].text == "{") last = std::max(last, AfterBlock(at) - 1);
    }
    return std::min(last, end - 1);
  }

  std::string TextOf(size_t first, size_t last) const {
    constexpr size_t kLongestName = 60;
    size_t start = words_[first].offset;
    size_t lineEnd =
        std::min(text_.find('\n', start), words_[last].offset + words_[last].text.size());
    std::string name(text_.substr(start, lineEnd - start));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r' || name.back() == ',')) {
      name.pop_back();
    }
    if (name.size() > kLongestName) name = name.substr(0, kLongestName) + "...";
    return name;
  }

  // The lines between the braces of a block that opens at `open`, each a child;
  // a line that starts with `When`/`Always` takes the lines after it.
  std::vector<Symbol> Entries(size_t open, size_t end, bool grouped) const {
    std::vector<Symbol> entries;
    Symbol* block = nullptr;
    for (size_t at = open + 1; at + 1 < end;) {
      size_t last = LineEnd(at, end - 1);
      Symbol entry = Make(at, last, SymbolKind::kField, TextOf(at, last));
      bool opensBlock = grouped && (EqualsNoCase(words_[at].text, "When") ||
                                    EqualsNoCase(words_[at].text, "Always"));
      if (opensBlock) {
        entries.push_back(std::move(entry));
        block = &entries.back();
      } else if (block) {
        block->children.push_back(std::move(entry));
        block->range.end = block->children.back().range.end;
      } else {
        entries.push_back(std::move(entry));
      }
      at = last + 1;
    }
    return entries;
  }

  std::string_view text_;
  const std::vector<Word>& words_;
};

}  // namespace

std::vector<Symbol> DocumentSymbols(std::string_view text, bool softIp) {
  std::vector<Word> words = ScanWords(text);
  Outline outline(text, words);
  std::vector<Symbol> symbols;
  for (size_t at = 0; at < words.size(); ++at) {
    const Word& word = words[at];
    if (word.depth != 0 || word.kind != Word::Kind::kWord) continue;
    bool category = softIp && FindKeyword(SoftIpKeywords(), word.text);
    bool section = !softIp && FindKeyword(SectionKeywords(), word.text);
    if (!category && !section && !(softIp && at + 1 < words.size() && words[at + 1].text == "{")) {
      continue;
    }
    size_t open = outline.NextBrace(at, words.size());
    if (open == words.size() || open > at + 1) continue;
    size_t after = outline.AfterBlock(open);
    bool module = softIp && !category;
    Symbol symbol =
        outline.Make(at, after - 1, module ? SymbolKind::kModule : SymbolKind::kNamespace,
                     std::string(word.text));
    if (!module) {
      symbol.children = outline.Entries(open, after, section);
    } else {
      // A module's blocks: `Name : { ... }`, each with its lines.
      for (size_t block = open + 1; block + 1 < after; ++block) {
        if (words[block].depth != 1 || words[block].kind != Word::Kind::kWord) continue;
        size_t brace = outline.NextBrace(block, after);
        if (brace >= after || brace > block + 2) continue;
        size_t blockEnd = outline.AfterBlock(brace);
        Symbol child =
            outline.Make(block, blockEnd - 1, SymbolKind::kStruct, std::string(words[block].text));
        child.children = outline.Entries(brace, blockEnd, false);
        symbol.children.push_back(std::move(child));
        block = blockEnd - 1;
      }
    }
    symbols.push_back(std::move(symbol));
    at = after - 1;
  }
  return symbols;
}

}  // namespace qelc::language
