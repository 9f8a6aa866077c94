#pragma once

// The conditional shape of the information tables: a section of `When` clauses,
// each followed by a comma-separated list of words, kept in a table of condition
// records. Every member runs through the one piece of code below; a member is
// only the data of a ConditionalList.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "source/condition.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {

// `Items` slots per record, `Records` records: the shape of the member's table.
template <int Items, size_t Records>
struct ConditionalList {
  ConditionalRecord<Items> (TableBlock::*table)[Records];
  const char* keyword;
  const char* progressMessage;
  const char* dumpHeading;
  const char* dumpItemLine;  // one %s: the item
  int32_t conditionLimit;    // the first condition index that no longer fits
  int32_t itemLimit;         // the first item index that no longer fits
  const char* conditionOverflow;
  const char* itemOverflow;
  bool opensWithAlways;  // an `Always :` item list may stand before the clauses
};

template <int Items, size_t Records>
void AddListCondition(const ConditionalList<Items, Records>& list, int32_t index,
                      std::string_view text) {
  AddEntry(
      Tables().*list.table, index, list.conditionLimit, list.conditionOverflow,
      [&](ConditionalRecord<Items>& record) { PoolAddTo(record.condition, text); },
      // Only the condition ends the list: the items of the next record stay as they are.
      [](ConditionalRecord<Items>& next) { PoolAddTo(next.condition, ""); });
}

template <int Items, size_t Records>
void AddListItem(const ConditionalList<Items, Records>& list, int32_t condition, int32_t index,
                 std::string_view text) {
  auto& records = Tables().*list.table;
  // The parser only adds items to a condition it has added; this keeps any other
  // caller inside the table.
  if (condition < 0 || size_t(condition) >= Records) Overflow(list.conditionOverflow);
  AddEntry(
      records[condition].items, index, list.itemLimit, list.itemOverflow,
      [&](StringRef& item) { PoolAddTo(item, text); },
      [](StringRef& next) { PoolAddTo(next, ""); });
}

template <int Items, size_t Records>
void DumpConditionalList(const ConditionalList<Items, Records>& list) {
  Dump("%s", list.dumpHeading);
  for (const ConditionalRecord<Items>& record : Tables().*list.table) {
    if (PoolStringIsEmpty(record.condition)) break;
    Dump("   When: <%s>\n", PoolString(record.condition));
    for (StringRef item : record.items) {
      if (PoolStringIsEmpty(item)) break;
      Dump(list.dumpItemLine, PoolString(item));
    }
  }
}

// item-list -> word (',' word)*
// The list is closed by an empty item, which passes the same capacity check, so a
// record holds one item less than its limit.
template <int Items, size_t Records>
void ParseItemList(const ConditionalList<Items, Records>& list, int32_t condition) {
  int32_t index = 0;
  for (;;) {
    std::string item = TakeWord();
    AddListItem(list, condition, index, item);
    ++index;
    if (!TokenIs(",")) break;
    ExpectText(",");
  }
  AddListItem(list, condition, index, "");
}

// section -> keyword '{' ['Always' ':' item-list] ('When' condition ':' item-list)* '}'
// The `Always` part is read only by the members that open with it.
template <int Items, size_t Records>
void ParseConditionalList(const ConditionalList<Items, Records>& list) {
  std::fputs(list.progressMessage, stdout);
  ExpectText(list.keyword);
  ExpectText("{");
  int32_t condition = 0;
  if (list.opensWithAlways && TokenIs("Always")) {
    AddListCondition(list, condition, "1");
    ExpectText("Always");
    ExpectText(":");
    ParseItemList(list, condition);
    ++condition;
  }
  while (TokenIs("When")) {
    ReadWhen();
    AddListCondition(list, condition, ConditionText());
    ParseItemList(list, condition);
    ++condition;
  }
  AddListCondition(list, condition, "");
  ExpectText("}");
  DumpConditionalList(list);
}

}  // namespace qelc
