#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "formats/lexicon.h"
#include "formats/table_block.h"
#include "formats/text_limits.h"

// What the two languages are made of, stated once: each DAF section keyword
// and each IPF block with the table or record list it fills, its shape, its
// capacities (the sizes of the arrays of table_block.h, never typed again),
// the longest texts its rules take, its part of the manual, and the names a
// reader of the compiled file knows its rows and fields by. The section
// registry, the decompiler, the language server and the report iterate it.

namespace qelc {

// How a section's body is laid out, and so how it is read and written back.
enum class SectionShape {
  kSkipped,            // free text, nothing stored (StringQuote)
  kConditionalRows,    // `When c :` blocks of rows
  kList,               // entries, one after the other
  kNumberedTable,      // `number : text` rows
  kConditionalList,    // `When c :` blocks of words
  kStatementBlocks,    // `Always`/`When` blocks of words and statements
  kConditionalGroups,  // `When c :` blocks of named groups with statements
  kNamedStatements,    // named statement lists
  kPinGroups,          // pin names with `if`/`else` branches of categories
  kMemoryMaps,         // `When c :` blocks of maps of ranges
};

// One capacity of a table: the slots of one of its arrays, and how many of
// them a source can fill.
struct Capacity {
  std::string_view counted;    // in the manual's words: "`When` blocks", "rows per block"
  int32_t slots;               // the array's size
  int32_t shortBy = 0;         // slots the rule never reaches: part of the file format
  bool closedByEmpty = false;  // the list ends with an empty entry inside the limit

  // The first index the rule's Add operation refuses.
  constexpr int32_t Limit() const { return slots - shortBy; }
  // How many entries a source can write.
  constexpr int32_t Usable() const { return Limit() - (closedByEmpty ? 1 : 0); }
};

// The longest text of one kind that a section takes.
struct TextLimit {
  std::string_view text;  // in the manual's words
  int longest;
};

// A field of a table's records as a reader of the file knows it. `path` names
// the field below one record of the table, as the field map does
// (`rows.package`, `condition`); a list's own name stands for its elements
// (`rows`: the pin rows, named "pins"). The key fields of a nested list tell
// its rows apart within the record that holds it.
struct FieldName {
  std::string_view path;
  std::string_view name;  // in the source's words
  bool key = false;       // one of the fields that tell a row from the others
  // What the value means belongs to the tools that load the file: the
  // compiler stores it as written.
  bool loaderMeaning = false;
};

struct SectionEntry {
  std::string_view keyword;
  std::string_view table;  // the member of TableBlock it fills; empty for none
  size_t offset;           // of that member in the block; 0 for none
  SectionShape shape;
  std::string_view heading;              // a heading for the table, in the source's words
  std::string_view about;                // one line of Markdown: what it fills and how a row reads
  std::string_view anchor;               // its part of docs/daf.md
  std::span<const Capacity> capacities;  // outermost first
  std::span<const TextLimit> limits;     // beside the shared ones of every section
  std::span<const FieldName> fields;
  // An `Always :` block may stand first, stored under the condition "1".
  bool alwaysFirst = false;
  // The table that must be read before this section (a Pin body tells type
  // categories by the TypeCategory table); empty for none.
  std::string_view after = {};
};

// The data of the catalogue: read it through the functions below.
namespace catalogue_data {
using T = TableBlock;
using S = SectionShape;
namespace L = text_limit;

// A list that ends with an empty entry of its own keeps one slot free.
inline constexpr bool kClosed = true;

// Capacities, outermost first.
inline constexpr Capacity kPinNumberCapacity[] = {
    {"`When` blocks", EntriesOf(&T::pinNumbers), 0, kClosed},
    {"rows per block", EntriesOf(&PinNumberCondition::rows), 0, kClosed}};
inline constexpr Capacity kAliasCapacity[] = {{"`When` blocks", EntriesOf(&T::aliases)},
                                              {"rows per block", EntriesOf(&AliasCondition::rows)}};
inline constexpr Capacity kExtensionCapacity[] = {{"entries", EntriesOf(&T::extensions)}};
inline constexpr Capacity kTypeCategoryCapacity[] = {{"categories", EntriesOf(&T::typeCategories)}};
inline constexpr Capacity kTypeShortHandCapacity[] = {{"entries", EntriesOf(&T::typeShortHands)}};
inline constexpr Capacity kInitializeCapacity[] = {
    {"`When` blocks", EntriesOf(&T::initialize)},
    {"pins per block", EntriesOf(&InitializeCondition::rows)}};
inline constexpr Capacity kPrologCapacity[] = {{"entries", EntriesOf(&T::prolog)}};
inline constexpr Capacity kEpilogCapacity[] = {{"entries", EntriesOf(&T::epilog)}};
inline constexpr Capacity kGroupCapacity[] = {
    {"blocks", EntriesOf(&T::groups)},
    {"groups per block", EntriesOf(&GroupCondition::groups)},
    {"members per group", EntriesOf(&GroupRecord::members)}};
inline constexpr Capacity kOutputSyntaxCapacity[] = {{"entries", EntriesOf(&T::outputSyntaxes)}};
inline constexpr Capacity kPinCapacity[] = {
    {"groups", EntriesOf(&T::pinGroups)},
    {"pins per group", EntriesOf(&PinGroup::names)},
    {"branches per group", EntriesOf(&PinGroup::conditions)},
    {"categories per branch", EntriesOf(&PinCondition::categories)},
    {"selections per category", EntriesOf(&PinCategory::selections)}};
inline constexpr Capacity kTypeConversionCapacity[] = {{"rows", EntriesOf(&T::typeConversions)}};
inline constexpr Capacity kDeviceSpecificInfoTableCapacity[] = {
    {"rows", EntriesOf(&T::deviceSpecificInfoTable)}};
inline constexpr Capacity kHardwareSupportTableCapacity[] = {
    {"rows", EntriesOf(&T::hardwareSupportTable)}};
inline constexpr Capacity kPackageInfoTableCapacity[] = {{"rows", EntriesOf(&T::packageInfoTable)}};
inline constexpr Capacity kVoltageRangeTableCapacity[] = {
    {"rows", EntriesOf(&T::voltageRangeTable)}};

// A conditional list: its blocks and the words of each, both closed by an
// empty entry; `shortBy` slots of each are never reached.
template <auto Table>
inline constexpr Capacity kListCapacity[] = {
    {"blocks", EntriesOf(Table), 0, kClosed},
    {"words per block", ItemsOf(Table), 0, kClosed},
};
// QelConfig stops one short of its 40 records and 70 slots: part of the file
// format.
inline constexpr Capacity kQelConfigCapacity[] = {
    {"blocks", EntriesOf(&T::qelConfig), 1, kClosed},
    {"words per block", ItemsOf(&T::qelConfig), 1, kClosed},
};
// The memory maps stop one short of their records and of the maps of each:
// part of the file format.
inline constexpr Capacity kMemoryMapCapacity[] = {
    {"blocks", EntriesOf(&T::memoryMaps), 1},
    {"maps per block", EntriesOf(&MemoryMapCondition::maps), 1},
    {"ranges per map", EntriesOf(&MemoryMap::entries)},
};

inline constexpr TextLimit kSharedLimits[] = {{"a condition", L::kCondition},
                                              {"any other stored text", L::kStored}};
inline constexpr TextLimit kStatementLimits[] = {{"a statement's joined text", L::kStatement}};
inline constexpr TextLimit kMemoryMapLimits[] = {
    {"title", L::kMapTitle},
    {"description, joined", L::kMapDescription},
    {"main and secondary flash space", L::kMapFlashSpace},
    {"a label value or field 3, as written with its quotes", L::kMapToken},
    {"fields 1, 2, 4, 5, 6, 7 (field 3 without its quotes)", L::kMapEntryField},
    {"field 8", L::kMapLastField},
};

inline constexpr FieldName kPinNumberFields[] = {
    {"condition", "condition", true},  {"rows", "pins"},
    {"rows.package", "package", true}, {"rows.pinNumber", "pin", true},
    {"rows.reserved", "reserved"},     {"rows.name", "signal"},
};
inline constexpr FieldName kAliasFields[] = {
    {"condition", "condition", true},
    {"rows", "aliases"},
    {"rows.alias", "alias", true},
    {"rows.target", "pin"},
};
inline constexpr FieldName kExtensionFields[] = {
    {"first", "name", true, true},
    {"second", "value", false, true},
};
inline constexpr FieldName kTypeCategoryFields[] = {
    {"name", "category", true},
    {"value", "description", false, true},
};
inline constexpr FieldName kTypeShortHandFields[] = {
    {"code", "code", true},
    {"qualifiers", "qualifiers", false, true},
    {"name", "category"},
    {"value", "description", false, true},
};
inline constexpr FieldName kInitializeFields[] = {
    {"condition", "condition", true},
    {"rows", "pins"},
    {"rows.pin", "pin", true},
    {"rows.signal", "signal"},
    {"rows.changeable", "changeable"},
    {"rows.reserved", "reserved"},
    {"rows.reservedName", "reserved name"},
    {"rows.displayName", "display name"},
};
inline constexpr FieldName kStatementFields[] = {
    {"condition", "condition", true},
    {"statements.slots", "statements"},
    {"statements.slots.kind", "statement", true},
    {"statements.slots.text", "words", false, true},
};
inline constexpr FieldName kGroupFields[] = {
    {"condition", "condition", true},
    {"groups", "groups"},
    {"groups.name", "group", true},
    {"groups.text", "text", false, true},
    {"groups.members", "members"},
    {"groups.members.item", "item", true},
    {"groups.members.value", "value", false, true},
    {"groups.members.alternative", "alternative"},
    {"groups.statements.slots", "statements"},
    {"groups.statements.slots.kind", "statement", true},
    {"groups.statements.slots.text", "words", false, true},
};
inline constexpr FieldName kOutputSyntaxFields[] = {
    {"name", "signal kind", true},
    {"statements.slots", "statements"},
    {"statements.slots.kind", "statement", true},
    {"statements.slots.text", "words", false, true},
};
inline constexpr FieldName kPinFields[] = {
    {"names", "pins", true},
    {"conditions", "branches"},
    {"conditions.condition", "branch", true},
    {"conditions.categories", "categories"},
    {"conditions.categories.name", "category", true},
    {"conditions.categories.selections", "selections"},
};
inline constexpr FieldName kTypeConversionFields[] = {
    {"first", "from", true, true},
    {"second", "to", true, true},
    {"third", "third", false, true},
};
inline constexpr FieldName kNumberedFields[] = {
    {"number", "number", true, true},
    {"text", "text", false, true},
};
inline constexpr FieldName kConditionalListFields[] = {
    {"condition", "condition", true},
    {"items", "words", false, true},
};
inline constexpr FieldName kMemoryMapFields[] = {
    {"condition", "condition", true},
    {"maps", "maps"},
    {"maps.number", "map", true},
    {"maps.title", "title"},
    {"maps.description", "description"},
    {"maps.mainFlash", "main flash space", false, true},
    {"maps.secondaryFlash", "secondary flash space", false, true},
    {"maps.entries", "ranges"},
    {"maps.entries.fields[0]", "start", true, true},
    {"maps.entries.fields[1]", "end", false, true},
    {"maps.entries.fields[2]", "name", false, true},
    {"maps.entries.fields[3]", "access", false, true},
    {"maps.entries.fields[4]", "protection", false, true},
    {"maps.entries.fields[5]", "size", false, true},
    {"maps.entries.fields[6]", "use", false, true},
    {"maps.entries.fields[7]", "note", false, true},
};

inline constexpr SectionEntry kSections[] = {
    {"StringQuote",
     "",
     0,
     S::kSkipped,
     "Free text",
     "Fills nothing: free text for other tools, skipped to its closing brace.",
     "stringquote",
     {},
     {},
     {}},
    {"PinNumberByPackage",
     "pinNumbers",
     offsetof(T, pinNumbers),
     S::kConditionalRows,
     "Pin numbers by package",
     "Pin numbers per package, under conditions: rows `package : number [: 'name' | : RSV]`.",
     "pinnumberbypackage",
     kPinNumberCapacity,
     {},
     kPinNumberFields},
    {"Alias",
     "aliases",
     offsetof(T, aliases),
     S::kConditionalRows,
     "Aliases",
     "Other names of pins, under conditions: rows `alias : target`.",
     "alias",
     kAliasCapacity,
     {},
     kAliasFields},
    {"Extensions",
     "extensions",
     offsetof(T, extensions),
     S::kList,
     "Extensions",
     "Pairs of texts: `'text' : second`.",
     "extensions",
     kExtensionCapacity,
     {},
     kExtensionFields},
    {"TypeCategory",
     "typeCategories",
     offsetof(T, typeCategories),
     S::kList,
     "Type categories",
     "The categories a pin type is chosen in: `name = value`.",
     "typecategory",
     kTypeCategoryCapacity,
     {},
     kTypeCategoryFields},
    {"TypeShortHand",
     "typeShortHands",
     offsetof(T, typeShortHands),
     S::kList,
     "Type shorthands",
     "Numbered short names for type settings: `code : name [: qualifiers] = value`.",
     "typeshorthand",
     kTypeShortHandCapacity,
     {},
     kTypeShortHandFields},
    {"Initialize",
     "initialize",
     offsetof(T, initialize),
     S::kConditionalRows,
     "Initial pin settings",
     "The first settings of pins, under conditions: `pin.attribute = value ;`.",
     "initialize",
     kInitializeCapacity,
     {},
     kInitializeFields},
    {"DesignProlog", "prolog", offsetof(T, prolog), S::kStatementBlocks, "Design prolog",
     "Statements written before a design.", "designprolog-and-designepilog", kPrologCapacity,
     kStatementLimits, kStatementFields, true},
    {"DesignEpilog", "epilog", offsetof(T, epilog), S::kStatementBlocks, "Design epilog",
     "Statements written after a design.", "designprolog-and-designepilog", kEpilogCapacity,
     kStatementLimits, kStatementFields, true},
    {"Group", "groups", offsetof(T, groups), S::kConditionalGroups, "Groups",
     "Named groups of pins with their statements.", "group", kGroupCapacity, kStatementLimits,
     kGroupFields, true},
    {"OutputSyntax", "outputSyntaxes", offsetof(T, outputSyntaxes), S::kNamedStatements,
     "Output syntax", "How each kind of signal is written.", "outputsyntax", kOutputSyntaxCapacity,
     kStatementLimits, kOutputSyntaxFields},
    {"Pin",
     "pinGroups",
     offsetof(T, pinGroups),
     S::kPinGroups,
     "Pin types",
     "The type selections allowed for groups of pins.",
     "pin",
     kPinCapacity,
     {},
     kPinFields,
     false,
     "typeCategories"},
    {"TypeConversion",
     "typeConversions",
     offsetof(T, typeConversions),
     S::kList,
     "Type conversions",
     "Pin type conversions: `first : second [: third] ;`.",
     "typeconversion",
     kTypeConversionCapacity,
     {},
     kTypeConversionFields},
    {"DeviceSpecificInfoTable",
     "deviceSpecificInfoTable",
     offsetof(T, deviceSpecificInfoTable),
     S::kNumberedTable,
     "Device specific information rows",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kDeviceSpecificInfoTableCapacity,
     {},
     kNumberedFields},
    {"DeviceSpecificInfo",
     "deviceSpecificInfo",
     offsetof(T, deviceSpecificInfo),
     S::kConditionalList,
     "Device specific information",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::deviceSpecificInfo>,
     {},
     kConditionalListFields},
    {"HardwareSupportTable",
     "hardwareSupportTable",
     offsetof(T, hardwareSupportTable),
     S::kNumberedTable,
     "Hardware support rows",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kHardwareSupportTableCapacity,
     {},
     kNumberedFields},
    {"HardwareSupport",
     "hardwareSupport",
     offsetof(T, hardwareSupport),
     S::kConditionalList,
     "Hardware support",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::hardwareSupport>,
     {},
     kConditionalListFields},
    {"PackageInfoTable",
     "packageInfoTable",
     offsetof(T, packageInfoTable),
     S::kNumberedTable,
     "Packages",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kPackageInfoTableCapacity,
     {},
     kNumberedFields},
    {"VoltageRangeTable",
     "voltageRangeTable",
     offsetof(T, voltageRangeTable),
     S::kNumberedTable,
     "Voltage ranges",
     "Numbered texts: `number : 'text'`.",
     "numbered-tables",
     kVoltageRangeTableCapacity,
     {},
     kNumberedFields},
    {"TemplateLink",
     "templateLink",
     offsetof(T, templateLink),
     S::kConditionalList,
     "Template links",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::templateLink>,
     {},
     kConditionalListFields},
    {"CCodeFileName",
     "cCodeFileName",
     offsetof(T, cCodeFileName),
     S::kConditionalList,
     "C code files",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::cCodeFileName>,
     {},
     kConditionalListFields},
    {"CCodeExample",
     "cCodeExample",
     offsetof(T, cCodeExample),
     S::kConditionalList,
     "C code examples",
     "Lists of words under conditions.",
     "conditional-lists",
     kListCapacity<&T::cCodeExample>,
     {},
     kConditionalListFields},
    {"QelConfig",
     "qelConfig",
     offsetof(T, qelConfig),
     S::kConditionalList,
     "Configuration settings",
     "Lists of words under conditions, after an optional `Always :` block.",
     "conditional-lists",
     kQelConfigCapacity,
     {},
     kConditionalListFields,
     true},
    {"MemoryMap", "memoryMaps", offsetof(T, memoryMaps), S::kMemoryMaps, "Memory maps",
     "Memory maps and their address ranges, under conditions.", "memorymap", kMemoryMapCapacity,
     kMemoryMapLimits, kMemoryMapFields, true},
};

}  // namespace catalogue_data

// The limits every DAF section shares.
constexpr std::span<const TextLimit> DafSharedLimits() { return catalogue_data::kSharedLimits; }

// The DAF sections, in the order the compiler compares their keywords (that of
// the table block, StringQuote first).
constexpr std::span<const SectionEntry> DafSections() { return catalogue_data::kSections; }

// The section that fills the table at `offset` in the table block: what the
// section registry pairs its rules with.
constexpr const SectionEntry& DafSectionAt(size_t offset) {
  for (const SectionEntry& section : catalogue_data::kSections) {
    if (section.offset == offset) return section;
  }
  throw "no section fills a table at this offset";
}
// The section whose keyword is `keyword` (letter case aside), or null.
const SectionEntry* FindDafSection(std::string_view keyword);

// Calls visit(section, table...) for each table of the blocks, in block
// order: the catalogue's entry of the section that fills it, and the table of
// each block (a TableBlock, const or not).
template <typename Visit, typename... Blocks>
void ForEachTable(Visit&& visit, Blocks&... blocks) {
#define QELC_TABLE(member) visit(DafSectionAt(offsetof(TableBlock, member)), blocks.member...)
  QELC_TABLE(pinNumbers);
  QELC_TABLE(aliases);
  QELC_TABLE(extensions);
  QELC_TABLE(typeCategories);
  QELC_TABLE(typeShortHands);
  QELC_TABLE(initialize);
  QELC_TABLE(prolog);
  QELC_TABLE(epilog);
  QELC_TABLE(groups);
  QELC_TABLE(outputSyntaxes);
  QELC_TABLE(pinGroups);
  QELC_TABLE(typeConversions);
  QELC_TABLE(deviceSpecificInfoTable);
  QELC_TABLE(deviceSpecificInfo);
  QELC_TABLE(hardwareSupportTable);
  QELC_TABLE(hardwareSupport);
  QELC_TABLE(packageInfoTable);
  QELC_TABLE(voltageRangeTable);
  QELC_TABLE(templateLink);
  QELC_TABLE(cCodeFileName);
  QELC_TABLE(cCodeExample);
  QELC_TABLE(qelConfig);
  QELC_TABLE(memoryMaps);
#undef QELC_TABLE
}

// The IPF blocks: SoftIPCategory, then the blocks of a module.
struct IpfBlockEntry {
  std::string_view keyword;
  std::string_view list;  // the record list it fills (as the IPB layout names it)
  std::string_view heading;
  std::string_view about;
  std::string_view anchor;  // its part of docs/ipf.md
  std::span<const TextLimit> limits;
  std::span<const FieldName> fields;
};

namespace catalogue_data {
inline constexpr TextLimit kCategoryLimits[] = {{"category name, value", L::kCategoryText}};
inline constexpr TextLimit kModuleLimits[] = {{"module name, `Module` text", L::kModuleText}};
inline constexpr TextLimit kPortLimits[] = {{"port texts 1, 2, 4, 5, 6", L::kModuleText},
                                            {"port text3", L::kPortText3}};
inline constexpr TextLimit kDeclarationLimits[] = {{"declaration texts", L::kModuleText}};
inline constexpr TextLimit kBusExtNameLimits[] = {{"bus extension name", L::kBusExtName}};
inline constexpr TextLimit kMacroLimits[] = {
    {"macro parameter", L::kMacroParameter},
    {"the statements of one macro statement line, joined", L::kMacroStatement},
    {"a `_when` condition", L::kCondition}};
inline constexpr TextLimit kEquationLimits[] = {{"equation parameter", L::kModuleText}};

inline constexpr FieldName kCategoryFields[] = {
    {"number", "number", true}, {"name", "name"}, {"value", "value"}};
inline constexpr FieldName kModuleFields[] = {{"name", "module", true},
                                              {"moduleName", "text", false, true},
                                              {"moduleNumber", "category number", false, true},
                                              {"macroParameters", "macro parameters", false, true}};
inline constexpr FieldName kPortFields[] = {
    {"text1", "port", true, true},       {"text2", "kind", false, true},
    {"text3", "direction", false, true}, {"text4", "width", false, true},
    {"number1", "number1", false, true}, {"number2", "number2", false, true},
    {"text5", "text5", false, true},     {"text6", "text6", false, true}};
inline constexpr FieldName kDeclarationFields[] = {{"text1", "kind", false, true},
                                                   {"text2", "signal", true, true},
                                                   {"text3", "width", false, true}};
inline constexpr FieldName kWordFields[] = {{"", "name", true, true}};
inline constexpr FieldName kParameterFields[] = {{"", "parameter", false, true}};
inline constexpr FieldName kMacroStatementFields[] = {{"condition", "condition", true},
                                                      {"statements", "statements", false, true}};

inline constexpr IpfBlockEntry kIpfBlocks[] = {
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

}  // namespace catalogue_data

constexpr std::span<const IpfBlockEntry> IpfBlocks() { return catalogue_data::kIpfBlocks; }

// The block that fills the record list `list` (as the IPB layout names it).
constexpr const IpfBlockEntry& IpfBlockOf(std::string_view list) {
  for (const IpfBlockEntry& block : catalogue_data::kIpfBlocks) {
    if (block.list == list) return block;
  }
  throw "no block fills this list";
}
const IpfBlockEntry* FindIpfBlock(std::string_view keyword);

// The statements of the three kinds of statement list. Within a family the
// kinds stand in the order their statements are read, dumped and written back.
enum class StatementFamily { kPrologEpilog, kGroup, kOutputSyntax };
struct StatementKind {
  const char* kindName;  // the name the parsers store a statement under
  const char* typeName;  // what the file stores as the kind; the keyword that opens it
  StatementFamily family;
};
// The kind stored for the words before the first keyword of a prolog or
// epilog block.
inline constexpr char kAlwaysStatementType[] = "Always";
// The kind of the slot after the last statement of a list.
inline constexpr char kStatementEndKind[] = "ZZZ";
// The word that opens the text of a statement marked `rev`.
inline constexpr char kReverseMark[] = "-!-!-!";
// The byte that follows each word of a statement text.
inline constexpr char kStatementWordEnd = '\x01';
// The words of a statement text (the last may lack its end byte).
std::vector<std::string_view> StatementTextWords(std::string_view text);
inline constexpr StatementKind kStatementKinds[] = {
    {"pAlways", kAlwaysStatementType, StatementFamily::kPrologEpilog},
    {"pPTerm", "PTerm", StatementFamily::kPrologEpilog},
    {"pDecl", "Decl", StatementFamily::kPrologEpilog},
    {"pEquation", "Equation", StatementFamily::kPrologEpilog},
    {"pPropertyTab", "PropertyTab", StatementFamily::kPrologEpilog},
    {"gDECL", "Decl", StatementFamily::kGroup},
    {"gEquation", "Equation", StatementFamily::kGroup},
    {"oDefaultSigName", "DefaultSigName", StatementFamily::kOutputSyntax},
    {"oDeclWOPinNum", "DeclWOPinNum", StatementFamily::kOutputSyntax},
    {"oDeclWithPinNum", "DeclWithPinNum", StatementFamily::kOutputSyntax},
    {"oDeclWOMainFlash", "DeclWOMainFlash", StatementFamily::kOutputSyntax},
    {"oDeclWMainFlash", "DeclWMainFlash", StatementFamily::kOutputSyntax},
    {"oEquation", "Equation", StatementFamily::kOutputSyntax},
    {"oEquationReq", "Equation_Req", StatementFamily::kOutputSyntax},
    {"oAction", "Action", StatementFamily::kOutputSyntax},
};
// The kinds of one family, in order.
std::span<const StatementKind> StatementKindsOf(StatementFamily family);

// The words that stand where a word of a section's body would, and end it:
// the clause words and the statement keywords (letter case aside).
bool IsBodyKeyword(std::string_view word);

}  // namespace qelc
