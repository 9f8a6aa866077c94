#include "sections/pins.h"

#include <cstdio>
#include <string>

#include "sections/type_categories.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kPinGroupLimit = 150;
constexpr int32_t kPinNameLimit = 16;
constexpr int32_t kPinConditionLimit = 10;
constexpr int32_t kPinCategoryLimit = 20;
constexpr int32_t kPinSelectionLimit = 8;

void StoreText(StringRef& field, std::string_view text) { PoolAddTo(field, text); }
void ClearText(StringRef& field) { PoolAddTo(field, ""); }

// The records an adder writes into. An index beyond its list is refused with that
// list's message, so nothing is ever written outside the table.
PinGroup& GroupAt(int32_t group) {
  if (group < 0 || group >= kPinGroupLimit) Overflow("Exceed number of pin groups.\n");
  return Tables().pinGroups[group];
}

PinCondition& ConditionAt(int32_t group, int32_t condition) {
  if (condition < 0 || condition >= kPinConditionLimit) {
    Overflow("Exceed number of pin conditions.\n");
  }
  return GroupAt(group).conditions[condition];
}

PinCategory& CategoryAt(int32_t group, int32_t condition, int32_t category) {
  if (category < 0 || category >= kPinCategoryLimit) {
    Overflow("Exceed number of pin categories.\n");
  }
  return ConditionAt(group, condition).categories[category];
}

// The current token as a text to store; a token too long to store is refused.
const std::string& StorableToken() {
  CheckTextLength(TokenText(), kStoredTextLimit);
  return TokenText();
}

// category -> category-name ':' selection (',' selection)*
void ReadCategory(int32_t group, int32_t condition, int32_t category) {
  AddPinCategory(group, condition, category, StorableToken());
  SkipToken();
  ExpectText(":");
  for (int32_t selection = 0;; ++selection) {
    AddPinTypeSelection(group, condition, category, selection, StorableToken());
    SkipToken();
    if (!TokenIs(",")) break;
    ExpectText(",");
  }
}

// categories -> category*, ending at the first word that names no type category
void ReadCategories(int32_t group, int32_t condition) {
  for (int32_t category = 0; FindTypeCategory(TokenText()) >= 0; ++category) {
    ReadCategory(group, condition, category);
  }
}

// if-branch -> 'if' condition categories
void ReadIfBranch(int32_t group, int32_t condition) {
  ClearCondition();
  ExpectText("if");
  ReadCondition();
  AddPinCondition(group, condition, ConditionText());
  ReadCategories(group, condition);
}

// body -> categories | if-branch ('else' (if-branch | categories))*
void ReadBody(int32_t group) {
  int32_t condition = 0;
  if (!TokenIs("if")) {
    AddPinCondition(group, condition, "1");
    ReadCategories(group, condition);
    return;
  }
  ReadIfBranch(group, condition++);
  while (TokenIs("else")) {
    ExpectText("else");
    if (TokenIs("if")) {
      ReadIfBranch(group, condition++);
    } else {
      AddPinCondition(group, condition, "else");
      ReadCategories(group, condition++);
    }
  }
}

// pin-group -> (name ':')+ '{' body '}'
void ReadPinGroup(int32_t group) {
  int32_t name = 0;
  do {
    AddPinName(group, name++, StorableToken());
    SkipToken();
    ExpectText(":");
  } while (!TokenIs("{"));
  ExpectText("{");
  ReadBody(group);
  ExpectText("}");
}

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

// Pin -> 'Pin' '{' pin-group* '}'
void SecPin() {
  std::fputs("Parsing Section Pin\n", stdout);
  ExpectText("Pin");
  ExpectText("{");
  for (int32_t group = 0; !TokenIs("}"); ++group) ReadPinGroup(group);
  ExpectText("}");
  DumpPin();
}

void AddPinName(int32_t group, int32_t index, std::string_view text) {
  PinGroup& pinGroup = GroupAt(group);
  AddEntry(
      pinGroup.names, index, kPinNameLimit, "Exceed number of pins w/ same type.\n",
      [&](StringRef& name) { StoreText(name, text); }, ClearText);
  if (group + 1 < kPinGroupLimit) ClearText(Tables().pinGroups[group + 1].names[0]);
}

void AddPinCondition(int32_t group, int32_t index, std::string_view text) {
  AddEntry(
      GroupAt(group).conditions, index, kPinConditionLimit, "Exceed number of pin conditions.\n",
      [&](PinCondition& condition) { StoreText(condition.condition, text); },
      [](PinCondition& condition) { ClearText(condition.condition); });
}

void AddPinCategory(int32_t group, int32_t condition, int32_t index, std::string_view text) {
  AddEntry(
      ConditionAt(group, condition).categories, index, kPinCategoryLimit,
      "Exceed number of pin categories.\n",
      [&](PinCategory& category) { StoreText(category.name, text); },
      [](PinCategory& category) { ClearText(category.name); });
}

void AddPinTypeSelection(int32_t group, int32_t condition, int32_t category, int32_t index,
                         std::string_view text) {
  AddEntry(
      CategoryAt(group, condition, category).selections, index, kPinSelectionLimit,
      "Exceed number of pin type selections.\n",
      [&](StringRef& selection) { StoreText(selection, text); }, ClearText);
}

void DumpPin() {
  Dump("\nPin\n");
  for (const PinGroup& group : Tables().pinGroups) {
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
