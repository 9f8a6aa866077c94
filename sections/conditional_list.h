#pragma once

// The conditional shape of the information tables: `When` clauses, each followed
// by a comma-separated list of words, kept in a table of condition records.
// Every member runs through the one piece of code below; a member is only the
// data of a ConditionalList.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sections/section_rules.h"
#include "source/fatal.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

struct ConditionalList {
  const char* dumpItemLine;  // one %s: the item
  int32_t conditionLimit;    // the first condition index that no longer fits
  int32_t itemLimit;         // the first item index that no longer fits
  const char* conditionOverflow;
  const char* itemOverflow;
  AlwaysClause always;  // whether an `Always :` item list may stand before the clauses
};

template <int Items>
void AddListItem(ParseState& s, const ConditionalList& list, ConditionalRecord<Items>& record,
                 int32_t index, std::string_view text) {
  AddEntry(
      s, record.items, index, list.itemLimit, list.itemOverflow,
      [&](StringRef& item) { s.pool.AddTo(item, text); },
      [&](StringRef& next) { s.pool.AddTo(next, ""); });
}

// item-list -> word (',' word)*
// The list is closed by an empty item, which passes the same capacity check, so a
// record holds one item less than its limit.
template <int Items>
void ReadItemList(ParseState& s, const ConditionalList& list, ConditionalRecord<Items>& record) {
  int32_t count = ReadRows(s, [&](int32_t index) {
    std::string item = TakeWord(s);
    AddListItem(s, list, record, index, item);
  });
  AddListItem(s, list, record, count, "");
}

// body -> ['Always' ':' item-list] ('When' condition ':' item-list)*
// The condition list is closed by an empty condition, as the item lists are.
template <int Items, size_t Records>
void ReadListBody(ParseState& s, const ConditionalList& list,
                  ConditionalRecord<Items> (&table)[Records]) {
  auto addCondition = [&](int32_t index, std::string_view condition) {
    AddCondition(s, table, index, list.conditionLimit, list.conditionOverflow, condition);
  };
  Clauses clauses = ReadClauses(s, list.always, addCondition,
                                [&](int32_t index) { ReadItemList(s, list, table[index]); });
  addCondition(clauses.count, "");
}

template <int Items, size_t Records>
void EmptyList(ParseState& s, const ConditionalList& list,
               ConditionalRecord<Items> (&table)[Records]) {
  AddCondition(s, table, 0, list.conditionLimit, list.conditionOverflow, "");
  AddListItem(s, list, table[0], 0, "");
}

template <int Items, size_t Records>
void DumpList(ParseState& s, const ConditionalList& list,
              const ConditionalRecord<Items> (&table)[Records]) {
  for (const ConditionalRecord<Items>& record : table) {
    if (s.pool.IsEmpty(record.condition)) break;
    s.dump.Print("   When: <%s>\n", s.pool.String(record.condition));
    for (StringRef item : record.items) {
      if (s.pool.IsEmpty(item)) break;
      s.dump.Print(list.dumpItemLine, s.pool.String(item));
    }
  }
}

}  // namespace qelc
