#include "sections/pins.h"

#include "sections/cross_references.h"
#include "sections/section_rules.h"
#include "sections/type_categories.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

constexpr int32_t kPinGroupLimit = EntriesOf(&TableBlock::pinGroups);
constexpr int32_t kPinNameLimit = EntriesOf(&PinGroup::names);
constexpr int32_t kPinConditionLimit = EntriesOf(&PinGroup::conditions);
constexpr int32_t kPinCategoryLimit = EntriesOf(&PinCondition::categories);
constexpr int32_t kPinSelectionLimit = EntriesOf(&PinCategory::selections);

void StoreText(ParseState& s, StringRef& field, std::string_view text) {
  s.pool.AddTo(field, text);
}
void ClearText(ParseState& s, StringRef& field) { s.pool.AddTo(field, ""); }

// Each adder checks its index, stores its text and ends its list behind it.
// Adding a name to group g also ends the list of groups at group g + 1.
void AddPinName(ParseState& s, PinTable& table, int32_t group, int32_t index,
                std::string_view text) {
  if (group < 0 || group >= kPinGroupLimit) Overflow(s, "Exceed number of pin groups.\n");
  AddEntry(
      s, table[group].names, index, kPinNameLimit, "Exceed number of pins w/ same type.\n",
      [&](StringRef& name) { StoreText(s, name, text); },
      [&](StringRef& name) { ClearText(s, name); });
  if (group + 1 < kPinGroupLimit) ClearText(s, table[group + 1].names[0]);
}

void AddPinCondition(ParseState& s, PinGroup& group, int32_t index, std::string_view text) {
  AddEntry(
      s, group.conditions, index, kPinConditionLimit, "Exceed number of pin conditions.\n",
      [&](PinCondition& condition) { StoreText(s, condition.condition, text); },
      [&](PinCondition& condition) { ClearText(s, condition.condition); });
}

void AddPinCategory(ParseState& s, PinCondition& condition, int32_t index, std::string_view text) {
  AddEntry(
      s, condition.categories, index, kPinCategoryLimit, "Exceed number of pin categories.\n",
      [&](PinCategory& category) { StoreText(s, category.name, text); },
      [&](PinCategory& category) { ClearText(s, category.name); });
}

void AddPinTypeSelection(ParseState& s, PinCategory& category, int32_t index,
                         std::string_view text) {
  AddEntry(
      s, category.selections, index, kPinSelectionLimit, "Exceed number of pin type selections.\n",
      [&](StringRef& selection) { StoreText(s, selection, text); },
      [&](StringRef& selection) { ClearText(s, selection); });
}

// The reader of one Pin section: the type categories it tells categories by.
struct PinReader {
  ParseState& s;
  const TypeCategoryTable& categories;

  // The current word names a type category. When the linter skipped an entry
  // of the TypeCategory section, any word that may be a name is taken for one,
  // rather than reported for the entry that was skipped.
  bool NamesCategory(const Parser& p) const {
    if (FindTypeCategory(s, categories, TokenText(p)) >= 0) return true;
    if (!p.diagnostics.Recovers() || !s.incompleteTables.contains(&categories)) return false;
    const Token& token = CurrentToken(p);
    return token.kind != kStringToken && !IsDelimiterToken(token) && !token.text.empty() &&
           !TokenIs(p, kElseWord) && !TokenIs(p, kIfWord);
  }

  // Where the linter resumes after an error in a branch: at its 'else', or at
  // a type category that opens a line, which starts the branch's next category.
  ResumeAt AtCategory(const Parser& p) const {
    if (TokenIs(p, kElseWord)) return ResumeAt::kBefore;
    return OpensLine(p) && NamesCategory(p) ? ResumeAt::kBefore : ResumeAt::kNo;
  }

  // category -> category-name ':' selection (',' selection)*
  void ReadCategory(PinCondition& condition, int32_t index) const {
    if (s.facts) s.facts->Use(NameKind::kTypeCategory, CurrentSpan(s), TokenText(s));
    AddPinCategory(s, condition, index, PeekWord(s));
    SkipToken(s);
    ExpectText(s, ":");
    PinCategory& category = condition.categories[index];
    ReadCommaList(
        s,
        [&](int32_t selection) {
          AddPinTypeSelection(s, category, selection, PeekWord(s));
          SkipToken(s);
        },
        [this](const Parser& p) { return TokenIs(p, ",") ? ResumeAt::kBefore : AtCategory(p); });
  }

  // categories -> category*, ending at the first word that names no type category
  void ReadCategories(PinCondition& condition) const {
    auto atCategory = [this](const Parser& p) { return AtCategory(p); };
    for (int32_t index = 0; NamesCategory(s);) {
      if (ReadEntry(s, atCategory, [&] { ReadCategory(condition, index); })) ++index;
    }
    if (Linting(s)) NoteUnknownCategory();
  }

  // While linting: a word that ends the categories where one more was likely
  // meant. A word on the line of the selections before it may as well be one
  // more selection without its ','.
  void NoteUnknownCategory() const {
    if (!MayOpenEntry(s)) return;
    std::string text = UnknownTypeCategory(s, categories, TokenText(s));
    if (CauseNotedHere(s) && s.tokens.PreviousEnd().line == CurrentToken(s).start.line) {
      text += "; or is a ',' missing before it?";
    }
    NoteCause(s, CurrentToken(s).start, std::move(text));
  }

  // if-branch -> 'if' condition categories
  // Not inlined: inlined into both paths of Recovering, GCC 12 at -O3 reports
  // the condition's AddEntry as out of the array's bounds, which it is not.
  [[gnu::noinline]] void ReadIfBranch(PinGroup& group, int32_t index) const {
    s.condition.clear();
    TextPoint branch = CurrentToken(s).start;
    ExpectText(s, kIfWord);
    ReadCondition(s);
    WarnIfEndsList(s, branch, s.condition, "the if condition");
    AddPinCondition(s, group, index, s.condition);
    ReadCategories(group.conditions[index]);
  }

  // branch -> categories | if-branch ('else' (if-branch | categories))*
  // After an error in an if condition the linter goes on at the next 'else'.
  void ReadBranches(PinGroup& group) const {
    int32_t index = 0;
    if (!TokenIs(s, kIfWord)) {
      AddPinCondition(s, group, index, kAlwaysCondition);
      ReadCategories(group.conditions[index]);
      return;
    }
    auto atElse = [](const Parser& p) {
      return TokenIs(p, kElseWord) ? ResumeAt::kBefore : ResumeAt::kNo;
    };
    if (Recovering(s, atElse, [&] { ReadIfBranch(group, index); })) ++index;
    while (SkipIf(s, kElseWord)) {
      if (TokenIs(s, kIfWord)) {
        if (Recovering(s, atElse, [&] { ReadIfBranch(group, index); })) ++index;
      } else {
        AddPinCondition(s, group, index, kElseWord);
        ReadCategories(group.conditions[index++]);
      }
    }
  }

  // pin-group -> (name ':')+ '{' branches '}'
  void ReadPinGroup(PinTable& table, int32_t group) const {
    int32_t name = 0;
    do {
      AddPinName(s, table, group, name++, PeekWord(s));
      if (Linting(s)) UsePinName(s, CurrentSpan(s), TokenText(s));
      SkipToken(s);
      ExpectText(s, ":");
    } while (!TokenIs(s, "{"));
    ExpectText(s, "{");
    ReadBranches(table[group]);
    ExpectText(s, "}");
  }
};

void DumpPinCondition(ParseState& s, const PinCondition& condition) {
  s.dump.Put<"      When: <%6d> <%s>\n">(condition.condition, s.pool.String(condition.condition));
  for (const PinCategory& category : condition.categories) {
    if (s.pool.IsEmpty(category.name)) break;
    s.dump.Put<"         <%s>\n">(s.pool.String(category.name));
    for (StringRef selection : category.selections) {
      if (s.pool.IsEmpty(selection)) break;
      s.dump.Put<"            <%s>\n">(s.pool.String(selection));
    }
  }
}

}  // namespace

void ReadPinBody(ParseState& s, PinTable& table, const TypeCategoryTable& categories) {
  PinReader reader{s, categories};
  // A group ends with its '}': its categories open lines too.
  for (int32_t group = 0; !TokenIs(s, "}");) {
    bool read = ReadEntry(
        s, NoOtherEnd, [&] { reader.ReadPinGroup(table, group); }, true);
    if (read) ++group;
  }
}

void EmptyPins(ParseState& s, PinTable& table) { AddPinName(s, table, 0, 0, ""); }

void DumpPins(ParseState& s, const PinTable& table) {
  for (const PinGroup& group : table) {
    if (s.pool.IsEmpty(group.names[0])) break;
    for (StringRef name : group.names) {
      if (s.pool.IsEmpty(name)) break;
      s.dump.Put<"   <%s>\n">(s.pool.String(name));
    }
    for (const PinCondition& condition : group.conditions) {
      if (s.pool.IsEmpty(condition.condition)) break;
      DumpPinCondition(s, condition);
    }
  }
}

}  // namespace qelc
