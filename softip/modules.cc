#include "softip/modules.h"

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "softip/checks.h"
#include "softip/library.h"
#include "source/ascii.h"
#include "source/condition.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/recovery.h"
#include "source/suggest.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/string_pool.h"

namespace qelc {

namespace {

using ParameterAdd = void (*)(ParseState&, SoftIPModule&, std::string_view);
using NameList = RecordList<StringRef> SoftIPModule::*;

// The condition of a macro statement line without _when.
constexpr std::string_view kAlways = "1";

bool AtEndOfInput(ParseState& s) { return TokenText(s).empty(); }

// Where the linter resumes after an error in a line of a block: behind its ';'.
ResumeAt AfterSemicolon(const Parser& p) {
  return TokenIs(p, ";") ? ResumeAt::kAfter : ResumeAt::kNo;
}

// ... or, in a block of lines without an end mark, where the next line starts.
ResumeAt AtLineStart(const Parser& p) { return OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo; }

// --- What the linter warns about ---------------------------------------------

}  // namespace

const WarningCheck kOutputEighthField{
    "output-eighth-field", true, "an eighth field on an Output line, which outputs do not keep"};
const WarningCheck kBraceAsName{"brace-as-name", true,
                                "a '}' right after a BusExtName block's '{', taken as a name"};
const WarningCheck kModuleStatementRepeated{"module-statement-repeated", true,
                                            "a second Module statement, which replaces the first"};

namespace {

// A number field read from the current token as `value`.
void CheckNumberField(ParseState& s, int32_t value) {
  // A field read past a missing ';' is the next line's: its words say nothing.
  if (Linting(s) && !IsWholeDecimal(TokenText(s)) && s.cause.reach != CauseReach::kOnward) {
    Warn(s, kNumberConversionCheck,
         Format("'%s' is not a whole number: %d is stored", std::string(TokenText(s)).c_str(),
                value));
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

const char* Text(ParseState& s, StringRef ref) { return s.pool.String(ref); }

void DumpModuleHeader(ParseState& s, const SoftIPModule& module) {
  s.dump.Put<"\n<%s>\n">(Text(s, module.name));
}

void DumpModuleStatement(ParseState& s, const SoftIPModule& module) {
  s.dump.Put<"\tModule :\n">();
  s.dump.Put<"\t\t<%s> : <%d>\n">(Text(s, module.moduleName), module.moduleNumber);
}

void DumpHeading(ParseState& s, const std::string& text) { s.dump.Put<"\t%s :\n">(text.c_str()); }

void DumpPorts(ParseState& s, const SoftIPModule& module, PortKind kind, DumpMode mode) {
  if (kind == PortKind::kInput) {
    ForDumped(module.inputs, mode, [&](const SoftIPInput& p) {
      s.dump.PutPooled<"\t\t<%s>:<%s>:<%s>:<%s>:<%d>:<%d>:<%s>:<%s>\n">(
          Text(s, p.text1), Text(s, p.text2), Text(s, p.text3), Text(s, p.text4), p.number1,
          p.number2, Text(s, p.text5), Text(s, p.text6));
    });
  } else {
    ForDumped(module.outputs, mode, [&](const SoftIPOutput& p) {
      s.dump.PutPooled<"\t\t<%s>:<%s>:<%s>:<%s>:<%d>:<%d>:<%s>\n">(
          Text(s, p.text1), Text(s, p.text2), Text(s, p.text3), Text(s, p.text4), p.number1,
          p.number2, Text(s, p.text5));
    });
  }
}

void DumpDeclarations(ParseState& s, const SoftIPModule& module, DumpMode mode) {
  ForDumped(module.declarations, mode, [&](const SoftIPDeclaration& d) {
    s.dump.Put<"\t\t<%s>:<%s>:<%s>\n">(Text(s, d.text1), Text(s, d.text2), Text(s, d.text3));
  });
}

// Bus extension names, macro parameters and equation parameters.
void DumpNames(ParseState& s, const RecordList<StringRef>& names, DumpMode mode) {
  ForDumped(names, mode, [&](StringRef name) { s.dump.Put<"\t\t<%s>\n">(Text(s, name)); });
}

// The statement text ends with "\n", so the closing ">" starts a line of its
// own.
void DumpMacroStatements(ParseState& s, const SoftIPModule& module, DumpMode mode) {
  ForDumped(module.macroStatements, mode, [&](const SoftIPMacroStatement& statement) {
    s.dump.Put<"<%s>\n">(Text(s, statement.condition));
    s.dump.Put<"<\n%s>\n">(Text(s, statement.statements));
  });
}

// --- Blocks ----------------------------------------------------------------

// Module -> 'Module' ':' '{' text ':' number ';' '}'
void ReadModuleStatement(ParseState& s, SoftIPModule& module) {
  if (module.hasModuleStatement) {
    Warn(s, kModuleStatementRepeated, "a second Module statement replaces the first");
  }
  ExpectText(s, "Module");
  ExpectText(s, ":");
  ExpectText(s, "{");
  std::string text = TakeWord(s, kModuleTextLimit);
  ExpectText(s, ":");
  int32_t number = ModuleNumber(TokenText(s));
  if (Linting(s) && (!IsWholeDecimal(TokenText(s)) || SignedDecimalValue(TokenText(s)) != number)) {
    Warn(s, kNumberConversionCheck,
         Format("module number '%s' is stored in 8 bits as %d", std::string(TokenText(s)).c_str(),
                number));
  }
  SkipToken(s);
  ExpectText(s, ";");
  SetModuleStatement(s, module, text, number);
  DumpModuleStatement(s, module);
  ExpectText(s, "}");
}

// number-part -> ':' | number [':']      an empty field counts 1
int32_t TakeNumberField(ParseState& s) {
  if (SkipIf(s, ":")) return 1;
  int32_t number = SignedDecimalValue(TokenText(s));
  CheckNumberField(s, number);
  SkipToken(s);
  SkipIf(s, ":");
  return number;
}

// The texts last pooled for each text field of a port line (six): the lines of
// a block mostly repeat them.
using RecentPortTexts = std::array<StringPool::Recent, 6>;

// The fields an input and an output share; `pooled(field)` gives the
// reference of text field 0 to 5 and is called in field order.
template <typename Port, typename Pooled>
Port PortFields(int32_t number1, int32_t number2, Pooled& pooled) {
  Port port{};
  port.text1 = pooled(0);
  port.text2 = pooled(1);
  port.text3 = pooled(2);
  port.text4 = pooled(3);
  port.number1 = number1;
  port.number2 = number2;
  port.text5 = pooled(4);
  return port;
}

// Appends the port whose texts `pooled` gives; an output has no eighth field,
// and its text6 is not pooled.
template <typename Pooled>
void AppendPort(SoftIPModule& module, PortKind kind, int32_t number1, int32_t number2,
                Pooled pooled) {
  if (kind == PortKind::kInput) {
    SoftIPInput input = PortFields<SoftIPInput>(number1, number2, pooled);
    input.text6 = pooled(5);
    module.inputs.Append(input);
  } else {
    module.outputs.Append(PortFields<SoftIPOutput>(number1, number2, pooled));
  }
}

// A text field of a port line, taken before the rest of the line is read.
// Where an error ends the run, the text is pooled as it is taken, which spares
// a copy of it: nothing looks at the pool before the line is added, unless the
// run has ended. Where the linter recovers, a line given up must leave the pool
// as it was, so the text is kept and pooled with the line; so is a text that
// does not fit, whose "out of space" comes as the line is added, after
// whatever else is wrong with the line. A field not given is the empty text.
class PortText {
 public:
  // Takes the current token as the text, checked against `limit`.
  void Take(ParseState& s, int limit, StringPool::Recent& recent) {
    std::string_view text = PeekWord(s, limit);
    if (!s.diagnostics.Recovers()) ref_ = s.pool.AddRecentIfRoom(recent, text);
    if (ref_ < 0) kept_.assign(text);
    NextToken(s);
  }
  // The text's reference, pooled now where it was not yet.
  StringRef Pooled(ParseState& s, StringPool::Recent& recent) const {
    return ref_ >= 0 ? ref_ : s.pool.AddRecent(recent, kept_);
  }

 private:
  StringRef ref_ = -1;
  std::string kept_;
};

// text5-part -> ':' | text [':']
void TakeTextField(ParseState& s, PortText& text, StringPool::Recent& recent) {
  if (SkipIf(s, ":")) return;
  text.Take(s, kModuleTextLimit, recent);
  SkipIf(s, ":");
}

// While linting, before an optional field of a port line: a field that opens a
// line is most likely the first word of the next port line, read on because
// this one lacks its ';'. Whatever then fails in the port line is said at the
// end of the line before, once.
void NoteMissingSemicolon(ParseState& s) {
  if (!Linting(s) || s.cause.reach == CauseReach::kOnward) return;
  if (CurrentToken(s).start.line <= s.tokens.PreviousEnd().line || TokenText(s).empty()) return;
  NoteCause(s, s.tokens.PreviousEnd(), "missing ';' at the end of this port line",
            CauseReach::kOnward, ";");
}

// Drops the note of NoteMissingSemicolon once its port line is read or given up.
class PortLineCause {
 public:
  explicit PortLineCause(ParseState& s) : s_(s) {}
  ~PortLineCause() {
    if (s_.cause.reach == CauseReach::kOnward) s_.cause = {};
  }
  PortLineCause(const PortLineCause&) = delete;
  PortLineCause& operator=(const PortLineCause&) = delete;

 private:
  ParseState& s_;
};

// port-line -> text1 ':' text2 ':' text3 ':' text4 ':'
//              [ number1-part [ number2-part [ text5-part [ text6 ] ] ] ] ';'
void ReadPortLine(ParseState& s, SoftIPModule& module, PortKind kind, RecentPortTexts& recent) {
  PortLineCause missingSemicolon(s);
  PortText texts[6];
  texts[0].Take(s, kModuleTextLimit, recent[0]);
  ExpectText(s, ":");
  texts[1].Take(s, kModuleTextLimit, recent[1]);
  ExpectText(s, ":");
  texts[2].Take(s, kPortText3Limit, recent[2]);
  ExpectText(s, ":");
  texts[3].Take(s, kModuleTextLimit, recent[3]);
  ExpectText(s, ":");
  // The optional fields end at the first ";"; once it is the current token
  // every later test sees it too.
  int32_t number1 = 0;
  int32_t number2 = 0;
  auto moreFields = [&] {
    if (TokenIs(s, ";")) return false;
    NoteMissingSemicolon(s);
    return true;
  };
  if (moreFields()) number1 = TakeNumberField(s);
  if (moreFields()) number2 = TakeNumberField(s);
  if (moreFields()) TakeTextField(s, texts[4], recent[4]);
  if (moreFields()) {
    if (kind == PortKind::kInput) {
      texts[5].Take(s, kModuleTextLimit, recent[5]);
    } else {
      // An output line has no eighth field: a text6 is read and dropped.
      if (Linting(s) && s.cause.reach != CauseReach::kOnward) {
        Warn(s, kOutputEighthField,
             "an Output line keeps seven fields: the eighth, " + QuotedToken(s) + ", is dropped");
      }
      PeekWord(s, kModuleTextLimit);
      NextToken(s);
    }
  }
  AppendPort(module, kind, number1, number2,
             [&](int field) { return texts[field].Pooled(s, recent[field]); });
  DumpPorts(s, module, kind, DumpMode::kNewestOnly);
  ExpectText(s, ";");
}

// Input | Output -> keyword ':' '{' port-line+ '}'
void ReadPortBlock(ParseState& s, SoftIPModule& module, PortKind kind) {
  // The heading is the fixed kind, whatever case the source used.
  DumpHeading(s, kind == PortKind::kInput ? "Input" : "Output");
  SkipToken(s);
  ExpectText(s, ":");
  ExpectText(s, "{");
  RecentPortTexts recent;
  do {
    Recovering(s, AfterSemicolon, [&] { ReadPortLine(s, module, kind, recent); });
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
}

// The opening of a block whose heading repeats its keyword as written.
void OpenNamedBlock(ParseState& s) {
  DumpHeading(s, std::string(TokenText(s)));
  SkipToken(s);
  ExpectText(s, ":");
  ExpectText(s, "{");
}

// Declaration -> keyword ':' '{' ( text1 ':' text2 ':' text3 ';' )+ '}'
void ReadDeclarationBlock(ParseState& s, SoftIPModule& module) {
  OpenNamedBlock(s);
  do {
    Recovering(s, AfterSemicolon, [&] {
      std::string text1 = TakeWord(s, kModuleTextLimit);
      ExpectText(s, ":");
      std::string text2 = TakeWord(s, kModuleTextLimit);
      ExpectText(s, ":");
      std::string text3 = TakeWord(s, kModuleTextLimit);
      ExpectText(s, ";");
      AddDeclaration(s, module, text1, text2, text3);
      DumpDeclarations(s, module, DumpMode::kNewestOnly);
    });
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
}

// BusExtName -> keyword ':' '{' name+ '}'
// Every entry is taken whatever it is: a "}" right after "{" is a name.
void ReadBusExtNameBlock(ParseState& s, SoftIPModule& module) {
  OpenNamedBlock(s);
  if (TokenIs(s, "}")) {
    Warn(s, kBraceAsName,
         "'}' right after '{' is taken as a name; the block runs on to the "
         "next '}'");
  }
  do {
    if (AtEndOfInput(s)) break;
    AddBusExtName(s, module, TakeWord(s, kBusExtNameLimit));
    DumpNames(s, module.busExtNames, DumpMode::kNewestOnly);
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
}

// parameters -> ( parameter [','] )*      up to the ")"
void ReadParameters(ParseState& s, SoftIPModule& module, int limit, ParameterAdd add,
                    NameList list) {
  while (!TokenIs(s, ")") && !AtEndOfInput(s)) {
    add(s, module, TakeWord(s, limit));
    DumpNames(s, module.*list, DumpMode::kNewestOnly);
    if (TokenIs(s, ",")) SkipToken(s);
  }
}

// 'MacroName' '(' parameters ')'
void ReadMacroHead(ParseState& s, SoftIPModule& module, int limit, ParameterAdd add,
                   NameList list) {
  DumpHeading(s, std::string(TokenText(s)));
  DumpHeading(s, "\tParameter");
  SkipToken(s);
  ExpectText(s, ":");
  ExpectText(s, "{");
  ExpectText(s, "MacroName");
  ExpectText(s, "(");
  ReadParameters(s, module, limit, add, list);
  ExpectText(s, ")");
}

// Appends one quoted statement, unquoted and followed by "\n". A line too long
// ends the run, so the text may be checked once it is joined.
void AppendStatement(ParseState& s, std::string& statements) {
  CheckStatementQuotes(s, TokenText(s));
  statements += Unquote(TokenText(s));
  statements += '\n';
  CheckTextLength(s, statements, kMacroStatementLimit);
  SkipToken(s);
}

// statement-line -> [ '_when' condition ':' ] statement ( ',' statement )*
void ReadStatementLine(ParseState& s, SoftIPModule& module) {
  std::string condition(kAlways);
  if (StartsWithNoCase(TokenText(s), "_when")) {
    ReadSoftIPWhen(s);
    condition = s.condition;
  }
  std::string statements;
  AppendStatement(s, statements);
  while (TokenIs(s, ",")) {
    SkipToken(s);
    AppendStatement(s, statements);
  }
  AddMacroStatement(s, module, condition, statements);
  DumpMacroStatements(s, module, DumpMode::kNewestOnly);
}

// Macro -> keyword ':' '{' 'MacroName' '(' parameters ')' '{' statement-line*
// '}' '}'
void ReadMacroBlock(ParseState& s, SoftIPModule& module) {
  ReadMacroHead(s, module, kMacroParameterLimit, AddMacroParameter, &SoftIPModule::macroParameters);
  ExpectText(s, "{");
  DumpHeading(s, "\tMacro statement");
  while (!TokenIs(s, "}") && !AtEndOfInput(s)) {
    Recovering(s, AtLineStart, [&] { ReadStatementLine(s, module); });
  }
  ExpectText(s, "}");
  ExpectText(s, "}");
}

// Equation -> keyword ':' '{' 'MacroName' '(' parameters ')' ';' '}'
void ReadEquationBlock(ParseState& s, SoftIPModule& module) {
  ReadMacroHead(s, module, kModuleTextLimit, AddEquationParameter,
                &SoftIPModule::equationParameters);
  ExpectText(s, ";");
  ExpectText(s, "}");
}

struct ModuleBlock {
  std::string_view keyword;
  void (*read)(ParseState&, SoftIPModule&);
};

// Tried in this order. Only the keyword's length is compared, so a word such as
// Inputs or Macros opens the block of its keyword.
constexpr ModuleBlock kModuleBlocks[] = {
    {"Module", ReadModuleStatement},
    {"Input",
     [](ParseState& s, SoftIPModule& module) { ReadPortBlock(s, module, PortKind::kInput); }},
    {"Output",
     [](ParseState& s, SoftIPModule& module) { ReadPortBlock(s, module, PortKind::kOutput); }},
    {"Declaration", ReadDeclarationBlock},
    {"BusExtName", ReadBusExtNameBlock},
    {"Macro", ReadMacroBlock},
    {"Equation", ReadEquationBlock},
};

// The current word opens a block of a module (read by its keyword's length).
bool OpensModuleBlock(const Parser& p) {
  for (const ModuleBlock& block : kModuleBlocks) {
    if (StartsWithNoCase(TokenText(p), block.keyword)) return true;
  }
  return false;
}

const ModuleBlock* FindModuleBlock(ParseState& s) {
  for (const ModuleBlock& block : kModuleBlocks) {
    if (!StartsWithNoCase(TokenText(s), block.keyword)) continue;
    if (Linting(s) && TokenText(s).size() != block.keyword.size()) {
      Warn(s, kKeywordPrefixCheck,
           Format("'%s' is read as the keyword %.*s", std::string(TokenText(s)).c_str(),
                  int(block.keyword.size()), block.keyword.data()));
    }
    return &block;
  }
  return nullptr;
}

std::string NotAModuleBlock(const Parser& p) {
  std::string known;
  Suggestion suggestion(TokenText(p));
  for (const ModuleBlock& block : kModuleBlocks) {
    known += known.empty() ? "" : ", ";
    known += block.keyword;
    suggestion.Consider(block.keyword);
  }
  Propose(suggestion, p.diagnostics, CurrentToken(p).start);
  std::string text = "expected a block of the module (" + known + ") or its closing '}', found " +
                     QuotedToken(p) + suggestion.Text();
  // The module's name may be a misspelt keyword.
  if (CauseNotedHere(p)) text += "; " + p.cause.text;
  return text;
}

}  // namespace

void CheckStatementQuotes(ParseState& s, std::string_view statement) {
  if (statement.empty() || (statement.front() == '\'' && statement.back() == '\'')) return;
  bool opened = statement.front() == '\'';
  const char* format = opened ? "Line: %5d: Expecting single quote at the end of the statement.\n"
                              : "Line: %5d: Expecting single quote at the start of the "
                                "statement.\n";
  ParseError(s, Format(format, LineCounter(s)), "statement-quotes",
             opened ? "a macro statement must end with a single quote"
                    : "a macro statement must start with a single quote");
}

void ReadSoftIPModule(ParseState& s, SoftIPLibrary& library) {
  s.diagnostics.Print(MessageKind::kProgress,
                      "Parsing Soft IP " + std::string(TokenText(s)) + "\n");
  FactScope fact(s.facts, s.tokens, SectionKind::kModule);
  if (s.facts) s.facts->Define(NameKind::kModule, CurrentSpan(s), TokenText(s));
  SoftIPModule module;
  SetModuleName(s, module, PeekWord(s, kModuleTextLimit));
  DumpModuleHeader(s, module);
  std::string misspeltKeyword;
  if (Linting(s)) {
    Suggestion keyword(TokenText(s));
    keyword.Consider("SoftIPCategory");
    if (!keyword.Text().empty()) {
      misspeltKeyword = QuotedToken(s) + " was read as the name of a module" + keyword.Text();
    }
  }
  SkipToken(s);
  ExpectText(s, "{");
  if (!misspeltKeyword.empty()) NoteCause(s, CurrentToken(s).start, std::move(misspeltKeyword));
  // A block ends with its '}', or where the next block's keyword opens a line.
  auto atBlock = [](const Parser& p) {
    return OpensLine(p) && OpensModuleBlock(p) ? ResumeAt::kBefore : ResumeAt::kNo;
  };
  while (const ModuleBlock* block = FindModuleBlock(s)) {
    if (s.facts) s.facts->Keyword(KeywordKind::kModuleBlock, CurrentSpan(s), TokenText(s));
    Recovering(
        s, atBlock, [&] { block->read(s, module); }, true);
  }
  // Any other token, the end of input included, is reported as a missing "}";
  // only a module that closes normally reaches the library.
  if (TokenIs(s, "}")) AddModule(s, library, std::move(module));
  ExpectText(s, "}", {"syntax", NotAModuleBlock});
}

void SetModuleName(ParseState& s, SoftIPModule& module, std::string_view name) {
  s.pool.AddTo(module.name, name);
}

void SetModuleStatement(ParseState& s, SoftIPModule& module, std::string_view text,
                        int32_t number) {
  s.pool.AddTo(module.moduleName, text);
  module.moduleNumber = number;
  module.hasModuleStatement = true;
}

void AddPort(ParseState& s, SoftIPModule& module, PortKind kind, const PortLine& line) {
  const std::string_view texts[] = {line.text1, line.text2, line.text3,
                                    line.text4, line.text5, line.text6};
  AppendPort(module, kind, line.number1, line.number2,
             [&](int field) { return s.pool.Add(texts[field]); });
}

void AddDeclaration(ParseState& s, SoftIPModule& module, std::string_view text1,
                    std::string_view text2, std::string_view text3) {
  SoftIPDeclaration declaration{};
  s.pool.AddTo(declaration.text1, text1);
  s.pool.AddTo(declaration.text2, text2);
  s.pool.AddTo(declaration.text3, text3);
  module.declarations.Append(declaration);
}

void AddBusExtName(ParseState& s, SoftIPModule& module, std::string_view name) {
  module.busExtNames.Append(s.pool.Add(name));
}

void AddMacroParameter(ParseState& s, SoftIPModule& module, std::string_view parameter) {
  module.macroParameters.Append(s.pool.Add(parameter));
}

void AddMacroStatement(ParseState& s, SoftIPModule& module, std::string_view condition,
                       std::string_view statements) {
  SoftIPMacroStatement statement{};
  s.pool.AddTo(statement.condition, condition);
  s.pool.AddTo(statement.statements, statements);
  module.macroStatements.Append(statement);
}

void AddEquationParameter(ParseState& s, SoftIPModule& module, std::string_view parameter) {
  module.equationParameters.Append(s.pool.Add(parameter));
}

void AddModule(ParseState& s, SoftIPLibrary& library, SoftIPModule module) {
  if (!module.hasModuleStatement) {
    s.pool.AddTo(module.moduleName, "");
    module.moduleNumber = 0;
  }
  library.modules.Append(std::move(module));
}

int32_t ModuleNumber(std::string_view text) {
  return int8_t(uint8_t(uint32_t(SignedDecimalValue(text)) & 0xFF));
}

void DumpModule(ParseState& s, const SoftIPModule& module) {
  DumpModuleHeader(s, module);
  DumpModuleStatement(s, module);
  DumpHeading(s, "Input");
  DumpPorts(s, module, PortKind::kInput, DumpMode::kAllRecords);
  DumpHeading(s, "Output");
  DumpPorts(s, module, PortKind::kOutput, DumpMode::kAllRecords);
  DumpHeading(s, "Declaration");
  DumpDeclarations(s, module, DumpMode::kAllRecords);
  DumpHeading(s, "BusExtName");
  DumpNames(s, module.busExtNames, DumpMode::kAllRecords);
  DumpHeading(s, "Macro");
  DumpHeading(s, "\tParameter");
  DumpNames(s, module.macroParameters, DumpMode::kAllRecords);
  DumpHeading(s, "\tMacro statement");
  DumpMacroStatements(s, module, DumpMode::kAllRecords);
  DumpHeading(s, "Equation");
  DumpHeading(s, "\tParameter");
  DumpNames(s, module.equationParameters, DumpMode::kAllRecords);
}

std::span<const WarningCheck* const> SoftIPWarningChecks() {
  static constexpr const WarningCheck* kChecks[] = {&kBraceAsName, &kModuleStatementRepeated,
                                                    &kOutputEighthField};
  return kChecks;
}

}  // namespace qelc
