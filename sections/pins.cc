#include "sections/pins.h"

#include "sections/section_rules.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

constexpr int32_t kPinGroupLimit = EntriesOf(&TableBlock::pinGroups);
constexpr int32_t kPinNameLimit = EntriesOf(&PinGroup::names);
constexpr int32_t kPinConditionLimit = EntriesOf(&PinGroup::conditions);
constexpr int32_t kPinCategoryLimit = EntriesOf(&PinCondition::categories);
constexpr int32_t kPinSelectionLimit = EntriesOf(&PinCategory::selections);

void StoreText(StringRef& field, std::string_view text) { PoolAddTo(field, text); }
void ClearText(StringRef& field) { PoolAddTo(field, ""); }

// Each adder checks its index, stores its text and ends its list behind it.
// Adding a name to group g also ends the list of groups at group g + 1.
void AddPinName(PinTable& table, int32_t group, int32_t index, std::string_view text) {
  if (group < 0 || group >= kPinGroupLimit) Overflow("Exceed number of pin groups.\n");
  AddEntry(
      table[group].names, index, kPinNameLimit, "Exceed number of pins w/ same type.\n",
      [&](StringRef& name) { StoreText(name, text); }, ClearText);
  if (group + 1 < kPinGroupLimit) ClearText(table[group + 1].names[0]);
}

void AddPinCondition(PinGroup& group, int32_t index, std::string_view text) {
  AddEntry(
      group.conditions, index, kPinConditionLimit, "Exceed number of pin conditions.\n",
      [&](PinCondition& condition) { StoreText(condition.condition, text); },
      [](PinCondition& condition) { ClearText(condition.condition); });
}

void AddPinCategory(PinCondition& condition, int32_t index, std::string_view text) {
  AddEntry(
      condition.categories, index, kPinCategoryLimit, "Exceed number of pin categories.\n",
      [&](PinCategory& category) { StoreText(category.name, text); },
      [](PinCategory& category) { ClearText(category.name); });
}

void AddPinTypeSelection(PinCategory& category, int32_t index, std::string_view text) {
  AddEntry(
      category.selections, index, kPinSelectionLimit, "Exceed number of pin type selections.\n",
      [&](StringRef& selection) { StoreText(selection, text); }, ClearText);
}

// The reader of one Pin section: the type categories it tells categories by.
struct PinReader {
  const TypeCategoryTable& categories;

  // category -> category-name ':' selection (',' selection)*
  void ReadCategory(PinCondition& condition, int32_t index) const {
    AddPinCategory(condition, index, PeekWord());
    SkipToken();
    ExpectText(":");
    PinCategory& category = condition.categories[index];
    ReadCommaList([&](int32_t selection) {
      AddPinTypeSelection(category, selection, PeekWord());
      SkipToken();
    });
  }

  // categories -> category*, ending at the first word that names no type category
  void ReadCategories(PinCondition& condition) const {
    for (int32_t index = 0; FindTypeCategory(categories, TokenText()) >= 0; ++index) {
      ReadCategory(condition, index);
    }
  }

  // if-branch -> 'if' condition categories
  void ReadIfBranch(PinGroup& group, int32_t index) const {
    ClearCondition();
    TextPoint branch = CurrentToken().start;
    ExpectText("if");
    ReadCondition();
    WarnIfEndsList(branch, ConditionText(), "the if condition");
    AddPinCondition(group, index, ConditionText());
    ReadCategories(group.conditions[index]);
  }

  // branch -> categories | if-branch ('else' (if-branch | categories))*
  void ReadBranches(PinGroup& group) const {
    int32_t index = 0;
    if (!TokenIs("if")) {
      AddPinCondition(group, index, "1");
      ReadCategories(group.conditions[index]);
      return;
    }
    ReadIfBranch(group, index++);
    while (SkipIf("else")) {
      if (TokenIs("if")) {
        ReadIfBranch(group, index++);
      } else {
        AddPinCondition(group, index, "else");
        ReadCategories(group.conditions[index++]);
      }
    }
  }

  // pin-group -> (name ':')+ '{' branches '}'
  void ReadPinGroup(PinTable& table, int32_t group) const {
    int32_t name = 0;
    do {
      AddPinName(table, group, name++, PeekWord());
      SkipToken();
      ExpectText(":");
    } while (!TokenIs("{"));
    ExpectText("{");
    ReadBranches(table[group]);
    ExpectText("}");
  }
};

void DumpPinCondition(const PinCondition& condition) {
  Dump("      When: <%6d> <%s>\n", condition.condition, PoolString(condition.condition));
  for (const PinCategory& category : condition.categories) {
    if (PoolStringIsEmpty(category.name)) break;
    Dump("         <%s>\n", PoolString(category.name));
    for (StringRef selection : category.selections) {
      if (PoolStringIsEmpty(selection)) break;
      Dump("            <%s>\n", PoolString(selection));
    }
  }
}

}  // namespace

void ReadPinBody(PinTable& table, const TypeCategoryTable& categories) {
  PinReader reader{categories};
  for (int32_t group = 0; !TokenIs("}"); ++group) reader.ReadPinGroup(table, group);
}

void EmptyPins(PinTable& table) { AddPinName(table, 0, 0, ""); }

void DumpPins(const PinTable& table) {
  for (const PinGroup& group : table) {
    if (PoolStringIsEmpty(group.names[0])) break;
    for (StringRef name : group.names) {
      if (PoolStringIsEmpty(name)) break;
      Dump("   <%s>\n", PoolString(name));
    }
    for (const PinCondition& condition : group.conditions) {
      if (PoolStringIsEmpty(condition.condition)) break;
      DumpPinCondition(condition);
    }
  }
}

}  // namespace qelc
