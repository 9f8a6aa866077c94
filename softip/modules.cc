#include "softip/modules.h"

#include <cstdio>
#include <string>
#include <utility>

#include "softip/library.h"
#include "source/ascii.h"
#include "source/condition.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/string_pool.h"

namespace qelc {

namespace {

using ParameterAdd = void (*)(SoftIPModule&, std::string_view);
using NameList = RecordList<StringRef> SoftIPModule::*;

// The condition of a macro statement line without _when.
constexpr std::string_view kAlways = "1";

bool AtEndOfInput() { return TokenText().empty(); }

// --- What the linter warns about ---------------------------------------------

const std::string_view kOutputEighthField = DeclareWarning(
    "output-eighth-field", true, "an eighth field on an Output line, which outputs do not keep");
const std::string_view kBraceAsName = DeclareWarning(
    "brace-as-name", true, "a '}' right after a BusExtName block's '{', taken as a name");
const std::string_view kModuleStatementRepeated = DeclareWarning(
    "module-statement-repeated", true, "a second Module statement, which replaces the first");

// A number field read from the current token as `value`.
void CheckNumberField(int32_t value) {
  if (Linting() && !IsWholeDecimal(TokenText())) {
    Warn(kNumberConversionCheck, Format("'%s' is not a whole number: %d is stored",
                                   TokenText().c_str(), value));
  }
}

// A list dump writes only the record just added while parsing, and every record
// when a decoded file is dumped.
enum class DumpMode { kNewestOnly = 0, kAllRecords = 1 };

// --- Dumps -----------------------------------------------------------------

// Calls `write` for the records a dump in `mode` covers.
template <typename T, typename Write>
void ForDumped(const RecordList<T>& list, DumpMode mode, Write write) {
  size_t first = mode == DumpMode::kNewestOnly && !list.Empty() ? list.Size() - 1 : 0;
  for (size_t i = first; i < list.Size(); ++i) write(list.At(i));
}

const char* Text(StringRef ref) { return PoolString(ref); }

void DumpModuleHeader(const SoftIPModule& module) { Dump("\n<%s>\n", Text(module.name)); }

void DumpModuleStatement(const SoftIPModule& module) {
  Dump("\tModule :\n");
  Dump("\t\t<%s> : <%d>\n", Text(module.moduleName), module.moduleNumber);
}

void DumpHeading(const std::string& text) { Dump("\t%s :\n", text.c_str()); }

void DumpPorts(const SoftIPModule& module, PortKind kind, DumpMode mode) {
  if (kind == PortKind::kInput) {
    ForDumped(module.inputs, mode, [](const SoftIPInput& p) {
      Dump("\t\t<%s>:<%s>:<%s>:<%s>:<%d>:<%d>:<%s>:<%s>\n", Text(p.text1), Text(p.text2),
           Text(p.text3), Text(p.text4), p.number1, p.number2, Text(p.text5), Text(p.text6));
    });
  } else {
    ForDumped(module.outputs, mode, [](const SoftIPOutput& p) {
      Dump("\t\t<%s>:<%s>:<%s>:<%s>:<%d>:<%d>:<%s>\n", Text(p.text1), Text(p.text2),
           Text(p.text3), Text(p.text4), p.number1, p.number2, Text(p.text5));
    });
  }
}

void DumpDeclarations(const SoftIPModule& module, DumpMode mode) {
  ForDumped(module.declarations, mode, [](const SoftIPDeclaration& d) {
    Dump("\t\t<%s>:<%s>:<%s>\n", Text(d.text1), Text(d.text2), Text(d.text3));
  });
}

// Bus extension names, macro parameters and equation parameters.
void DumpNames(const RecordList<StringRef>& names, DumpMode mode) {
  ForDumped(names, mode, [](StringRef name) { Dump("\t\t<%s>\n", Text(name)); });
}

// The statement text ends with "\n", so the closing ">" starts a line of its own.
void DumpMacroStatements(const SoftIPModule& module, DumpMode mode) {
  ForDumped(module.macroStatements, mode, [](const SoftIPMacroStatement& s) {
    Dump("<%s>\n", Text(s.condition));
    Dump("<\n%s>\n", Text(s.statements));
  });
}

// --- Blocks ----------------------------------------------------------------

// Module -> 'Module' ':' '{' text ':' number ';' '}'
void ReadModuleStatement(SoftIPModule& module) {
  if (module.hasModuleStatement) {
    Warn(kModuleStatementRepeated, "a second Module statement replaces the first");
  }
  ExpectText("Module");
  ExpectText(":");
  ExpectText("{");
  std::string text = TakeWord(kModuleTextLimit);
  ExpectText(":");
  int32_t number = ModuleNumber(TokenText());
  if (Linting() && (!IsWholeDecimal(TokenText()) || SignedDecimalValue(TokenText()) != number)) {
    Warn(kNumberConversionCheck, Format("module number '%s' is stored in 8 bits as %d",
                                   TokenText().c_str(), number));
  }
  SkipToken();
  ExpectText(";");
  SetModuleStatement(module, text, number);
  DumpModuleStatement(module);
  ExpectText("}");
}

// number-part -> ':' | number [':']      an empty field counts 1
int32_t TakeNumberField() {
  if (SkipIf(":")) return 1;
  int32_t number = SignedDecimalValue(TokenText());
  CheckNumberField(number);
  SkipToken();
  SkipIf(":");
  return number;
}

// text5-part -> ':' | text [':']
std::string TakeTextField() {
  if (SkipIf(":")) return "";
  std::string text = TakeWord(kModuleTextLimit);
  SkipIf(":");
  return text;
}

// port-line -> text1 ':' text2 ':' text3 ':' text4 ':'
//              [ number1-part [ number2-part [ text5-part [ text6 ] ] ] ] ';'
void ReadPortLine(SoftIPModule& module, PortKind kind) {
  std::string text1 = TakeWord(kModuleTextLimit);
  ExpectText(":");
  std::string text2 = TakeWord(kModuleTextLimit);
  ExpectText(":");
  std::string text3 = TakeWord(kPortText3Limit);
  ExpectText(":");
  std::string text4 = TakeWord(kModuleTextLimit);
  ExpectText(":");
  // The optional fields end at the first ";"; once it is the current token every
  // later test sees it too.
  int32_t number1 = 0;
  int32_t number2 = 0;
  std::string text5;
  std::string text6;
  if (!TokenIs(";")) number1 = TakeNumberField();
  if (!TokenIs(";")) number2 = TakeNumberField();
  if (!TokenIs(";")) text5 = TakeTextField();
  if (!TokenIs(";")) {
    if (kind == PortKind::kOutput && Linting()) {
      Warn(kOutputEighthField, "an Output line keeps seven fields: the eighth, " +
                                   QuotedToken() + ", is dropped");
    }
    text6 = TakeWord(kModuleTextLimit);
  }
  AddPort(module, kind, {text1, text2, text3, text4, number1, number2, text5, text6});
  DumpPorts(module, kind, DumpMode::kNewestOnly);
  ExpectText(";");
}

// Input | Output -> keyword ':' '{' port-line+ '}'
void ReadPortBlock(SoftIPModule& module, PortKind kind) {
  // The heading is the fixed kind, whatever case the source used.
  DumpHeading(kind == PortKind::kInput ? "Input" : "Output");
  SkipToken();
  ExpectText(":");
  ExpectText("{");
  do {
    ReadPortLine(module, kind);
  } while (!TokenIs("}"));
  ExpectText("}");
}

// The opening of a block whose heading repeats its keyword as written.
void OpenNamedBlock() {
  DumpHeading(TokenText());
  SkipToken();
  ExpectText(":");
  ExpectText("{");
}

// Declaration -> keyword ':' '{' ( text1 ':' text2 ':' text3 ';' )+ '}'
void ReadDeclarationBlock(SoftIPModule& module) {
  OpenNamedBlock();
  do {
    std::string text1 = TakeWord(kModuleTextLimit);
    ExpectText(":");
    std::string text2 = TakeWord(kModuleTextLimit);
    ExpectText(":");
    std::string text3 = TakeWord(kModuleTextLimit);
    ExpectText(";");
    AddDeclaration(module, text1, text2, text3);
    DumpDeclarations(module, DumpMode::kNewestOnly);
  } while (!TokenIs("}"));
  ExpectText("}");
}

// BusExtName -> keyword ':' '{' name+ '}'
// Every entry is taken whatever it is: a "}" right after "{" is a name.
void ReadBusExtNameBlock(SoftIPModule& module) {
  OpenNamedBlock();
  if (TokenIs("}")) {
    Warn(kBraceAsName, "'}' right after '{' is taken as a name; the block runs on to the next '}'");
  }
  do {
    if (AtEndOfInput()) break;
    AddBusExtName(module, TakeWord(kBusExtNameLimit));
    DumpNames(module.busExtNames, DumpMode::kNewestOnly);
  } while (!TokenIs("}"));
  ExpectText("}");
}

// parameters -> ( parameter [','] )*      up to the ")"
void ReadParameters(SoftIPModule& module, int limit, ParameterAdd add, NameList list) {
  while (!TokenIs(")") && !AtEndOfInput()) {
    add(module, TakeWord(limit));
    DumpNames(module.*list, DumpMode::kNewestOnly);
    if (TokenIs(",")) SkipToken();
  }
}

// 'MacroName' '(' parameters ')'
void ReadMacroHead(SoftIPModule& module, int limit, ParameterAdd add, NameList list) {
  DumpHeading(TokenText());
  DumpHeading("\tParameter");
  SkipToken();
  ExpectText(":");
  ExpectText("{");
  ExpectText("MacroName");
  ExpectText("(");
  ReadParameters(module, limit, add, list);
  ExpectText(")");
}

// Appends one quoted statement, unquoted and followed by "\n". A line too long
// ends the run, so the text may be checked once it is joined.
void AppendStatement(std::string& statements) {
  CheckStatementQuotes(TokenText());
  statements += Unquote(TokenText());
  statements += '\n';
  CheckTextLength(statements, kMacroStatementLimit);
  SkipToken();
}

// statement-line -> [ '_when' condition ':' ] statement ( ',' statement )*
void ReadStatementLine(SoftIPModule& module) {
  std::string condition(kAlways);
  if (StartsWithNoCase(TokenText(), "_when")) {
    ReadSoftIPWhen();
    condition = ConditionText();
  }
  std::string statements;
  AppendStatement(statements);
  while (TokenIs(",")) {
    SkipToken();
    AppendStatement(statements);
  }
  AddMacroStatement(module, condition, statements);
  DumpMacroStatements(module, DumpMode::kNewestOnly);
}

// Macro -> keyword ':' '{' 'MacroName' '(' parameters ')' '{' statement-line* '}' '}'
void ReadMacroBlock(SoftIPModule& module) {
  ReadMacroHead(module, kMacroParameterLimit, AddMacroParameter, &SoftIPModule::macroParameters);
  ExpectText("{");
  DumpHeading("\tMacro statement");
  while (!TokenIs("}") && !AtEndOfInput()) ReadStatementLine(module);
  ExpectText("}");
  ExpectText("}");
}

// Equation -> keyword ':' '{' 'MacroName' '(' parameters ')' ';' '}'
void ReadEquationBlock(SoftIPModule& module) {
  ReadMacroHead(module, kModuleTextLimit, AddEquationParameter,
                 &SoftIPModule::equationParameters);
  ExpectText(";");
  ExpectText("}");
}

struct ModuleBlock {
  std::string_view keyword;
  void (*read)(SoftIPModule&);
};

// Tried in this order. Only the keyword's length is compared, so a word such as
// Inputs or Macros opens the block of its keyword.
constexpr ModuleBlock kModuleBlocks[] = {
    {"Module", ReadModuleStatement},
    {"Input", [](SoftIPModule& module) { ReadPortBlock(module, PortKind::kInput); }},
    {"Output", [](SoftIPModule& module) { ReadPortBlock(module, PortKind::kOutput); }},
    {"Declaration", ReadDeclarationBlock},
    {"BusExtName", ReadBusExtNameBlock},
    {"Macro", ReadMacroBlock},
    {"Equation", ReadEquationBlock},
};

const ModuleBlock* FindModuleBlock() {
  for (const ModuleBlock& block : kModuleBlocks) {
    if (!StartsWithNoCase(TokenText(), block.keyword)) continue;
    if (Linting() && TokenText().size() != block.keyword.size()) {
      Warn(kKeywordPrefixCheck, Format("'%s' is read as the keyword %.*s", TokenText().c_str(),
                                  int(block.keyword.size()), block.keyword.data()));
    }
    return &block;
  }
  return nullptr;
}

std::string NotAModuleBlock() {
  std::string known;
  for (const ModuleBlock& block : kModuleBlocks) {
    known += known.empty() ? "" : ", ";
    known += block.keyword;
  }
  return "expected a block of the module (" + known + ") or its closing '}', found " +
         QuotedToken();
}

// The fields an input and an output share, pooled in field order.
template <typename Port>
Port PoolPortFields(const PortLine& line) {
  Port port{};
  PoolAddTo(port.text1, line.text1);
  PoolAddTo(port.text2, line.text2);
  PoolAddTo(port.text3, line.text3);
  PoolAddTo(port.text4, line.text4);
  port.number1 = line.number1;
  port.number2 = line.number2;
  PoolAddTo(port.text5, line.text5);
  return port;
}

}  // namespace

void CheckStatementQuotes(std::string_view statement) {
  if (statement.empty() || (statement.front() == '\'' && statement.back() == '\'')) return;
  bool opened = statement.front() == '\'';
  const char* format = opened
                           ? "Line: %5d: Expecting single quote at the end of the statement.\n"
                           : "Line: %5d: Expecting single quote at the start of the statement.\n";
  ParseError(Format(format, LineCounter()), "statement-quotes",
             opened ? "a macro statement must end with a single quote"
                    : "a macro statement must start with a single quote");
}

void ReadSoftIPModule() {
  std::printf("Parsing Soft IP %s\n", TokenText().c_str());
  SoftIPModule module;
  SetModuleName(module, PeekWord(kModuleTextLimit));
  DumpModuleHeader(module);
  SkipToken();
  ExpectText("{");
  while (const ModuleBlock* block = FindModuleBlock()) block->read(module);
  // Any other token, the end of input included, is reported as a missing "}";
  // only a module that closes normally reaches the library.
  if (TokenIs("}")) AddModule(std::move(module));
  ExpectText("}", {"syntax", NotAModuleBlock});
}

void SetModuleName(SoftIPModule& module, std::string_view name) { PoolAddTo(module.name, name); }

void SetModuleStatement(SoftIPModule& module, std::string_view text, int32_t number) {
  PoolAddTo(module.moduleName, text);
  module.moduleNumber = number;
  module.hasModuleStatement = true;
}

void AddPort(SoftIPModule& module, PortKind kind, const PortLine& line) {
  if (kind == PortKind::kInput) {
    SoftIPInput input = PoolPortFields<SoftIPInput>(line);
    PoolAddTo(input.text6, line.text6);
    module.inputs.Append(input);
  } else {
    // An output line has no eighth field; a text6 that was read is dropped.
    module.outputs.Append(PoolPortFields<SoftIPOutput>(line));
  }
}

void AddDeclaration(SoftIPModule& module, std::string_view text1, std::string_view text2,
                    std::string_view text3) {
  SoftIPDeclaration declaration{};
  PoolAddTo(declaration.text1, text1);
  PoolAddTo(declaration.text2, text2);
  PoolAddTo(declaration.text3, text3);
  module.declarations.Append(declaration);
}

void AddBusExtName(SoftIPModule& module, std::string_view name) {
  module.busExtNames.Append(PoolAdd(name));
}

void AddMacroParameter(SoftIPModule& module, std::string_view parameter) {
  module.macroParameters.Append(PoolAdd(parameter));
}

void AddMacroStatement(SoftIPModule& module, std::string_view condition,
                       std::string_view statements) {
  SoftIPMacroStatement statement{};
  PoolAddTo(statement.condition, condition);
  PoolAddTo(statement.statements, statements);
  module.macroStatements.Append(statement);
}

void AddEquationParameter(SoftIPModule& module, std::string_view parameter) {
  module.equationParameters.Append(PoolAdd(parameter));
}

void AddModule(SoftIPModule module) {
  if (!module.hasModuleStatement) {
    PoolAddTo(module.moduleName, "");
    module.moduleNumber = 0;
  }
  Library().modules.Append(std::move(module));
}

int32_t ModuleNumber(std::string_view text) {
  return int8_t(uint8_t(uint32_t(SignedDecimalValue(text)) & 0xFF));
}

void DumpModule(const SoftIPModule& module) {
  DumpModuleHeader(module);
  DumpModuleStatement(module);
  DumpHeading("Input");
  DumpPorts(module, PortKind::kInput, DumpMode::kAllRecords);
  DumpHeading("Output");
  DumpPorts(module, PortKind::kOutput, DumpMode::kAllRecords);
  DumpHeading("Declaration");
  DumpDeclarations(module, DumpMode::kAllRecords);
  DumpHeading("BusExtName");
  DumpNames(module.busExtNames, DumpMode::kAllRecords);
  DumpHeading("Macro");
  DumpHeading("\tParameter");
  DumpNames(module.macroParameters, DumpMode::kAllRecords);
  DumpHeading("\tMacro statement");
  DumpMacroStatements(module, DumpMode::kAllRecords);
  DumpHeading("Equation");
  DumpHeading("\tParameter");
  DumpNames(module.equationParameters, DumpMode::kAllRecords);
}

}  // namespace qelc
