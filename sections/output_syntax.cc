#include "sections/output_syntax.h"

#include <cstdio>
#include <string>

#include "sections/statements.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

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

// Reads one output syntax into record `record`.
void ReadOutputSyntax(int32_t record) {
  // Every name of the list is stored in turn; the record keeps the last.
  do {
    CheckTextLength(TokenText(), kStoredTextLimit);
    AddOutputSyntax(record, TokenText());
    SkipToken();
    ExpectText(":");
  } while (!TokenIs("{"));
  ExpectText("{");
  int32_t statements = 0;
  for (const OutputStatement& statement : kOutputStatements) {
    if (TokenIs(statement.keyword)) ReadStatement(statement.kindName, record, statements);
  }
  ExpectText("}");
}

}  // namespace

void AddOutputSyntax(int32_t index, std::string_view name) {
  AddEntry(
      Tables().outputSyntaxes, index, kOutputSyntaxes,
      Format("Exceed number of output syntaxes. (%d)\n", index).c_str(),
      [&](OutputSyntaxRecord& record) { PoolAddTo(record.name, name); },
      [](OutputSyntaxRecord& end) { PoolAddTo(end.name, ""); });
}

void SecOutputSyntax() {
  std::fputs("Parsing Section OutputSyntax\n", stdout);
  ExpectText("OutputSyntax");
  ExpectText("{");
  for (int32_t record = 0; !TokenIs("}"); ++record) ReadOutputSyntax(record);
  ExpectText("}");
  DumpOutputSyntax();
}

void DumpOutputSyntax() {
  // Always heads every record although no output syntax holds such a statement:
  // part of the dump format.
  static constexpr const char* kTypeNames[] = {
      "Always",         "DefaultSigName", "DeclWOPinNum", "DeclWithPinNum", "DeclWOMainFlash",
      "DeclWMainFlash", "Equation",       "Equation_Req", "Action"};
  Dump("\nOutputSyntax\n");
  for (const OutputSyntaxRecord& record : Tables().outputSyntaxes) {
    if (PoolStringIsEmpty(record.name)) break;
    Dump("   <%s>\n", PoolString(record.name));
    DumpStatementsByKind(record.statements, kTypeNames, 9);
  }
}

}  // namespace qelc
