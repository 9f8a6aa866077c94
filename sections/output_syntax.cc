#include "sections/output_syntax.h"

#include <string>

#include "sections/statements.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/format.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kOutputSyntaxes = 300;

struct OutputStatement {
  const char* keyword;
  const char* kindName;
};

// The statements of an output syntax, in the only order they may stand in.
constexpr OutputStatement kOutputStatements[] = {
    {"DefaultSigName", "oDefaultSigName"},   {"DeclWOPinNum", "oDeclWOPinNum"},
    {"DeclWithPinNum", "oDeclWithPinNum"},   {"DeclWOMainFlash", "oDeclWOMainFlash"},
    {"DeclWMainFlash", "oDeclWMainFlash"},   {"Equation", "oEquation"},
    {"Equation_Req", "oEquationReq"},        {"Action", "oAction"},
};

// Off unless asked for: sources list several names on purpose, as a Pin group does.
const std::string_view kOutputSyntaxNameReplaced = DeclareWarning(
    "output-syntax-name-replaced", false,
    "a name of an output syntax followed by another, which replaces it (only the last is kept)");

// Stores the name of record `index` and empties the name of the next record.
void AddOutputSyntax(OutputSyntaxTable& table, int32_t index, std::string_view name) {
  AddEntry(
      table, index, kOutputSyntaxes,
      Format("Exceed number of output syntaxes. (%d)\n", index).c_str(),
      [&](OutputSyntaxRecord& record) { PoolAddTo(record.name, name); },
      [](OutputSyntaxRecord& end) { PoolAddTo(end.name, ""); });
}

// output-syntax -> (name ':')+ '{' statements in their fixed order '}'
void ReadOutputSyntax(OutputSyntaxTable& table, int32_t record) {
  // Every name of the list is stored in turn; the record keeps the last.
  do {
    TextPoint at = CurrentToken().start;
    AddOutputSyntax(table, record, PeekWord());
    std::string name = Linting() ? TokenText() : std::string();
    SkipToken();
    ExpectText(":");
    if (Linting() && !TokenIs("{")) {
      WarnAt(at, kOutputSyntaxNameReplaced,
             "'" + name + "' is replaced by the name after it: an output syntax keeps only its "
             "last name");
    }
  } while (!TokenIs("{"));
  ExpectText("{");
  int32_t statements = 0;
  for (const OutputStatement& statement : kOutputStatements) {
    if (TokenIs(statement.keyword)) {
      ReadStatement(table[record].statements, statement.kindName, statements);
    }
  }
  ExpectText("}");
}

}  // namespace

void ReadOutputSyntaxBody(OutputSyntaxTable& table) {
  for (int32_t record = 0; !TokenIs("}"); ++record) ReadOutputSyntax(table, record);
}

void EmptyOutputSyntaxes(OutputSyntaxTable& table) { AddOutputSyntax(table, 0, ""); }

void DumpOutputSyntaxes(const OutputSyntaxTable& table) {
  // Always heads every record although no output syntax holds such a statement:
  // part of the dump format.
  static constexpr const char* kTypeNames[] = {
      "Always",         "DefaultSigName", "DeclWOPinNum", "DeclWithPinNum", "DeclWOMainFlash",
      "DeclWMainFlash", "Equation",       "Equation_Req", "Action"};
  for (const OutputSyntaxRecord& record : table) {
    if (PoolStringIsEmpty(record.name)) break;
    Dump("   <%s>\n", PoolString(record.name));
    DumpStatementsByKind(record.statements, kTypeNames, 9);
  }
}

}  // namespace qelc
