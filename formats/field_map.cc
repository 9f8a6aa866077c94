#include "formats/field_map.h"

#include <charconv>
#include <string>

#include "formats/suggest.h"
#include "formats/table_block.h"

namespace qelc {

namespace {

constexpr FieldKind kInt = FieldKind::kInt;
constexpr FieldKind kString = FieldKind::kString;

constexpr FieldNode kSlotFields[] = {
    QELC_LEAF(StatementSlot, kind, kString),
    QELC_LEAF(StatementSlot, text, kString),
};
QELC_MAP_COVERS(StatementSlot, kSlotFields);
constexpr FieldNode kStatementListFields[] = {
    QELC_RECORD(StatementList, slots, kSlotFields),
};
QELC_MAP_COVERS(StatementList, kStatementListFields);

constexpr FieldNode kPinNumberRowFields[] = {
    QELC_LEAF(PinNumberRow, package, kString),
    QELC_LEAF(PinNumberRow, pinNumber, kInt),
    QELC_LEAF(PinNumberRow, reserved, kInt),
    QELC_LEAF(PinNumberRow, name, kString),
};
QELC_MAP_COVERS(PinNumberRow, kPinNumberRowFields);
constexpr FieldNode kPinNumberFields[] = {
    QELC_LEAF(PinNumberCondition, condition, kString),
    QELC_RECORD(PinNumberCondition, rows, kPinNumberRowFields),
};
QELC_MAP_COVERS(PinNumberCondition, kPinNumberFields);

constexpr FieldNode kAliasRowFields[] = {
    QELC_LEAF(AliasRow, alias, kString),
    QELC_LEAF(AliasRow, target, kString),
};
QELC_MAP_COVERS(AliasRow, kAliasRowFields);
constexpr FieldNode kAliasFields[] = {
    QELC_LEAF(AliasCondition, condition, kString),
    QELC_RECORD(AliasCondition, rows, kAliasRowFields),
};
QELC_MAP_COVERS(AliasCondition, kAliasFields);

constexpr FieldNode kExtensionFields[] = {
    QELC_LEAF(Extension, first, kString),
    QELC_LEAF(Extension, second, kString),
};
QELC_MAP_COVERS(Extension, kExtensionFields);

constexpr FieldNode kTypeCategoryFields[] = {
    QELC_LEAF(TypeCategory, name, kString),
    QELC_LEAF(TypeCategory, value, kString),
};
QELC_MAP_COVERS(TypeCategory, kTypeCategoryFields);

constexpr FieldNode kTypeShortHandFields[] = {
    QELC_LEAF(TypeShortHand, code, kInt),
    QELC_LEAF(TypeShortHand, qualifiers, kString),
    QELC_LEAF(TypeShortHand, name, kString),
    QELC_LEAF(TypeShortHand, value, kString),
};
QELC_MAP_COVERS(TypeShortHand, kTypeShortHandFields);

constexpr FieldNode kInitializeRowFields[] = {
    QELC_LEAF(InitializeRow, pin, kString),          QELC_LEAF(InitializeRow, signal, kString),
    QELC_LEAF(InitializeRow, changeable, kInt),      QELC_LEAF(InitializeRow, reserved, kInt),
    QELC_LEAF(InitializeRow, reservedName, kString), QELC_LEAF(InitializeRow, displayName, kString),
};
QELC_MAP_COVERS(InitializeRow, kInitializeRowFields);
constexpr FieldNode kInitializeFields[] = {
    QELC_LEAF(InitializeCondition, condition, kString),
    QELC_RECORD(InitializeCondition, rows, kInitializeRowFields),
};
QELC_MAP_COVERS(InitializeCondition, kInitializeFields);

constexpr FieldNode kPrologEpilogFields[] = {
    QELC_LEAF(PrologEpilogEntry, condition, kString),
    QELC_RECORD(PrologEpilogEntry, statements, kStatementListFields),
};
QELC_MAP_COVERS(PrologEpilogEntry, kPrologEpilogFields);

constexpr FieldNode kGroupMemberFields[] = {
    QELC_LEAF(GroupMember, item, kString),
    QELC_LEAF(GroupMember, value, kString),
    QELC_LEAF(GroupMember, alternative, kInt),
};
QELC_MAP_COVERS(GroupMember, kGroupMemberFields);
constexpr FieldNode kGroupRecordFields[] = {
    QELC_LEAF(GroupRecord, name, kString),
    QELC_LEAF(GroupRecord, text, kString),
    QELC_RECORD(GroupRecord, members, kGroupMemberFields),
    QELC_RECORD(GroupRecord, statements, kStatementListFields),
};
QELC_MAP_COVERS(GroupRecord, kGroupRecordFields);
constexpr FieldNode kGroupFields[] = {
    QELC_LEAF(GroupCondition, condition, kString),
    QELC_RECORD(GroupCondition, groups, kGroupRecordFields),
};
QELC_MAP_COVERS(GroupCondition, kGroupFields);

constexpr FieldNode kOutputSyntaxFields[] = {
    QELC_LEAF(OutputSyntaxRecord, name, kString),
    QELC_RECORD(OutputSyntaxRecord, statements, kStatementListFields),
};
QELC_MAP_COVERS(OutputSyntaxRecord, kOutputSyntaxFields);

constexpr FieldNode kPinCategoryFields[] = {
    QELC_LEAF(PinCategory, name, kString),
    QELC_LEAF(PinCategory, selections, kString),
};
QELC_MAP_COVERS(PinCategory, kPinCategoryFields);
constexpr FieldNode kPinConditionFields[] = {
    QELC_LEAF(PinCondition, condition, kString),
    QELC_RECORD(PinCondition, categories, kPinCategoryFields),
};
QELC_MAP_COVERS(PinCondition, kPinConditionFields);
constexpr FieldNode kPinGroupFields[] = {
    QELC_LEAF(PinGroup, names, kString),
    QELC_RECORD(PinGroup, conditions, kPinConditionFields),
};
QELC_MAP_COVERS(PinGroup, kPinGroupFields);

constexpr FieldNode kTypeConversionFields[] = {
    QELC_LEAF(TypeConversionRow, first, kString),
    QELC_LEAF(TypeConversionRow, second, kString),
    QELC_LEAF(TypeConversionRow, third, kString),
};
QELC_MAP_COVERS(TypeConversionRow, kTypeConversionFields);

constexpr FieldNode kNumberedRowFields[] = {
    QELC_LEAF(NumberedRow, number, kInt),
    QELC_LEAF(NumberedRow, text, kString),
};
QELC_MAP_COVERS(NumberedRow, kNumberedRowFields);

template <int Items>
constexpr FieldNode kConditionalFields[] = {
    QELC_LEAF(ConditionalRecord<Items>, condition, kString),
    QELC_LEAF(ConditionalRecord<Items>, items, kString),
};
QELC_MAP_COVERS(ConditionalRecord<30>, kConditionalFields<30>);
QELC_MAP_COVERS(ConditionalRecord<5>, kConditionalFields<5>);
QELC_MAP_COVERS(ConditionalRecord<10>, kConditionalFields<10>);
QELC_MAP_COVERS(ConditionalRecord<3>, kConditionalFields<3>);
QELC_MAP_COVERS(ConditionalRecord<70>, kConditionalFields<70>);

constexpr FieldNode kMemoryMapEntryFields[] = {
    QELC_LEAF(MemoryMapEntry, fields, kString),
};
QELC_MAP_COVERS(MemoryMapEntry, kMemoryMapEntryFields);
constexpr FieldNode kMemoryMapFields[] = {
    QELC_LEAF(MemoryMap, number, kInt),
    QELC_LEAF(MemoryMap, title, kString),
    QELC_LEAF(MemoryMap, description, kString),
    QELC_LEAF(MemoryMap, mainFlash, kString),
    QELC_LEAF(MemoryMap, secondaryFlash, kString),
    QELC_RECORD(MemoryMap, entries, kMemoryMapEntryFields),
};
QELC_MAP_COVERS(MemoryMap, kMemoryMapFields);
constexpr FieldNode kMemoryMapConditionFields[] = {
    QELC_LEAF(MemoryMapCondition, condition, kString),
    QELC_RECORD(MemoryMapCondition, maps, kMemoryMapFields),
};
QELC_MAP_COVERS(MemoryMapCondition, kMemoryMapConditionFields);

constexpr FieldNode kBlockFields[] = {
    // One text of 20 bytes, not 20 one-byte fields.
    {"formatVersion",
     FieldKind::kText,
     offsetof(TableBlock, formatVersion),
     sizeof(TableBlock::formatVersion),
     1,
     {}},
    QELC_LEAF(TableBlock, poolUsedSize, kInt),
    QELC_LEAF(TableBlock, poolCapacity, kInt),
    QELC_LEAF(TableBlock, poolAddress, kInt),
    QELC_RECORD(TableBlock, pinNumbers, kPinNumberFields),
    QELC_RECORD(TableBlock, aliases, kAliasFields),
    QELC_RECORD(TableBlock, extensions, kExtensionFields),
    QELC_RECORD(TableBlock, typeCategories, kTypeCategoryFields),
    QELC_RECORD(TableBlock, typeShortHands, kTypeShortHandFields),
    QELC_RECORD(TableBlock, initialize, kInitializeFields),
    QELC_RECORD(TableBlock, prolog, kPrologEpilogFields),
    QELC_RECORD(TableBlock, epilog, kPrologEpilogFields),
    QELC_RECORD(TableBlock, groups, kGroupFields),
    QELC_RECORD(TableBlock, outputSyntaxes, kOutputSyntaxFields),
    QELC_RECORD(TableBlock, pinGroups, kPinGroupFields),
    QELC_RECORD(TableBlock, typeConversions, kTypeConversionFields),
    QELC_RECORD(TableBlock, deviceSpecificInfoTable, kNumberedRowFields),
    QELC_RECORD(TableBlock, deviceSpecificInfo, kConditionalFields<30>),
    QELC_RECORD(TableBlock, hardwareSupportTable, kNumberedRowFields),
    QELC_RECORD(TableBlock, hardwareSupport, kConditionalFields<5>),
    QELC_RECORD(TableBlock, packageInfoTable, kNumberedRowFields),
    QELC_RECORD(TableBlock, voltageRangeTable, kNumberedRowFields),
    QELC_RECORD(TableBlock, templateLink, kConditionalFields<10>),
    QELC_RECORD(TableBlock, cCodeFileName, kConditionalFields<3>),
    QELC_RECORD(TableBlock, cCodeExample, kConditionalFields<30>),
    QELC_RECORD(TableBlock, qelConfig, kConditionalFields<70>),
    QELC_RECORD(TableBlock, memoryMaps, kMemoryMapConditionFields),
};
QELC_MAP_COVERS(TableBlock, kBlockFields);

constexpr FieldNode kBlock = {"", FieldKind::kRecord, 0, sizeof(TableBlock), 1, kBlockFields};

}  // namespace

const FieldNode& DabBlockMap() { return kBlock; }

namespace {

// A name of a path that names no field: where it stands, and the nearest field
// name of its record (empty when none is near).
struct NameMissed {
  size_t at = 0;
  size_t length = 0;
  std::string nearest;
};

FieldTarget Resolve(const FieldNode& root, std::string_view path, std::string& problem,
                    NameMissed& missed) {
  const FieldNode* record = &root;
  FieldTarget target;
  size_t at = 0;
  while (true) {
    size_t end = path.find_first_of(".[", at);
    std::string_view name = path.substr(at, end == std::string_view::npos ? end : end - at);
    const FieldNode* found = nullptr;
    for (const FieldNode& field : record->fields) {
      if (field.name == name) found = &field;
    }
    if (!found) {
      Suggestion suggestion(name);
      for (const FieldNode& field : record->fields) suggestion.Consider(field.name);
      problem = "no field named '" + std::string(name) + "'";
      missed = {at, name.size(), suggestion.Nearest()};
      return {};
    }
    target = FieldTarget{found, target.offset + found->offset, !found->IsList()};
    at = end == std::string_view::npos ? path.size() : end;
    if (at < path.size() && path[at] == '[') {
      size_t close = path.find(']', at);
      int index = -1;
      const char* first = path.data() + at + 1;
      const char* last = path.data() + (close == std::string_view::npos ? at + 1 : close);
      auto [stop, error] = std::from_chars(first, last, index);
      if (!found->IsList() || close == std::string_view::npos || first == last ||
          error != std::errc() || stop != last || index < 0 || index >= found->count) {
        std::string_view element =
            path.substr(at, close == std::string_view::npos ? close : close + 1 - at);
        problem = "'" + std::string(path.substr(0, at)) + "' has no element " +
                  std::string(element) +
                  (found->IsList() ? " (0 to " + std::to_string(found->count - 1) + ")" : "");
        return {};
      }
      target.offset += size_t(index) * found->size;
      target.indexed = true;
      at = close + 1;
    }
    if (at == path.size()) return target;
    if (path[at] != '.' || found->kind != FieldKind::kRecord || !target.indexed) {
      problem = "'" + std::string(path.substr(0, at)) +
                (found->kind != FieldKind::kRecord ? "' has no fields" : "' needs an index");
      return {};
    }
    ++at;
    record = found;
  }
}

}  // namespace

FieldTarget ResolveFieldPath(const FieldNode& root, std::string_view path, std::string& problem) {
  NameMissed missed;
  FieldTarget target = Resolve(root, path, problem, missed);
  // Each name that misses is put right in turn; the path is proposed when all
  // could be and it then resolves.
  std::string nearest(path);
  while (!target.node && !missed.nearest.empty()) {
    nearest.replace(missed.at, missed.length, missed.nearest);
    std::string unused;
    missed = {};
    if (Resolve(root, nearest, unused, missed).node) {
      problem += "; did you mean '" + nearest + "'?";
      break;
    }
  }
  return target;
}

}  // namespace qelc
