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

constexpr int32_t kOutputSyntaxes = EntriesOf(&TableBlock::outputSyntaxes);

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
  ReadOutputStatements(table[record].statements);
  ExpectText("}");
}

}  // namespace

void ReadOutputSyntaxBody(OutputSyntaxTable& table) {
  for (int32_t record = 0; !TokenIs("}"); ++record) ReadOutputSyntax(table, record);
}

void EmptyOutputSyntaxes(OutputSyntaxTable& table) { AddOutputSyntax(table, 0, ""); }

void DumpOutputSyntaxes(const OutputSyntaxTable& table) {
  for (const OutputSyntaxRecord& record : table) {
    if (PoolStringIsEmpty(record.name)) break;
    Dump("   <%s>\n", PoolString(record.name));
    DumpStatementsByKind(record.statements, StatementFamily::kOutputSyntax, 9);
  }
}

}  // namespace qelc
