#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/lexicon.h"
#include "formats/table_block.h"

// What the two languages are made of, stated once: each DAF section keyword
// and each IPF block with the table or record list it fills, its shape, its
// capacities (the sizes of the arrays of table_block.h, never typed again),
// the longest texts its rules take, its part of the manual, and the names a
// reader of the compiled file knows its rows and fields by. The section
// registry, the decompiler, the language server and the report iterate it.

namespace qelc {

// The longest texts the rules take, each measured as the rule measures it
// (see the Limits part of docs/daf.md and docs/ipf.md).
namespace text_limit {
// Any other text a DAF section stores or joins word by word.
inline constexpr int kStored = 255;
inline constexpr int kCondition = int(kConditionLimit);
// A statement's words joined.
inline constexpr int kStatement = 31999;
// Memory map texts.
inline constexpr int kMapEntryField = 51;  // range fields 1 to 7 (field 3 unquoted)
inline constexpr int kMapLastField = 99;   // range field 8
inline constexpr int kMapToken = 119;      // a header value or field 3, as written
inline constexpr int kMapTitle = 127;
inline constexpr int kMapDescription = 511;  // joined
inline constexpr int kMapFlashSpace = 31;
// Soft-IP texts.
inline constexpr int kCategoryText = 99;      // a category's name and value
inline constexpr int kModuleText = 127;       // module texts, port texts but text3
inline constexpr int kPortText3 = 11;         // a port's text3
inline constexpr int kBusExtName = 511;       // one bus extension name
inline constexpr int kMacroParameter = 63;    // one macro parameter
inline constexpr int kMacroStatement = 2047;  // one macro statement line, joined
}  // namespace text_limit

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
// (`rows.package`, `condition`); a list's own name stands for its elements.
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
  SectionShape shape;
  std::string_view heading;              // a heading for the table, in the source's words
  std::string_view about;                // one line of Markdown: what it fills and how a row reads
  std::string_view anchor;               // its part of docs/daf.md
  std::span<const Capacity> capacities;  // outermost first
  std::span<const TextLimit> limits;     // beside the shared ones of every section
  std::span<const FieldName> fields;
};

// The DAF sections, in the order the compiler compares their keywords (that of
// the table block, StringQuote first).
std::span<const SectionEntry> DafSections();
// The section whose keyword is `keyword` (letter case aside), or null.
const SectionEntry* FindDafSection(std::string_view keyword);
// The section that fills the table block's member `table`, or null.
const SectionEntry* DafSectionOfTable(std::string_view table);

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

std::span<const IpfBlockEntry> IpfBlocks();
const IpfBlockEntry* FindIpfBlock(std::string_view keyword);

// The statements of the three kinds of statement list. Within a family the
// kinds stand in the order their statements are read, dumped and written back.
enum class StatementFamily { kPrologEpilog, kGroup, kOutputSyntax };
struct StatementKind {
  std::string_view kindName;  // the name the parsers store a statement under
  std::string_view typeName;  // what the file stores as the kind; the keyword that opens it
  StatementFamily family;
};
// The kind stored for the words before the first keyword of a prolog or
// epilog block.
inline constexpr std::string_view kAlwaysStatementType = "Always";
// The kind of the slot after the last statement of a list.
inline constexpr std::string_view kStatementEndKind = "ZZZ";
// The word that opens the text of a statement marked `rev`.
inline constexpr std::string_view kReverseMark = "-!-!-!";
// The byte that follows each word of a statement text.
inline constexpr char kStatementWordEnd = '\x01';
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
