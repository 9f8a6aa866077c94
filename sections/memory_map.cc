#include "sections/memory_map.h"

#include <array>
#include <cstdio>
#include <string>

#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/fatal.h"
#include "source/format.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

// The last record and the last map slot can only hold the terminator: one short
// of the arrays on purpose, part of the file format.
constexpr int32_t kRecordLimit = EntriesOf(&TableBlock::memoryMaps) - 1;
constexpr int32_t kMapLimit = EntriesOf(&MemoryMapCondition::maps) - 1;
constexpr int32_t kEntryLimit = EntriesOf(&MemoryMap::entries);

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

using MapList = decltype(MemoryMapCondition::maps);
using EntryList = decltype(MemoryMap::entries);

// Fields 1 to 8 of a memory map entry, in source order.
using MemoryMapFields = std::array<std::string, 8>;

void AddMemoryMapCondition(MemoryMapTable& table, int32_t index, std::string_view text) {
  AddCondition(table, index, kRecordLimit, kConditionOverflow, text);
}

struct MapHeader {
  int32_t number;
  std::string title;
  std::string description;
  std::string mainFlash;
  std::string secondaryFlash;
};

void AddMemoryMap(MapList& maps, int32_t map, const MapHeader& header) {
  AddEntry(
      maps, map, kMapLimit, kMapOverflow,
      [&](MemoryMap& slot) {
        slot.number = header.number;
        PoolAddTo(slot.title, header.title);
        PoolAddTo(slot.description, header.description);
        PoolAddTo(slot.mainFlash, header.mainFlash);
        PoolAddTo(slot.secondaryFlash, header.secondaryFlash);
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

void AddMemoryMapEntry(EntryList& entries, int32_t entry, const MemoryMapFields& fields) {
  AddEntry(
      entries, entry, kEntryLimit, kEntryOverflow,
      [&](MemoryMapEntry& stored) {
        for (size_t field = 0; field < fields.size(); ++field) {
          PoolAddTo(stored.fields[field], fields[field]);
        }
      },
      [](MemoryMapEntry& next) {
        for (StringRef& field : next.fields) PoolAddTo(field, "");
      });
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
  while (SkipIf(",")) {
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
  if (Linting() && !IsWholeDecimal(TokenText())) {
    Warn(kNumberConversionCheck, Format("map number '%s' is not stored as written: %d is stored",
                                        TokenText().c_str(), number));
  }
  SkipToken();
  return number;
}

// [':' f8], "-" when the entry has seven fields
std::string TakeLastField() {
  if (!SkipIf(":")) return kNoLastField;
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

// header -> '{' label ':' number label ':' title label ':' description
//           label ':' main-flash label ':' secondary-flash
MapHeader ReadMapHeader() {
  ExpectText("{");
  MapHeader header;
  SkipLabel();
  header.number = TakeMapNumber();
  SkipLabel();
  header.title = TakeUnquoted(kHeaderValueLimit, kTitleLimit);
  SkipLabel();
  header.description = TakeDescription();
  SkipLabel();
  header.mainFlash = TakeUnquoted(kHeaderValueLimit, kFlashSpaceLimit);
  SkipLabel();
  header.secondaryFlash = TakeUnquoted(kHeaderValueLimit, kFlashSpaceLimit);
  return header;
}

// map -> header (entry [','])+ '}'
void ReadMemoryMap(MapList& maps, int32_t map) {
  AddMemoryMap(maps, map, ReadMapHeader());
  int32_t entry = 0;
  do {
    AddMemoryMapEntry(maps[map].entries, entry++, TakeEntry());
    SkipIf(",");
  } while (!TokenIs("}"));
  ExpectText("}");
}

// map-list -> [','] map (',' map)*
void ReadMapList(MapList& maps) {
  SkipIf(",");
  ReadCommaList([&](int32_t map) { ReadMemoryMap(maps, map); });
}

}  // namespace

void ReadMemoryMapBody(MemoryMapTable& table) {
  ReadClauses(AlwaysClause::kStoredAfter, table, AddMemoryMapCondition,
              [&](int32_t index) { ReadMapList(table[index].maps); });
}

void EmptyMemoryMaps(MemoryMapTable& table) { AddMemoryMapCondition(table, 0, ""); }

void DumpMemoryMaps(const MemoryMapTable& table) {
  for (const MemoryMapCondition& record : table) {
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
