#include "formats/table_names.h"

namespace qelc {

namespace {

constexpr bool kTools = true;

constexpr std::string_view kByCondition[] = {"condition"};
constexpr ColumnName kConditionColumns[] = {{"condition", "condition"}};
constexpr ColumnName kStatementColumns[] = {{"condition", "condition"},
                                            {"statements.slots", "statements"}};
constexpr ColumnName kSlotColumns[] = {{"kind", "kind"}, {"text", "text"}};
constexpr ColumnName kItemColumns[] = {{"condition", "condition"}, {"items", "words", kTools}};
constexpr std::string_view kByNumber[] = {"number"};
constexpr ColumnName kNumberedColumns[] = {{"number", "number", kTools}, {"text", "text", kTools}};

constexpr std::string_view kPinKey[] = {"package", "pinNumber"};
constexpr ColumnName kPinColumns[] = {
    {"package", "package"}, {"pinNumber", "pin"}, {"reserved", "reserved"}, {"name", "name"}};
constexpr std::string_view kAliasKey[] = {"alias"};
constexpr ColumnName kAliasColumns[] = {{"alias", "alias"}, {"target", "pin"}};
constexpr std::string_view kExtensionKey[] = {"first"};
constexpr ColumnName kExtensionColumns[] = {{"first", "first text", kTools},
                                            {"second", "second text", kTools}};
constexpr std::string_view kByName[] = {"name"};
constexpr ColumnName kCategoryColumns[] = {{"name", "name"}, {"value", "value"}};
constexpr std::string_view kShortHandKey[] = {"code"};
constexpr ColumnName kShortHandColumns[] = {
    {"code", "code"}, {"qualifiers", "qualifiers"}, {"name", "name"}, {"value", "value", kTools}};
constexpr std::string_view kInitializeKey[] = {"pin"};
// The attribute words of the source's lines.
constexpr ColumnName kInitializeColumns[] = {
    {"pin", "pin"},           {"signal", "name"},          {"changeable", "nchange"},
    {"reserved", "reserved"}, {"reservedName", "reserve"}, {"displayName", "displayname"}};
constexpr ColumnName kGroupColumns[] = {
    {"name", "group"}, {"text", "text"}, {"statements.slots", "statements"}};
constexpr std::string_view kMemberKey[] = {"item", "alternative"};
constexpr ColumnName kMemberColumns[] = {
    {"item", "item"}, {"value", "value"}, {"alternative", "choice"}};
constexpr ColumnName kOutputSyntaxColumns[] = {{"name", "name"},
                                               {"statements.slots", "statements", kTools}};
constexpr std::string_view kPinGroupKey[] = {"names"};
constexpr ColumnName kPinGroupColumns[] = {{"names", "pins"}};
constexpr ColumnName kPinCategoryColumns[] = {{"name", "category"}, {"selections", "selections"}};
constexpr std::string_view kConversionKey[] = {"first", "third"};
constexpr ColumnName kConversionColumns[] = {
    {"first", "from"}, {"second", "to"}, {"third", "category"}};
constexpr ColumnName kMapColumns[] = {{"number", "number"},
                                      {"title", "title"},
                                      {"description", "description"},
                                      {"mainFlash", "main", kTools},
                                      {"secondaryFlash", "secondary", kTools}};
constexpr std::string_view kRangeKey[] = {"fields[0]"};
// The fields of a range as the example device writes them.
constexpr ColumnName kRangeColumns[] = {
    {"fields[0]", "start", kTools},      {"fields[1]", "end", kTools},
    {"fields[2]", "name", kTools},       {"fields[3]", "access", kTools},
    {"fields[4]", "protection", kTools}, {"fields[5]", "size", kTools},
    {"fields[6]", "use", kTools},        {"fields[7]", "note", kTools}};

constexpr ListNames kDabLists[] = {
    {"pinNumbers", "PinNumberByPackage", kByCondition, "condition", "", kConditionColumns},
    {"pinNumbers.rows", "pins", kPinKey, "package", "", kPinColumns},
    {"aliases", "Alias", kByCondition, "condition", "", kConditionColumns},
    {"aliases.rows", "aliases", kAliasKey, "alias", "", kAliasColumns},
    {"extensions", "Extensions", kExtensionKey, "first", "", kExtensionColumns},
    {"typeCategories", "TypeCategory", kByName, "name", "", kCategoryColumns},
    {"typeShortHands", "TypeShortHand", kShortHandKey, "name", "", kShortHandColumns},
    {"initialize", "Initialize", kByCondition, "condition", "", kConditionColumns},
    {"initialize.rows", "pins", kInitializeKey, "pin", "", kInitializeColumns},
    {"prolog", "DesignProlog", kByCondition, "condition", "", kStatementColumns},
    {"prolog.statements.slots", "statements", {}, "kind", "ZZZ", kSlotColumns, true},
    {"epilog", "DesignEpilog", kByCondition, "condition", "", kStatementColumns},
    {"epilog.statements.slots", "statements", {}, "kind", "ZZZ", kSlotColumns, true},
    {"groups", "Group", kByCondition, "condition", "", kConditionColumns},
    {"groups.groups", "groups", kByName, "name", "", kGroupColumns},
    {"groups.groups.members", "members", kMemberKey, "item", "", kMemberColumns},
    {"groups.groups.statements.slots", "statements", {}, "kind", "ZZZ", kSlotColumns, true},
    {"outputSyntaxes", "OutputSyntax", kByName, "name", "", kOutputSyntaxColumns},
    {"outputSyntaxes.statements.slots", "statements", {}, "kind", "ZZZ", kSlotColumns, true},
    {"pinGroups", "Pin", kPinGroupKey, "names[0]", "", kPinGroupColumns},
    {"pinGroups.conditions", "branches", kByCondition, "condition", "", kConditionColumns},
    {"pinGroups.conditions.categories", "categories", kByName, "name", "", kPinCategoryColumns},
    {"typeConversions", "TypeConversion", kConversionKey, "first", "", kConversionColumns},
    {"deviceSpecificInfoTable", "DeviceSpecificInfoTable", kByNumber, "text", "", kNumberedColumns},
    {"deviceSpecificInfo", "DeviceSpecificInfo", kByCondition, "condition", "", kItemColumns},
    {"hardwareSupportTable", "HardwareSupportTable", kByNumber, "text", "", kNumberedColumns},
    {"hardwareSupport", "HardwareSupport", kByCondition, "condition", "", kItemColumns},
    {"packageInfoTable", "PackageInfoTable", kByNumber, "text", "", kNumberedColumns},
    {"voltageRangeTable", "VoltageRangeTable", kByNumber, "text", "", kNumberedColumns},
    {"templateLink", "TemplateLink", kByCondition, "condition", "", kItemColumns},
    {"cCodeFileName", "CCodeFileName", kByCondition, "condition", "", kItemColumns},
    {"cCodeExample", "CCodeExample", kByCondition, "condition", "", kItemColumns},
    {"qelConfig", "QelConfig", kByCondition, "condition", "", kItemColumns},
    {"memoryMaps", "MemoryMap", kByCondition, "condition", "", kConditionColumns},
    {"memoryMaps.maps", "maps", kByNumber, "number", "-1", kMapColumns},
    {"memoryMaps.maps.entries", "ranges", kRangeKey, "fields[0]", "", kRangeColumns},
};

constexpr ColumnName kSoftIpCategoryColumns[] = {
    {"number", "number"}, {"name", "name"}, {"value", "value"}};
constexpr ColumnName kModuleColumns[] = {{"name", "module"},
                                         {"moduleName", "Module text", kTools},
                                         {"moduleNumber", "Module number", kTools},
                                         {"busExtNames", "BusExtName", kTools},
                                         {"macroParameters", "macro parameters"},
                                         {"equationParameters", "equation parameters"}};
constexpr std::string_view kByPort[] = {"text1"};
// The fields of a port as the example library writes them.
constexpr ColumnName kPortColumns[] = {
    {"text1", "port", kTools},   {"text2", "kind", kTools},       {"text3", "direction", kTools},
    {"text4", "width", kTools},  {"number1", "number 1", kTools}, {"number2", "number 2", kTools},
    {"text5", "text 5", kTools}, {"text6", "text 6", kTools}};
constexpr std::string_view kDeclarationKey[] = {"text2"};
constexpr ColumnName kDeclarationColumns[] = {
    {"text1", "kind", kTools}, {"text2", "signal", kTools}, {"text3", "width", kTools}};
constexpr ColumnName kMacroColumns[] = {{"condition", "condition"}, {"statements", "statements"}};

constexpr ListNames kIpbLists[] = {
    {"categories", "SoftIPCategory", kByName, "", "", kSoftIpCategoryColumns},
    {"modules", "modules", kByName, "", "", kModuleColumns},
    {"modules.inputs", "Input", kByPort, "", "", kPortColumns},
    {"modules.outputs", "Output", kByPort, "", "", kPortColumns},
    {"modules.declarations", "Declaration", kDeclarationKey, "", "", kDeclarationColumns},
    {"modules.macroStatements", "Macro", kByCondition, "", "", kMacroColumns},
};

}  // namespace

std::span<const ListNames> DabListNames() { return kDabLists; }

std::span<const ListNames> IpbListNames() { return kIpbLists; }

const ListNames* FindListNames(std::span<const ListNames> lists, std::string_view path) {
  for (const ListNames& list : lists) {
    if (list.path == path) return &list;
  }
  return nullptr;
}

const ColumnName* FindColumn(const ListNames& list, std::string_view field) {
  for (const ColumnName& column : list.columns) {
    if (column.field == field) return &column;
  }
  return nullptr;
}

}  // namespace qelc
