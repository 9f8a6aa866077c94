#include "sections/memory_map.h"

#include <cstdio>

#include "source/ascii.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/string_pool.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

// The last record and the last map slot can only hold the terminator.
constexpr int32_t kRecordLimit = 19;
constexpr int32_t kMapLimit = 9;
constexpr int32_t kEntryLimit = 30;

constexpr char kConditionOverflow[] = "Exceed number of memory map conditions.\n";
constexpr char kMapOverflow[] = "Exceed number of MemoryMaps.\n";
constexpr char kEntryOverflow[] = "Exceed number of MemoryMap Entries.\n";

// The longest texts the memory map keeps.
constexpr int kEntryFieldLimit = 51;
constexpr int kLastFieldLimit = 99;
constexpr int kHeaderValueLimit = 119;  // a header value or field 3, quotes included
constexpr int kTitleLimit = 127;
constexpr int kDescriptionLimit = 511;  // the joined description
constexpr int kFlashSpaceLimit = 31;

// Field 8 of an entry written with seven fields.
constexpr char kNoLastField[] = "-";

// The parser only adds to records and maps it has added; the checks keep any
// other caller inside the table.
MemoryMapCondition& ConditionRecord(int32_t condition) {
  if (condition < 0 || condition >= kRecordLimit) Overflow(kConditionOverflow);
  return Tables().memoryMaps[condition];
}

MemoryMap& MapSlot(int32_t condition, int32_t map) {
  if (map < 0 || map >= kMapLimit) Overflow(kMapOverflow);
  return ConditionRecord(condition).maps[map];
}

// label ':' -- the label may be any token and is not examined.
void SkipLabel() {
  SkipToken();
  ExpectText(":");
}

// Takes a value whose quotes are removed: as written it may be `writtenLimit`
// characters long, without its quotes `limit`.
std::string TakeUnquoted(int writtenLimit, int limit) {
  CheckTextLength(TokenText(), writtenLimit);
  std::string text = Unquote(TokenText());
  CheckTextLength(text, limit);
  SkipToken();
  return text;
}

// description -> value (',' value)*, joined with nothing between the pieces.
std::string TakeDescription() {
  std::string description = TakeUnquoted(kHeaderValueLimit, kDescriptionLimit);
  while (TokenIs(",")) {
    ExpectText(",");
    CheckTextLength(TokenText(), kHeaderValueLimit);
    description += Unquote(TokenText());
    CheckTextLength(description, kDescriptionLimit);
    SkipToken();
  }
  return description;
}

// The map number is the value of the token's leading digits; whatever follows
// them is ignored, and 0 is no map number.
int32_t TakeMapNumber() {
  int32_t number = LeadingDigitsValue(TokenText());
  if (number == 0) {
    std::fputs("Error in getting the map number.\n", stderr);
    ExitRun(1);
  }
  SkipToken();
  return number;
}

// [':' f8], "-" when the entry has seven fields
std::string TakeLastField() {
  if (!TokenIs(":")) return kNoLastField;
  ExpectText(":");
  return TakeUnquoted(kLastFieldLimit, kLastFieldLimit);
}

// entry -> f1 ':' f2 ':' f3 ':' f4 ':' f5 ':' f6 ':' f7 [':' f8]
// Fields 3 and 8 lose their quotes; the others are kept as written.
MemoryMapFields TakeEntry() {
  MemoryMapFields fields;
  fields[0] = TakeWord(kEntryFieldLimit);
  ExpectText(":");
  fields[1] = TakeWord(kEntryFieldLimit);
  ExpectText(":");
  fields[2] = TakeUnquoted(kHeaderValueLimit, kEntryFieldLimit);
  ExpectText(":");
  for (int field = 3; field < 6; ++field) {
    fields[field] = TakeWord(kEntryFieldLimit);
    ExpectText(":");
  }
  fields[6] = TakeWord(kEntryFieldLimit);
  fields[7] = TakeLastField();
  return fields;
}

// map-list -> [','] map (',' map)*
void ParseMapList(int32_t condition) {
  int32_t map = 0;
  do {
    if (TokenIs(",")) ExpectText(",");
    ParseMemoryMap(condition, map);
    ++map;
  } while (TokenIs(","));
}

}  // namespace

void SecMemoryMap() {
  std::fputs("Parsing Section MemoryMap\n", stdout);
  int32_t condition = 0;
  ExpectText("MemoryMap");
  ExpectText("{");
  if (TokenIs("Always")) {
    ExpectText("Always");
    ExpectText(":");
    AddMemoryMapCondition(condition, "1");
    ParseMapList(condition);
    ++condition;
  }
  while (TokenIs("When")) {
    ReadWhen();
    AddMemoryMapCondition(condition, ConditionText());
    ParseMapList(condition);
    ++condition;
  }
  ExpectText("}");
  DumpMemoryMap();
}

void ParseMemoryMap(int32_t condition, int32_t map) {
  ExpectText("{");
  SkipLabel();
  int32_t number = TakeMapNumber();
  SkipLabel();
  std::string title = TakeUnquoted(kHeaderValueLimit, kTitleLimit);
  SkipLabel();
  std::string description = TakeDescription();
  SkipLabel();
  std::string mainFlash = TakeUnquoted(kHeaderValueLimit, kFlashSpaceLimit);
  SkipLabel();
  std::string secondaryFlash = TakeUnquoted(kHeaderValueLimit, kFlashSpaceLimit);
  AddMemoryMap(condition, map, number, title, description, mainFlash, secondaryFlash);

  int32_t entry = 0;
  do {
    AddMemoryMapEntry(condition, map, entry, TakeEntry());
    if (TokenIs(",")) ExpectText(",");
    ++entry;
  } while (!TokenIs("}"));
  ExpectText("}");
}

void AddMemoryMapCondition(int32_t index, std::string_view text) {
  AddEntry(
      Tables().memoryMaps, index, kRecordLimit, kConditionOverflow,
      [&](MemoryMapCondition& record) { PoolAddTo(record.condition, text); },
      // Only the condition ends the list: the maps of the next record stay as they are.
      [](MemoryMapCondition& next) { PoolAddTo(next.condition, ""); });
}

void AddMemoryMap(int32_t condition, int32_t map, int32_t number, std::string_view title,
                  std::string_view description, std::string_view mainFlash,
                  std::string_view secondaryFlash) {
  AddEntry(
      ConditionRecord(condition).maps, map, kMapLimit, kMapOverflow,
      [&](MemoryMap& slot) {
        slot.number = number;
        PoolAddTo(slot.title, title);
        PoolAddTo(slot.description, description);
        PoolAddTo(slot.mainFlash, mainFlash);
        PoolAddTo(slot.secondaryFlash, secondaryFlash);
      },
      // The entries of the next slot stay as they are.
      [](MemoryMap& next) {
        next.number = -1;
        PoolAddTo(next.title, "");
        PoolAddTo(next.description, "");
        PoolAddTo(next.mainFlash, "");
        PoolAddTo(next.secondaryFlash, "");
      });
}

void AddMemoryMapEntry(int32_t condition, int32_t map, int32_t entry,
                       const MemoryMapFields& fields) {
  AddEntry(
      MapSlot(condition, map).entries, entry, kEntryLimit, kEntryOverflow,
      [&](MemoryMapEntry& stored) {
        for (size_t field = 0; field < fields.size(); ++field) {
          PoolAddTo(stored.fields[field], fields[field]);
        }
      },
      [](MemoryMapEntry& next) {
        for (StringRef& field : next.fields) PoolAddTo(field, "");
      });
}

void DumpMemoryMap() {
  Dump("\nMemoryMap\n");
  for (const MemoryMapCondition& record : Tables().memoryMaps) {
    if (PoolStringIsEmpty(record.condition)) break;
    Dump("   When: <%s>\n", PoolString(record.condition));
    // A map whose description is empty ends the dumped list, though the table
    // may hold maps behind it.
    for (const MemoryMap& map : record.maps) {
      if (PoolStringIsEmpty(map.description)) break;
      Dump("      MemoryMap Info      : \n");
      Dump("      Map number          : <%d>\n", map.number);
      Dump("      Map Title           : <%s>\n", PoolString(map.title));
      Dump("      Description         : <%s>\n", PoolString(map.description));
      Dump("      Main Flash Space    : <%s>\n", PoolString(map.mainFlash));
      Dump("      SecondaryFlashSpace : <%s>\n", PoolString(map.secondaryFlash));
      // Field 8 is not shown.
      for (const MemoryMapEntry& entry : map.entries) {
        if (PoolStringIsEmpty(entry.fields[0])) break;
        const StringRef* fields = entry.fields;
        Dump("         <%s> <%s> <%s> <%s> <%s> <%s> <%s>\n", PoolString(fields[0]),
             PoolString(fields[1]), PoolString(fields[2]), PoolString(fields[3]),
             PoolString(fields[4]), PoolString(fields[5]), PoolString(fields[6]));
      }
    }
  }
}

}  // namespace qelc
