#include "formats/catalogue.h"

#include <algorithm>

namespace qelc {

namespace {

using T = TableBlock;
using S = SectionShape;
namespace L = text_limit;

// A list that ends with an empty entry of its own keeps one slot free.
constexpr bool kClosed = true;

// Capacities, outermost first.
constexpr Capacity kPinNumberCapacity[] = {
    {"`When` blocks", EntriesOf(&T::pinNumbers), 0, kClosed},
    {"rows per block", EntriesOf(&PinNumberCondition::rows), 0, kClosed}};
constexpr Capacity kAliasCapacity[] = {{"`When` blocks", EntriesOf(&T::aliases)},
                                       {"rows per block", EntriesOf(&AliasCondition::rows)}};
constexpr Capacity kExtensionCapacity[] = {{"entries", EntriesOf(&T::extensions)}};
constexpr Capacity kTypeCategoryCapacity[] = {{"categories", EntriesOf(&T::typeCategories)}};
constexpr Capacity kTypeShortHandCapacity[] = {{"entries", EntriesOf(&T::typeShortHands)}};
constexpr Capacity kInitializeCapacity[] = {
    {"`When` blocks", EntriesOf(&T::initialize)},
    {"pins per block", EntriesOf(&InitializeCondition::rows)}};
constexpr Capacity kPrologCapacity[] = {{"entries", EntriesOf(&T::prolog)}};
constexpr Capacity kEpilogCapacity[] = {{"entries", EntriesOf(&T::epilog)}};
constexpr Capacity kGroupCapacity[] = {{"blocks", EntriesOf(&T::groups)},
                                       {"groups per block", EntriesOf(&GroupCondition::groups)},
                                       {"members per group", EntriesOf(&GroupRecord::members)}};
constexpr Capacity kOutputSyntaxCapacity[] = {{"entries", EntriesOf(&T::outputSyntaxes)}};
constexpr Capacity kPinCapacity[] = {
    {"groups", EntriesOf(&T::pinGroups)},
    {"pins per group", EntriesOf(&PinGroup::names)},
    {"branches per group", EntriesOf(&PinGroup::conditions)},
    {"categories per branch", EntriesOf(&PinCondition::categories)},
    {"selections per category", EntriesOf(&PinCategory::selections)}};
constexpr Capacity kTypeConversionCapacity[] = {{"rows", EntriesOf(&T::typeConversions)}};
constexpr Capacity kDeviceSpecificInfoTableCapacity[] = {
    {"rows", EntriesOf(&T::deviceSpecificInfoTable)}};
constexpr Capacity kHardwareSupportTableCapacity[] = {
    {"rows", EntriesOf(&T::hardwareSupportTable)}};
constexpr Capacity kPackageInfoTableCapacity[] = {{"rows", EntriesOf(&T::packageInfoTable)}};
constexpr Capacity kVoltageRangeTableCapacity[] = {{"rows", EntriesOf(&T::voltageRangeTable)}};

// A conditional list: its blocks and the words of each, both closed by an
// empty entry; `shortBy` slots of each are never reached.
template <auto Table>
constexpr Capacity kListCapacity[] = {
    {"blocks", EntriesOf(Table), 0, kClosed},
    {"words per block", ItemsOf(Table), 0, kClosed},
};
// QelConfig stops one short of its 40 records and 70 slots: part of the file
// format.
constexpr Capacity kQelConfigCapacity[] = {
    {"blocks", EntriesOf(&T::qelConfig), 1, kClosed},
    {"words per block", ItemsOf(&T::qelConfig), 1, kClosed},
};
// The memory maps stop one short of their records and of the maps of each:
// part of the file format.
constexpr Capacity kMemoryMapCapacity[] = {
    {"blocks", EntriesOf(&T::memoryMaps), 1},
    {"maps per block", EntriesOf(&MemoryMapCondition::maps), 1},
    {"ranges per map", EntriesOf(&MemoryMap::entries)},
};

constexpr TextLimit kStatementLimits[] = {{"a statement's joined text", L::kStatement}};
constexpr TextLimit kMemoryMapLimits[] = {
    {"title", L::kMapTitle},
    {"description, joined", L::kMapDescription},
    {"main and secondary flash space", L::kMapFlashSpace},
    {"a label value or field 3, as written with its quotes", L::kMapToken},
    {"fields 1, 2, 4, 5, 6, 7 (field 3 without its quotes)", L::kMapEntryField},
    {"field 8", L::kMapLastField},
};

constexpr FieldName kConditionOnly[] = {{"condition", "condition", true}};
constexpr FieldName kPinNumberFields[] = {
    {"condition", "condition", true}, {"rows.package", "package", true},
    {"rows.pinNumber", "pin", true},  {"rows.reserved", "reserved"},
    {"rows.name", "signal"},
};
constexpr FieldName kAliasFields[] = {
    {"condition", "condition", true},
    {"rows.alias", "alias", true},
    {"rows.target", "pin"},
};
constexpr FieldName kExtensionFields[] = {
    {"first", "name", true, true},
    {"second", "value", false, true},
};
constexpr FieldName kTypeCategoryFields[] = {
    {"name", "category", true},
    {"value", "description", false, true},
};
constexpr FieldName kTypeShortHandFields[] = {
    {"code", "code", true},
    {"qualifiers", "qualifiers", false, true},
    {"name", "category"},
    {"value", "description", false, true},
};
constexpr FieldName kInitializeFields[] = {
    {"condition", "condition", true},
    {"rows.pin", "pin", true},
    {"rows.signal", "signal"},
    {"rows.changeable", "changeable"},
    {"rows.reserved", "reserved"},
    {"rows.reservedName", "reserved name"},
    {"rows.displayName", "display name"},
};
constexpr FieldName kStatementFields[] = {
    {"condition", "condition", true},
    {"statements.slots.kind", "statement"},
    {"statements.slots.text", "words", false, true},
};
constexpr FieldName kGroupFields[] = {
    {"condition", "condition", true},
    {"groups.name", "group", true},
    {"groups.text", "text", false, true},
    {"groups.members.item", "item", true},
    {"groups.members.value", "value", false, true},
    {"groups.members.alternative", "alternative"},
    {"groups.statements.slots.kind", "statement"},
    {"groups.statements.slots.text", "words", false, true},
};
constexpr FieldName kOutputSyntaxFields[] = {
    {"name", "signal kind", true},
    {"statements.slots.kind", "statement"},
    {"statements.slots.text", "words", false, true},
};
constexpr FieldName kPinFields[] = {
    {"names", "pins", true},
    {"conditions.condition", "branch", true},
    {"conditions.categories.name", "category", true},
    {"conditions.categories.selections", "selections"},
};
constexpr FieldName kTypeConversionFields[] = {
    {"first", "from", true, true},
    {"second", "to", true, true},
    {"third", "third", false, true},
};
constexpr FieldName kNumberedFields[] = {
    {"number", "number", true, true},
    {"text", "text", false, true},
};
constexpr FieldName kConditionalListFields[] = {
    {"condition", "condition", true},
    {"items", "words", false, true},
};
constexpr FieldName kMemoryMapFields[] = {
    {"condition", "condition", true},
    {"maps.number", "map", true},
    {"maps.title", "title"},
    {"maps.description", "description"},
    {"maps.mainFlash", "main flash space", false, true},
    {"maps.secondaryFlash", "secondary flash space", false, true},
    {"maps.entries.fields[0]", "start", true, true},
    {"maps.entries.fields[1]", "end", false, true},
    {"maps.entries.fields[2]", "name", false, true},
    {"maps.entries.fields[3]", "access", false, true},
    {"maps.entries.fields[4]", "protection", false, true},
    {"maps.entries.fields[5]", "size", false, true},
    {"maps.entries.fields[6]", "use", false, true},
    {"maps.entries.fields[7]", "note", false, true},
};

constexpr SectionEntry kSections[] = {
    {"StringQuote",
     "",
     S::kSkipped,
     "Free text",
     "Fills nothing: free text for other tools, skipped to its closing brace.",
     "stringquote",
     {},
     {},
     {}},
    {"PinNumberByPackage",
     "pinNumbers",
     S::kConditionalRows,
     "Pin numbers by package",
     "Pin numbers per package, under conditions: rows `package : number [: 'name' | : RSV]`.",
     "pinnumberbypackage",
     kPinNumberCapacity,
     {},
     kPinNumberFields},
    {"Alias",
     "aliases",
     S::kConditionalRows,
     "Aliases",
     "Other names of pins, under conditions: rows `alias : target`.",
     "alias",
     kAliasCapacity,
     {},
     kAliasFields},
    {"Extensions",
     "extensions",
     S::kList,
     "Extensions",
     "Pairs of texts: `'text' : second`.",
     "extensions",
     kExtensionCapacity,
     {},
     kExtensionFields},
    {"TypeCategory",
     "typeCategories",
     S::kList,
     "Type categories",
     "The categories a pin type is chosen in: `name = value`.",
     "typecategory",
     kTypeCategoryCapacity,
     {},
     kTypeCategoryFields},
    {"TypeShortHand",
     "typeShortHands",
     S::kList,
     "Type shorthands",
     "Numbered short names for type settings: `code : name [: qualifiers] = value`.",
     "typeshorthand",
     kTypeShortHandCapacity,
     {},
     kTypeShortHandFields},
    {"Initialize",
     "initialize",
     S::kConditionalRows,
     "Initial pin settings",
     "The first settings of pins, under conditions: `pin.attribute = value ;`.",
     "initialize",
     kInitializeCapacity,
     {},
     kInitializeFields},
    {"DesignProlog", "prolog", S::kStatementBlocks, "Design prolog",
     "Statements written before a design.", "designprolog-and-designepilog", kPrologCapacity,
     kStatementLimits, kStatementFields},
    {"DesignEpilog", "epilog", S::kStatementBlocks, "Design epilog",
     "Statements written after a design.", "designprolog-and-designepilog", kEpilogCapacity,
     kStatementLimits, kStatementFields},
    {"Group", "groups", S::kConditionalGroups, "Groups",
     "Named groups of pins with their statements.", "group", kGroupCapacity, kStatementLimits,
     kGroupFields},
    {"OutputSyntax", "outputSyntaxes", S::kNamedStatements, "Output syntax",
     "How each kind of signal is written.", "outputsyntax", kOutputSyntaxCapacity, kStatementLimits,
     kOutputSyntaxFields},
    {"Pin",
     "pinGroups",
     S::kPinGroups,
     "Pin types",
     "The type selections allowed for groups of pins.",
     "pin",
     kPinCapacity,
     {},
     kPinFields},
    {"TypeConversion",
     "typeConversions",
     S::kList,
     "Type conversions",
     "Pin type conversions: `first : second [: third] ;`.",
     "typeconversion",
     kTypeConversionCapacity,
     {},
     kTypeConversionFields},
    {"DeviceSpecificInfoTable",
     "deviceSpecificInfoTable",
     S::kNumberedTable,
     "Device specific information rows",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kDeviceSpecificInfoTableCapacity,
     {},
     kNumberedFields},
    {"DeviceSpecificInfo",
     "deviceSpecificInfo",
     S::kConditionalList,
     "Device specific information",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::deviceSpecificInfo>,
     {},
     kConditionalListFields},
    {"HardwareSupportTable",
     "hardwareSupportTable",
     S::kNumberedTable,
     "Hardware support rows",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kHardwareSupportTableCapacity,
     {},
     kNumberedFields},
    {"HardwareSupport",
     "hardwareSupport",
     S::kConditionalList,
     "Hardware support",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::hardwareSupport>,
     {},
     kConditionalListFields},
    {"PackageInfoTable",
     "packageInfoTable",
     S::kNumberedTable,
     "Packages",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kPackageInfoTableCapacity,
     {},
     kNumberedFields},
    {"VoltageRangeTable",
     "voltageRangeTable",
     S::kNumberedTable,
     "Voltage ranges",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kVoltageRangeTableCapacity,
     {},
     kNumberedFields},
    {"TemplateLink",
     "templateLink",
     S::kConditionalList,
     "Template links",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::templateLink>,
     {},
     kConditionalListFields},
    {"CCodeFileName",
     "cCodeFileName",
     S::kConditionalList,
     "C code files",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::cCodeFileName>,
     {},
     kConditionalListFields},
    {"CCodeExample",
     "cCodeExample",
     S::kConditionalList,
     "C code examples",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::cCodeExample>,
     {},
     kConditionalListFields},
    {"QelConfig",
     "qelConfig",
     S::kConditionalList,
     "Configuration settings",
     "Lists of words under conditions, after an optional `Always :` block.",
     "conditional-lists",
     kQelConfigCapacity,
     {},
     kConditionalListFields},
    {"MemoryMap", "memoryMaps", S::kMemoryMaps, "Memory maps",
     "Memory maps and their address ranges, under conditions.", "memorymap", kMemoryMapCapacity,
     kMemoryMapLimits, kMemoryMapFields},
};

constexpr TextLimit kCategoryLimits[] = {{"category name, value", L::kCategoryText}};
constexpr TextLimit kModuleLimits[] = {{"module name, `Module` text", L::kModuleText}};
constexpr TextLimit kPortLimits[] = {{"port texts 1, 2, 4, 5, 6", L::kModuleText},
                                     {"port text3", L::kPortText3}};
constexpr TextLimit kDeclarationLimits[] = {{"declaration texts", L::kModuleText}};
constexpr TextLimit kBusExtNameLimits[] = {{"bus extension name", L::kBusExtName}};
constexpr TextLimit kMacroLimits[] = {
    {"macro parameter", L::kMacroParameter},
    {"the statements of one macro statement line, joined", L::kMacroStatement},
    {"a `_when` condition", L::kCondition}};
constexpr TextLimit kEquationLimits[] = {{"equation parameter", L::kModuleText}};

constexpr FieldName kCategoryFields[] = {
    {"number", "number", true}, {"name", "name"}, {"value", "value"}};
constexpr FieldName kModuleFields[] = {{"name", "module", true},
                                       {"moduleName", "text", false, true},
                                       {"moduleNumber", "category number", false, true}};
constexpr FieldName kPortFields[] = {
    {"text1", "port", true, true},       {"text2", "kind", false, true},
    {"text3", "direction", false, true}, {"text4", "width", false, true},
    {"number1", "number1", false, true}, {"number2", "number2", false, true},
    {"text5", "text5", false, true},     {"text6", "text6", false, true}};
constexpr FieldName kDeclarationFields[] = {{"text1", "kind", false, true},
                                            {"text2", "signal", true, true},
                                            {"text3", "width", false, true}};
constexpr FieldName kWordFields[] = {{"", "name", true, true}};
constexpr FieldName kParameterFields[] = {{"", "parameter", false, true}};
constexpr FieldName kMacroStatementFields[] = {{"condition", "condition"},
                                               {"statements", "statements", false, true}};

constexpr IpfBlockEntry kIpfBlocks[] = {
    {"SoftIPCategory", "categories", "Categories",
     "Soft-IP categories: entries `number : name = 'value'`.", "softipcategory", kCategoryLimits,
     kCategoryFields},
    {"Module", "modules", "Modules",
     "`Module : { text : number ; }`: the module's text and number.", "module", kModuleLimits,
     kModuleFields},
    {"Input", "inputs", "Inputs",
     "Input ports: `text1 : text2 : text3 : text4 : [number1 [: number2 ...]] ;`.",
     "input-and-output", kPortLimits, kPortFields},
    {"Output", "outputs", "Outputs",
     "Output ports, read as inputs, keeping the first seven fields.", "input-and-output",
     kPortLimits, std::span(kPortFields).first(7)},
    {"Declaration", "declarations", "Declarations", "Declarations: `text1 : text2 : text3 ;`.",
     "declaration", kDeclarationLimits, kDeclarationFields},
    {"BusExtName", "busExtNames", "Bus extension names",
     "Bus extension names: words with no separator.", "busextname", kBusExtNameLimits, kWordFields},
    {"Macro", "macroStatements", "Macro",
     "`Macro : { MacroName ( parameters ) { statement lines } }`.", "macro", kMacroLimits,
     kMacroStatementFields},
    {"Equation", "equationParameters", "Equation", "`Equation : { MacroName ( parameters ) ; }`.",
     "equation", kEquationLimits, kParameterFields},
};

}  // namespace

std::span<const SectionEntry> DafSections() { return kSections; }

const SectionEntry* FindDafSection(std::string_view keyword) {
  for (const SectionEntry& section : kSections) {
    if (EqualsNoCase(section.keyword, keyword)) return &section;
  }
  return nullptr;
}

const SectionEntry* DafSectionOfTable(std::string_view table) {
  for (const SectionEntry& section : kSections) {
    if (!table.empty() && section.table == table) return &section;
  }
  return nullptr;
}

std::span<const IpfBlockEntry> IpfBlocks() { return kIpfBlocks; }

const IpfBlockEntry* FindIpfBlock(std::string_view keyword) {
  for (const IpfBlockEntry& block : kIpfBlocks) {
    if (EqualsNoCase(block.keyword, keyword)) return &block;
  }
  return nullptr;
}

std::span<const StatementKind> StatementKindsOf(StatementFamily family) {
  auto inFamily = [&](const StatementKind& kind) { return kind.family == family; };
  const StatementKind* first =
      std::find_if(std::begin(kStatementKinds), std::end(kStatementKinds), inFamily);
  const StatementKind* last = std::find_if_not(first, std::end(kStatementKinds), inFamily);
  return {first, last};
}

bool IsBodyKeyword(std::string_view word) {
  if (EqualsNoCase(word, "When") || EqualsNoCase(word, "Always")) return true;
  return std::any_of(std::begin(kStatementKinds), std::end(kStatementKinds),
                     [&](const StatementKind& kind) { return EqualsNoCase(kind.typeName, word); });
}

}  // namespace qelc
