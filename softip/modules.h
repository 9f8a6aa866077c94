#pragma once

#include <cstdint>
#include <string_view>

#include "formats/records.h"
#include "formats/text_limits.h"
#include "softip/library.h"
#include "tables/parse_state.h"

namespace qelc {

// Longest texts of a module (the catalogue states them).
constexpr int kModuleTextLimit = text_limit::kModuleText;
constexpr int kPortText3Limit = text_limit::kPortText3;
constexpr int kBusExtNameLimit = text_limit::kBusExtName;
constexpr int kMacroParameterLimit = text_limit::kMacroParameter;
constexpr int kMacroStatementLimit = text_limit::kMacroStatement;

enum class PortKind { kInput, kOutput };

// A macro statement must be empty or start and end with an apostrophe; otherwise
// a parse error naming the missing quote ends the run.
void CheckStatementQuotes(ParseState& s, std::string_view statement);

// module -> name '{' block* '}'
// block  -> Module | Input | Output | Declaration | BusExtName | Macro | Equation
// Dumps each record as it is added and appends the module to the library when
// its closing brace is reached.
void ReadSoftIPModule(ParseState& s, SoftIPLibrary& library);

// The record functions: each pools its texts in field order and stores the
// references.
void SetModuleName(ParseState& s, SoftIPModule& module, std::string_view name);
void SetModuleStatement(ParseState& s, SoftIPModule& module, std::string_view text, int32_t number);
struct PortLine {
  std::string_view text1, text2, text3, text4;
  int32_t number1 = 0;
  int32_t number2 = 0;
  std::string_view text5, text6;
};
void AddPort(ParseState& s, SoftIPModule& module, PortKind kind, const PortLine& line);
void AddDeclaration(ParseState& s, SoftIPModule& module, std::string_view text1,
                    std::string_view text2, std::string_view text3);
void AddBusExtName(ParseState& s, SoftIPModule& module, std::string_view name);
void AddMacroParameter(ParseState& s, SoftIPModule& module, std::string_view parameter);
void AddMacroStatement(ParseState& s, SoftIPModule& module, std::string_view condition,
                       std::string_view statements);
void AddEquationParameter(ParseState& s, SoftIPModule& module, std::string_view parameter);
// Appends the finished module to the library. A module without a Module
// statement gets the empty text and 0, pooled only now.
void AddModule(ParseState& s, SoftIPLibrary& library, SoftIPModule module);

// The low 8 bits of the decimal value of `text`, as a signed number: 200 gives -56.
int32_t ModuleNumber(std::string_view text);

// Writes a decoded module and all its lists to the dump stream.
void DumpModule(ParseState& s, const SoftIPModule& module);

}  // namespace qelc
