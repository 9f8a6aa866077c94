#include "language/lookup.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "language/keywords.h"
#include "source/ascii.h"

namespace qelc::language {

namespace {

// The names a question may be about: pins (a PinNumberByPackage row's name, an
// alias, an Initialize .name) share one set of names, compared letter case
// aside, as the compiler's checks compare them; #define names are compared as
// written, as the preprocessor does.
enum class NameSet { kPins, kDefines };

std::optional<NameSet> SetOf(NameKind kind) {
  if (kind == NameKind::kPin || kind == NameKind::kAlias) return NameSet::kPins;
  if (kind == NameKind::kDefine) return NameSet::kDefines;
  return std::nullopt;
}

bool SameName(NameSet set, std::string_view a, std::string_view b) {
  return set == NameSet::kPins ? EqualsNoCase(a, b) : a == b;
}

// A name at the place asked about: where it stands and as what.
struct NameAt {
  NameSet set;
  std::string name;
  SourceRange at;
  bool quoted;
};

// A word that a define's value replaced stands for two names: the define's
// and what the compiler read in its place. `preferred` says which is asked for.
std::optional<NameAt> FindName(const SourceView& view, const SourceView::Cursor& at,
                               NameSet preferred = NameSet::kPins) {
  const SourceFacts& facts = view.Facts();
  std::optional<NameAt> found;
  auto consider = [&](NameKind kind, const std::string& name, const SourceRange& range,
                      bool quoted) {
    std::optional<NameSet> set = SetOf(kind);
    if (!set || !SourceView::Holds(range, at)) return;
    if (!found || (found->set != preferred && *set == preferred)) {
      found = NameAt{*set, name, range, quoted};
    }
  };
  for (const NameUse& use : facts.uses) consider(use.kind, use.name, use.at, use.quoted);
  for (const NameDefinition& definition : facts.definitions) {
    consider(definition.kind, definition.name, definition.at, definition.quoted);
  }
  return found;
}

bool SameRange(const SourceRange& a, const SourceRange& b) {
  return a.file == b.file && a.line == b.line && a.column == b.column && a.endLine == b.endLine &&
         a.endColumn == b.endColumn;
}

// Calls `visit(range, quoted, isDefinition)` for every place that names `name`.
template <typename Visit>
void ForEachPlace(const SourceFacts& facts, const NameAt& name, Visit visit) {
  for (const NameDefinition& definition : facts.definitions) {
    if (SetOf(definition.kind) == name.set && SameName(name.set, definition.name, name.name)) {
      visit(definition.at, definition.quoted, true);
    }
  }
  for (const NameUse& use : facts.uses) {
    if (SetOf(use.kind) == name.set && SameName(name.set, use.name, name.name)) {
      visit(use.at, use.quoted, false);
    }
  }
}

std::string AboutKeyword(const Keyword& keyword, std::string_view manual) {
  std::string text = "**" + std::string(keyword.word) + "**: " + Describe(keyword);
  if (!keyword.anchor.empty()) {
    text += "\n\n[" + std::string(manual) + "](" + ManualLink(manual, keyword.anchor) + ")";
  }
  return text;
}

const Keyword* KeywordOf(const KeywordFact& fact, bool softIp) {
  switch (fact.kind) {
    case KeywordKind::kSection:
      return FindKeyword(softIp ? SoftIpKeywords() : SectionKeywords(), fact.word);
    case KeywordKind::kCondition:
      if (const Keyword* variable = FindKeyword(ConditionVariables(), fact.word)) return variable;
      return FindKeyword(ConditionOperators(), fact.word);
    case KeywordKind::kAttribute:
      return FindKeyword(Attributes(), fact.word);
    case KeywordKind::kModuleBlock:
      for (const Keyword& block : ModuleBlocks()) {
        if (StartsWithNoCase(fact.word, block.word)) return &block;
      }
      return nullptr;
  }
  return nullptr;
}

std::optional<HoverText> KeywordHover(const SourceView& view, const SourceView::Cursor& at) {
  bool softIp = IsSoftIpSource(view.Source());
  for (const KeywordFact& fact : view.Facts().keywords) {
    if (!SourceView::Holds(fact.at, at)) continue;
    const Keyword* keyword = KeywordOf(fact, softIp);
    if (!keyword) continue;
    std::string_view manual = softIp && fact.kind != KeywordKind::kCondition ? "ipf.md" : "daf.md";
    return HoverText{AboutKeyword(*keyword, manual), view.PlaceOf(fact.at).range};
  }
  return std::nullopt;
}

// A line per definition of a pin name: its package and pin number, the pin an
// alias names, or the Initialize line that names it; each line once.
std::string PinRows(const SourceFacts& facts, const NameAt& name) {
  std::vector<std::string> rows;
  std::set<std::string> seen;
  for (const NameDefinition& pin : facts.definitions) {
    if (SetOf(pin.kind) != NameSet::kPins || !EqualsNoCase(pin.name, name.name)) continue;
    std::string row = pin.kind == NameKind::kAlias ? "- alias of `" + pin.target + "`\n"
                      : pin.package.empty()
                          ? std::string("- named by an Initialize line\n")
                          : "- `" + pin.package + "` pin " + std::to_string(pin.pinNumber) + "\n";
    if (seen.insert(row).second) rows.push_back(std::move(row));
  }
  std::string text;
  for (const std::string& row : rows) text += row;
  return text;
}

// Where a range starts, as a key.
using Start = std::tuple<std::string_view, int32_t, int32_t>;
Start StartOf(const SourceRange& range) { return {range.file, range.line, range.column}; }

// Where a define's name was used -> its value: the text the compiler read
// there. Each use's first define with a value is the one the preprocessor
// used.
std::map<Start, const SourceRange*> DefineValues(const SourceFacts& facts) {
  std::map<std::string_view, const SourceRange*> valueOf;
  for (const NameDefinition& define : facts.definitions) {
    if (define.kind == NameKind::kDefine && !define.target.empty()) {
      valueOf.try_emplace(define.name, &define.valueAt);
    }
  }
  std::map<Start, const SourceRange*> values;
  for (const NameUse& use : facts.uses) {
    if (use.kind != NameKind::kDefine) continue;
    if (auto value = valueOf.find(use.name); value != valueOf.end()) {
      values.try_emplace(StartOf(use.at), value->second);
    }
  }
  return values;
}

// A name is a word of the tokenizer that needs no quotes to stay one: no
// blank, apostrophe, delimiter or comment.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.starts_with("//")) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '\'' || c == '\\' || static_cast<unsigned char>(c) <= ' ' ||
           std::string_view(",?;:[]{}|+-=()*").find(c) != std::string_view::npos;
  });
}

}  // namespace

std::string ManualLink(std::string_view manualName, std::string_view anchor) {
  return "file://" QELC_DOC_DIR "/" + std::string(manualName) + "#" + std::string(anchor);
}

std::optional<HoverText> HoverAt(const SourceView& view, const std::string& path, Position at) {
  SourceView::Cursor cursor = view.CursorAt(path, at);
  if (auto keyword = KeywordHover(view, cursor)) return keyword;
  std::optional<NameAt> name = FindName(view, cursor);
  if (!name || name->set != NameSet::kPins) return std::nullopt;
  std::string rows = PinRows(view.Facts(), *name);
  if (rows.empty()) return std::nullopt;
  return HoverText{"**" + name->name + "**\n\n" + rows, view.PlaceOf(name->at).range};
}

std::vector<Place> DefinitionsAt(const SourceView& view, const std::string& path, Position at) {
  std::vector<Place> places;
  SourceView::Cursor cursor = view.CursorAt(path, at);
  for (const IncludeFact& include : view.Facts().includes) {
    if (SourceView::Holds(include.at, cursor)) return {Place{include.resolved, {}}};
  }
  std::optional<NameAt> name = FindName(view, cursor, NameSet::kDefines);
  if (!name) return places;
  ForEachPlace(view.Facts(), *name, [&](const SourceRange& range, bool, bool isDefinition) {
    if (isDefinition && !SameRange(range, name->at)) places.push_back(view.PlaceOf(range));
  });
  return places;
}

std::vector<Place> ReferencesAt(const SourceView& view, const std::string& path, Position at,
                                bool withDefinitions) {
  std::vector<Place> places;
  std::optional<NameAt> name = FindName(view, view.CursorAt(path, at), NameSet::kDefines);
  if (!name) return places;
  ForEachPlace(view.Facts(), *name, [&](const SourceRange& range, bool, bool isDefinition) {
    if (withDefinitions || !isDefinition) places.push_back(view.PlaceOf(range));
  });
  return places;
}

std::optional<RenameTarget> PrepareRename(const SourceView& view, const std::string& path,
                                          Position at) {
  std::optional<NameAt> name = FindName(view, view.CursorAt(path, at));
  if (!name || name->set != NameSet::kPins) return std::nullopt;
  SourceRange inside = name->at;
  if (name->quoted) {
    ++inside.column;
    --inside.endColumn;
  }
  return RenameTarget{view.PlaceOf(inside), name->name};
}

RenameEdits RenameAt(const SourceView& view, const std::string& path, Position at,
                     const std::string& newName) {
  RenameEdits edits;
  std::optional<NameAt> name = FindName(view, view.CursorAt(path, at));
  if (!name || name->set != NameSet::kPins) {
    edits.refusal = "no pin or alias name stands here";
    return edits;
  }
  if (!IsPlainName(newName)) {
    edits.refusal =
        "'" + newName + "' is no name: blanks, quotes and delimiters cannot stand in one";
    return edits;
  }
  // Each place once; false where its text is not the name.
  std::set<std::tuple<std::string_view, int32_t, int32_t, int32_t, int32_t>> done;
  auto rename = [&](const SourceRange& range) {
    if (!done.emplace(range.file, range.line, range.column, range.endLine, range.endColumn)
             .second) {
      return true;
    }
    std::string_view written = view.Written(range);
    bool quoted = written.size() >= 2 && written.front() == '\'' && written.back() == '\'';
    if (!EqualsNoCase(quoted ? written.substr(1, written.size() - 2) : written, name->name)) {
      return false;
    }
    Place place = view.PlaceOf(range);
    edits.byPath[place.path].push_back({place.range, quoted ? "'" + newName + "'" : newName});
    return true;
  };
  std::map<Start, const SourceRange*> defineValues = DefineValues(view.Facts());
  ForEachPlace(view.Facts(), *name, [&](const SourceRange& range, bool, bool) {
    if (rename(range)) return;
    // A define wrote the name here: its value is renamed, where it is the name.
    if (auto value = defineValues.find(StartOf(range)); value != defineValues.end()) {
      rename(*value->second);
    }
  });
  return edits;
}

}  // namespace qelc::language
