#include "sections/output_syntax.h"

#include <string>

#include "sections/checks.h"
#include "sections/statements.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/format.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kOutputSyntaxes = EntriesOf(&TableBlock::outputSyntaxes);

}  // namespace

// Off unless asked for: sources list several names on purpose, as a Pin group does.
const WarningCheck kOutputSyntaxNameReplaced{
    "output-syntax-name-replaced", false,
    "a name of an output syntax followed by another, which replaces it (only the last is kept)"};

namespace {

// Stores the name of record `index` and empties the name of the next record.
void AddOutputSyntax(ParseState& s, OutputSyntaxTable& table, int32_t index,
                     std::string_view name) {
  AddEntry(
      s, table, index, kOutputSyntaxes,
      Format("Exceed number of output syntaxes. (%d)\n", index).c_str(),
      [&](OutputSyntaxRecord& record) { s.pool.AddTo(record.name, name); },
      [&](OutputSyntaxRecord& end) { s.pool.AddTo(end.name, ""); });
}

// output-syntax -> (name ':')+ '{' statements in their fixed order '}'
void ReadOutputSyntax(ParseState& s, OutputSyntaxTable& table, int32_t record) {
  // Every name of the list is stored in turn; the record keeps the last.
  do {
    TextPoint at = CurrentToken(s).start;
    AddOutputSyntax(s, table, record, PeekWord(s));
    std::string name = Linting(s) ? std::string(TokenText(s)) : std::string();
    SkipToken(s);
    ExpectText(s, ":");
    if (Linting(s) && !TokenIs(s, "{")) {
      WarnAt(s, at, kOutputSyntaxNameReplaced,
             "'" + name +
                 "' is replaced by the name after it: an output syntax keeps only its "
                 "last name");
    }
  } while (!TokenIs(s, "{"));
  ExpectText(s, "{");
  ReadOutputStatements(s, table[record].statements);
  ExpectText(s, "}");
}

}  // namespace

void ReadOutputSyntaxBody(ParseState& s, OutputSyntaxTable& table) {
  // A record ends with its '}', or where a word that opens no statement opens
  // the next line.
  auto atNextRecord = [](const Parser& p) {
    return OpensStatement(p) ? ResumeAt::kNo : AtWordOpeningLine(p);
  };
  for (int32_t record = 0; !TokenIs(s, "}");) {
    bool read = ReadEntry(
        s, atNextRecord, [&] { ReadOutputSyntax(s, table, record); }, true);
    if (read) ++record;
  }
}

void EmptyOutputSyntaxes(ParseState& s, OutputSyntaxTable& table) {
  AddOutputSyntax(s, table, 0, "");
}

void DumpOutputSyntaxes(ParseState& s, const OutputSyntaxTable& table) {
  for (const OutputSyntaxRecord& record : table) {
    if (s.pool.IsEmpty(record.name)) break;
    s.dump.Put<"   <%s>\n">(s.pool.String(record.name));
    DumpStatementsByKind(s, record.statements, StatementFamily::kOutputSyntax, 9);
  }
}

}  // namespace qelc
