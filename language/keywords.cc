#include "language/keywords.h"

#include "source/ascii.h"

namespace qelc::language {

namespace {

constexpr Keyword kSections[] = {
    {"StringQuote", "Fills nothing: free text for other tools, skipped to its closing brace.",
     "stringquote"},
    {"PinNumberByPackage",
     "Pin numbers per package, under conditions: rows `package : number [: 'name' | : RSV]`.  \n"
     "Capacity: 9 `When` blocks, 149 rows per block.",
     "pinnumberbypackage"},
    {"Alias",
     "Other names of pins, under conditions: rows `alias : target`.  \n"
     "Capacity: 10 `When` blocks, 100 rows per block.",
     "alias"},
    {"Extensions", "Pairs of texts: `'text' : second`.  \nCapacity: 20 entries.", "extensions"},
    {"TypeCategory",
     "The categories a pin type is chosen in: `name = value`.  \nCapacity: 20 categories.",
     "typecategory"},
    {"TypeShortHand",
     "Numbered short names for type settings: `code : name [: qualifiers] = value`.  \n"
     "Capacity: 300 entries.",
     "typeshorthand"},
    {"Initialize",
     "The first settings of pins, under conditions: `pin.attribute = value ;`.  \n"
     "Capacity: 50 `When` blocks, 80 pins per block.",
     "initialize"},
    {"DesignProlog",
     "Statements written before a design.  \nCapacity: 20 entries (19 `When` blocks after an "
     "`Always` block).",
     "designprolog-and-designepilog"},
    {"DesignEpilog",
     "Statements written after a design.  \nCapacity: 20 entries (19 `When` blocks after an "
     "`Always` block).",
     "designprolog-and-designepilog"},
    {"Group",
     "Named groups of pins with their statements.  \n"
     "Capacity: 10 blocks, 40 groups per block, 100 members per group.",
     "group"},
    {"OutputSyntax", "How each kind of signal is written.  \nCapacity: 300 entries.",
     "outputsyntax"},
    {"Pin",
     "The type selections allowed for groups of pins.  \nCapacity: 150 groups, 16 pins per "
     "group, 10 branches per group, 20 categories per branch, 8 selections per category.",
     "pin"},
    {"TypeConversion", "Pin type conversions: `first : second [: third] ;`.  \nCapacity: 50 rows.",
     "typeconversion"},
    {"DeviceSpecificInfoTable", "Numbered texts: `number : 'text'`.  \nCapacity: 30 rows.",
     "numbered-tables"},
    {"HardwareSupportTable", "Numbered texts: `number : 'text'`.  \nCapacity: 5 rows.",
     "numbered-tables"},
    {"PackageInfoTable", "Numbered texts: `number : 'text'`.  \nCapacity: 20 rows.",
     "numbered-tables"},
    {"VoltageRangeTable", "Numbered texts: `number : 'text'`.  \nCapacity: 10 rows.",
     "numbered-tables"},
    {"DeviceSpecificInfo",
     "Lists of words under conditions.  \nCapacity: 29 blocks, 29 words per block.",
     "conditional-lists"},
    {"HardwareSupport",
     "Lists of words under conditions.  \nCapacity: 29 blocks, 4 words per block.",
     "conditional-lists"},
    {"TemplateLink", "Lists of words under conditions.  \nCapacity: 29 blocks, 9 words per block.",
     "conditional-lists"},
    {"CCodeFileName", "Lists of words under conditions.  \nCapacity: 99 blocks, 2 words per block.",
     "conditional-lists"},
    {"CCodeExample", "Lists of words under conditions.  \nCapacity: 19 blocks, 29 words per block.",
     "conditional-lists"},
    {"QelConfig",
     "Lists of words under conditions, after an optional `Always :` block.  \n"
     "Capacity: 38 blocks (the `Always` block counts), 68 words per block.",
     "conditional-lists"},
    {"MemoryMap",
     "Memory maps and their address ranges, under conditions.  \n"
     "Capacity: 19 blocks, 9 maps per block, 30 ranges per map.",
     "memorymap"},
};

constexpr Keyword kVariables[] = {
    {"GLC", "Condition variable `GLC`.", "conditions"},
    {"IPN", "Condition variable `IPN`.", "conditions"},
    {"PN", "Condition variable `PN`: the part number, may be indexed (`PN[3]`).", "conditions"},
    {"PACKAGE", "Condition variable `PACKAGE`: the device's package.", "conditions"},
    {"DEV", "Condition variable `DEV`: the device's name.", "conditions"},
    {"DEVBIN", "Condition variable `DEVBIN`.", "conditions"},
    {"DSI", "Condition variable `DSI`.", "conditions"},
    {"IN_NUM", "Condition variable `IN_NUM`: a number of inputs.", "conditions"},
    {"OUT_NUM", "Condition variable `OUT_NUM`: a number of outputs.", "conditions"},
};

constexpr Keyword kOperators[] = {
    {"is", "`variable is 'value'`: the variable has the value.", "conditions"},
    {"isnot", "`variable isnot 'value'`: the variable has another value.", "conditions"},
    {"isin", "`variable isin ['a' 'b']`: the variable has one of the values.", "conditions"},
    {"isnotin", "`variable isnotin ['a' 'b']`: the variable has none of the values.", "conditions"},
    {"and", "Both tests hold; binds tighter than `or`.", "conditions"},
    {"or", "Either test holds.", "conditions"},
};

constexpr Keyword kAttributes[] = {
    {"name", "The pin's signal name; `: RSV` after the value marks the pin reserved.",
     "initialize"},
    {"nchange", "Whether the pin may be changed: the value's leading digits.", "initialize"},
    {"PinEdit", "Whether the pin may be changed (as `nchange`).", "initialize"},
    {"reserve", "The pin's reserved name; marks the pin reserved.", "initialize"},
    {"displayname", "The name the pin is shown by.", "initialize"},
};

constexpr Keyword kSoftIp[] = {
    {"SoftIPCategory", "Soft-IP categories: entries `number : name = 'value'`.", "softipcategory"},
};

constexpr Keyword kModuleBlocks[] = {
    {"Module", "`Module : { text : number ; }`: the module's text and number.", "module"},
    {"Input", "Input ports: `text1 : text2 : text3 : text4 : [number1 [: number2 ...]] ;`.",
     "input-and-output"},
    {"Output", "Output ports, read as inputs, keeping the first seven fields.", "input-and-output"},
    {"Declaration", "Declarations: `text1 : text2 : text3 ;`.", "declaration"},
    {"BusExtName", "Bus extension names: words with no separator.", "busextname"},
    {"Macro", "`Macro : { MacroName ( parameters ) { statement lines } }`.", "macro"},
    {"Equation", "`Equation : { MacroName ( parameters ) ; }`.", "equation"},
};

}  // namespace

std::span<const Keyword> SectionKeywords() { return kSections; }
std::span<const Keyword> ConditionVariables() { return kVariables; }
std::span<const Keyword> ConditionOperators() { return kOperators; }
std::span<const Keyword> Attributes() { return kAttributes; }
std::span<const Keyword> SoftIpKeywords() { return kSoftIp; }
std::span<const Keyword> ModuleBlocks() { return kModuleBlocks; }

const Keyword* FindKeyword(std::span<const Keyword> list, std::string_view word) {
  for (const Keyword& keyword : list) {
    if (EqualsNoCase(keyword.word, word)) return &keyword;
  }
  return nullptr;
}

}  // namespace qelc::language
