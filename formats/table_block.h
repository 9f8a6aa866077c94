#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "formats/string_ref.h"

namespace qelc {

static_assert(std::endian::native == std::endian::little,
              "the table block is written as a memory image of little-endian fields");

// Every record below is plain 32-bit fields, so the block is the DAB file's image.

struct StatementSlot {
  StringRef kind;
  StringRef text;
};
constexpr int kStatementSlots = 8;
struct StatementList {
  StatementSlot slots[kStatementSlots];
};

struct PinNumberRow {
  StringRef package;
  int32_t pinNumber;
  int32_t reserved;
  StringRef name;
};
struct PinNumberCondition {
  StringRef condition;
  PinNumberRow rows[150];
};

struct AliasRow {
  StringRef alias;
  StringRef target;
};
struct AliasCondition {
  StringRef condition;
  AliasRow rows[100];
};

struct Extension {
  StringRef first;
  StringRef second;
};

struct TypeCategory {
  StringRef name;
  StringRef value;
};

struct TypeShortHand {
  int32_t code;
  StringRef qualifiers;
  StringRef name;
  StringRef value;
};

struct InitializeRow {
  StringRef pin;
  StringRef signal;
  int32_t changeable;
  int32_t reserved;
  StringRef reservedName;
  StringRef displayName;
};
struct InitializeCondition {
  StringRef condition;
  InitializeRow rows[80];
};

struct PrologEpilogEntry {
  StringRef condition;
  StatementList statements;
};

struct GroupMember {
  StringRef item;
  StringRef value;
  int32_t alternative;
};
struct GroupRecord {
  StringRef name;
  StringRef text;
  GroupMember members[100];
  StatementList statements;
};
struct GroupCondition {
  StringRef condition;
  GroupRecord groups[40];
};

struct OutputSyntaxRecord {
  StringRef name;
  StatementList statements;
};

struct PinCategory {
  StringRef name;
  StringRef selections[8];
};
struct PinCondition {
  StringRef condition;
  PinCategory categories[20];
};
struct PinGroup {
  StringRef names[16];
  PinCondition conditions[10];
};

struct TypeConversionRow {
  StringRef first;
  StringRef second;
  StringRef third;
};

// A row of the numbered information tables.
struct NumberedRow {
  int32_t number;
  StringRef text;
};

// A record of the conditional information lists: a condition and its items.
template <int Items>
struct ConditionalRecord {
  static constexpr int kItems = Items;
  StringRef condition;
  StringRef items[Items];
};

struct MemoryMapEntry {
  StringRef fields[8];
};
struct MemoryMap {
  int32_t number;
  StringRef title;
  StringRef description;
  StringRef mainFlash;
  StringRef secondaryFlash;
  MemoryMapEntry entries[30];
};
struct MemoryMapCondition {
  StringRef condition;
  MemoryMap maps[10];
};

constexpr int32_t kPoolCapacity = 32000;
constexpr char kFormatVersion[] = "6.0.0.0.1";

struct TableBlock {
  char formatVersion[20];
  int32_t poolUsedSize;
  int32_t poolCapacity;
  int32_t poolAddress;  // a run-time address in the original format; always 0 here
  PinNumberCondition pinNumbers[10];
  AliasCondition aliases[10];
  Extension extensions[20];
  TypeCategory typeCategories[20];
  TypeShortHand typeShortHands[300];
  InitializeCondition initialize[50];
  PrologEpilogEntry prolog[20];
  PrologEpilogEntry epilog[20];
  GroupCondition groups[10];
  OutputSyntaxRecord outputSyntaxes[300];
  PinGroup pinGroups[150];
  TypeConversionRow typeConversions[50];
  NumberedRow deviceSpecificInfoTable[30];
  ConditionalRecord<30> deviceSpecificInfo[30];
  NumberedRow hardwareSupportTable[5];
  ConditionalRecord<5> hardwareSupport[30];
  NumberedRow packageInfoTable[20];
  NumberedRow voltageRangeTable[10];
  ConditionalRecord<10> templateLink[30];
  ConditionalRecord<3> cCodeFileName[100];
  ConditionalRecord<30> cCodeExample[20];
  ConditionalRecord<70> qelConfig[40];
  MemoryMapCondition memoryMaps[20];
};

// The capacity of a table is the size of its array above, stated nowhere else:
// EntriesOf(&TableBlock::aliases) is the number of alias conditions,
// EntriesOf(&AliasCondition::rows) that of the rows of one.
template <typename Record, typename Element, size_t N>
constexpr int32_t EntriesOf(Element (Record::*)[N]) {
  return int32_t(N);
}

// The items of one record of a conditional information list of the block.
template <int Items, size_t N>
constexpr int32_t ItemsOf(ConditionalRecord<Items> (TableBlock::*)[N]) {
  return Items;
}

// The file format, checked where it is declared.
static_assert(sizeof(StatementList) == 64);
static_assert(sizeof(PinNumberRow) == 16 && sizeof(PinNumberCondition) == 2404);
static_assert(sizeof(AliasRow) == 8 && sizeof(AliasCondition) == 804);
static_assert(sizeof(Extension) == 8 && sizeof(TypeCategory) == 8);
static_assert(sizeof(TypeShortHand) == 16);
static_assert(sizeof(InitializeRow) == 24 && sizeof(InitializeCondition) == 1924);
static_assert(sizeof(PrologEpilogEntry) == 68);
static_assert(sizeof(GroupMember) == 12 && offsetof(GroupRecord, statements) == 1208);
static_assert(sizeof(GroupRecord) == 1272 && sizeof(GroupCondition) == 50884);
static_assert(sizeof(OutputSyntaxRecord) == 68);
static_assert(sizeof(PinCategory) == 36 && sizeof(PinCondition) == 724);
static_assert(offsetof(PinGroup, conditions) == 64 && sizeof(PinGroup) == 7304);
static_assert(sizeof(TypeConversionRow) == 12 && sizeof(NumberedRow) == 8);
static_assert(sizeof(ConditionalRecord<30>) == 124 && sizeof(ConditionalRecord<5>) == 24);
static_assert(sizeof(ConditionalRecord<10>) == 44 && sizeof(ConditionalRecord<3>) == 16);
static_assert(sizeof(ConditionalRecord<70>) == 284);
static_assert(sizeof(MemoryMapEntry) == 32 && offsetof(MemoryMap, entries) == 20);
static_assert(sizeof(MemoryMap) == 980 && sizeof(MemoryMapCondition) == 9804);

static_assert(offsetof(TableBlock, poolUsedSize) == 0x14);
static_assert(offsetof(TableBlock, poolCapacity) == 0x18);
static_assert(offsetof(TableBlock, poolAddress) == 0x1C);
static_assert(offsetof(TableBlock, pinNumbers) == 0x20);
static_assert(offsetof(TableBlock, aliases) == 0x5E08);
static_assert(offsetof(TableBlock, extensions) == 0x7D70);
static_assert(offsetof(TableBlock, typeCategories) == 0x7E10);
static_assert(offsetof(TableBlock, typeShortHands) == 0x7EB0);
static_assert(offsetof(TableBlock, initialize) == 0x9170);
static_assert(offsetof(TableBlock, prolog) == 0x20938);
static_assert(offsetof(TableBlock, epilog) == 0x20E88);
static_assert(offsetof(TableBlock, groups) == 0x213D8);
static_assert(offsetof(TableBlock, outputSyntaxes) == 0x9D780);
static_assert(offsetof(TableBlock, pinGroups) == 0xA2730);
static_assert(offsetof(TableBlock, typeConversions) == 0x1ADEE0);
static_assert(offsetof(TableBlock, deviceSpecificInfoTable) == 0x1AE138);
static_assert(offsetof(TableBlock, deviceSpecificInfo) == 0x1AE228);
static_assert(offsetof(TableBlock, hardwareSupportTable) == 0x1AF0B0);
static_assert(offsetof(TableBlock, hardwareSupport) == 0x1AF0D8);
static_assert(offsetof(TableBlock, packageInfoTable) == 0x1AF3A8);
static_assert(offsetof(TableBlock, voltageRangeTable) == 0x1AF448);
static_assert(offsetof(TableBlock, templateLink) == 0x1AF498);
static_assert(offsetof(TableBlock, cCodeFileName) == 0x1AF9C0);
static_assert(offsetof(TableBlock, cCodeExample) == 0x1B0000);
static_assert(offsetof(TableBlock, qelConfig) == 0x1B09B0);
static_assert(offsetof(TableBlock, memoryMaps) == 0x1B3610);
static_assert(sizeof(TableBlock) == 0x1E3400);

}  // namespace qelc
