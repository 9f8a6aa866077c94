#include "language/lookup.h"

#include <set>

#include "language/directives.h"
#include "language/keywords.h"
#include "language/scan.h"
#include "source/ascii.h"
#include "source/preprocessor.h"

namespace qelc::language {

namespace {

// One file of a document's own and included texts.
struct FileText {
  std::string path;
  std::string text;
};

// The document, then each file it includes (directly or not), once.
std::vector<FileText> DocumentAndIncludes(const Workspace& files, const std::string& path) {
  std::vector<FileText> texts;
  std::set<std::string> seen{path};
  auto open = files.Text(path);
  if (!open) return texts;
  texts.push_back({path, *open});
  for (size_t next = 0; next < texts.size(); ++next) {
    std::vector<std::string> names;
    ForEachDirective(texts[next].text, [&](size_t, const Directive& directive) {
      if (directive.kind == kIncludeLine) names.push_back(directive.name);
    });
    for (const std::string& name : names) {
      std::string included = files.PathOf(name);
      if (!seen.insert(included).second) continue;
      if (auto text = files.Read(name)) texts.push_back({included, std::move(*text)});
    }
  }
  return texts;
}

Place PlaceOf(const FileText& file, size_t start, size_t length) {
  return {file.path, {PositionOf(file.text, start), PositionOf(file.text, start + length)}};
}

// A pin defined by a PinNumberByPackage row or made by an Alias row.
struct PinDefinition {
  std::string_view name;
  std::string_view package;  // empty for an alias
  std::string_view number;   // the pin number, or the alias's target
  size_t offset;             // of the name
  size_t length;
};

std::vector<PinDefinition> PinDefinitions(const std::vector<Word>& words) {
  std::vector<PinDefinition> pins;
  std::string_view section;
  auto is = [&](size_t at, std::string_view text) {
    return at < words.size() && words[at].text == text;
  };
  for (size_t at = 0; at < words.size(); ++at) {
    const Word& word = words[at];
    if (word.depth == 0 && word.kind == Word::Kind::kWord) section = word.text;
    if (word.depth != 1) continue;
    if (EqualsNoCase(section, "PinNumberByPackage") && is(at + 1, ":") && is(at + 3, ":") &&
        at + 4 < words.size() && words[at + 4].kind == Word::Kind::kString) {
      const Word& name = words[at + 4];
      pins.push_back(
          {Unquoted(name.text), word.text, words[at + 2].text, name.offset, name.text.size()});
    } else if (EqualsNoCase(section, "Alias") && is(at + 1, ":") && at > 0 &&
               (is(at - 1, ",") || is(at - 1, ":")) && at + 2 < words.size() &&
               !EqualsNoCase(word.text, "When")) {
      pins.push_back(
          {Unquoted(word.text), "", Unquoted(words[at + 2].text), word.offset, word.text.size()});
    }
  }
  return pins;
}

std::string AboutKeyword(const Keyword& keyword, std::string_view manual) {
  std::string text = "**" + std::string(keyword.word) + "**: " + std::string(keyword.about);
  if (!keyword.anchor.empty()) {
    text += "\n\n[" + std::string(manual) + "](" + ManualLink(manual, keyword.anchor) + ")";
  }
  return text;
}

}  // namespace

std::string ManualLink(std::string_view manualName, std::string_view anchor) {
  return "file://" QELC_DOC_DIR "/" + std::string(manualName) + "#" + std::string(anchor);
}

std::optional<HoverText> HoverAt(const Workspace& files, const std::string& path, Position at) {
  auto open = files.Text(path);
  if (!open) return std::nullopt;
  const std::string& text = *open;
  std::vector<Word> words = ScanWords(text);
  size_t index = WordIndexAt(words, OffsetOf(text, at));
  if (index == words.size()) return std::nullopt;
  const Word& word = words[index];
  Range range{PositionOf(text, word.offset), PositionOf(text, word.offset + word.text.size())};
  bool softIp = IsSoftIpSource(path);
  std::string_view manual = softIp ? "ipf.md" : "daf.md";
  const Keyword* keyword = nullptr;
  if (word.depth == 0) {
    keyword = FindKeyword(softIp ? SoftIpKeywords() : SectionKeywords(), word.text);
  } else if (InCondition(words, index)) {
    keyword = FindKeyword(ConditionVariables(), word.text);
    if (!keyword) keyword = FindKeyword(ConditionOperators(), word.text);
    manual = "daf.md";
  } else if (softIp && word.depth == 1) {
    for (const Keyword& block : ModuleBlocks()) {
      if (StartsWithNoCase(word.text, block.word)) keyword = &block;
    }
  } else if (size_t dot = word.text.find('.'); !softIp && dot != std::string_view::npos) {
    keyword = FindKeyword(Attributes(), word.text.substr(dot + 1));
  }
  if (keyword) return HoverText{AboutKeyword(*keyword, manual), range};
  if (softIp) return std::nullopt;
  std::string name(Unquoted(word.text));
  std::string rows;
  for (const FileText& file : DocumentAndIncludes(files, path)) {
    for (const PinDefinition& pin : PinDefinitions(ScanWords(file.text))) {
      if (pin.name != name) continue;
      rows += pin.package.empty()
                  ? "- alias of `" + std::string(pin.number) + "`\n"
                  : "- `" + std::string(pin.package) + "` pin " + std::string(pin.number) + "\n";
    }
  }
  if (rows.empty()) return std::nullopt;
  return HoverText{"**" + name + "**\n\n" + rows, range};
}

std::vector<Place> DefinitionsAt(const Workspace& files, const std::string& path, Position at) {
  std::vector<Place> places;
  auto open = files.Text(path);
  if (!open) return places;
  const std::string& text = *open;
  size_t offset = OffsetOf(text, at);
  size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
  lineStart = lineStart == std::string::npos || offset == 0 ? 0 : lineStart + 1;
  size_t lineEnd = std::min(text.size(), text.find('\n', lineStart));
  auto directive = DirectiveOf(std::string_view(text).substr(lineStart, lineEnd - lineStart));
  if (directive && directive->kind == kIncludeLine) {
    places.push_back({files.PathOf(directive->name), {}});
    return places;
  }
  std::vector<Word> words = ScanWords(text);
  size_t index = WordIndexAt(words, offset);
  if (index == words.size()) return places;
  std::string_view word = words[index].text;
  std::vector<FileText> texts = DocumentAndIncludes(files, path);
  for (const FileText& file : texts) {
    ForEachDirective(file.text, [&](size_t start, const Directive& defined) {
      if (defined.kind == kDefineLine && defined.name == word) {
        places.push_back(PlaceOf(file, start + defined.nameStart, defined.name.size()));
      }
    });
  }
  if (!places.empty()) return places;
  std::string_view name = Unquoted(word);
  for (const FileText& file : texts) {
    for (const PinDefinition& pin : PinDefinitions(ScanWords(file.text))) {
      if (pin.name == name && !(file.path == path && pin.offset == words[index].offset)) {
        places.push_back(PlaceOf(file, pin.offset, pin.length));
      }
    }
  }
  return places;
}

}  // namespace qelc::language
