#include "sections/prolog_epilog.h"

#include "sections/section_rules.h"
#include "sections/statements.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

// Prolog and epilog are tables of one type.
constexpr int32_t kPrologEpilogEntries = EntriesOf(&TableBlock::prolog);
constexpr char kConditionOverflow[] = "Exceed number of prolog/epilog conditions.\n";

void AddPrologEpilogCondition(ParseState& s, PrologEpilogTable& table, int32_t index,
                              std::string_view condition) {
  AddCondition(s, table, index, kPrologEpilogEntries, kConditionOverflow, condition);
}

}  // namespace

void ReadPrologEpilogBody(ParseState& s, PrologEpilogTable& table) {
  auto readBlock = [&](int32_t index) { ReadStatementBlock(s, table[index].statements); };
  Clauses clauses =
      ReadClauses(s, AlwaysClause::kStoredFirst, table, AddPrologEpilogCondition, readBlock);
  if (!clauses.sawWhen) {
    // Also after an Always block: the section then has a second entry "1".
    AddPrologEpilogCondition(s, table, clauses.count, "1");
    readBlock(clauses.count);
  }
}

void EmptyPrologEpilog(ParseState& s, PrologEpilogTable& table) {
  AddPrologEpilogCondition(s, table, 0, "");
}

void DumpPrologEpilog(ParseState& s, const PrologEpilogTable& table) {
  for (const PrologEpilogEntry& entry : table) {
    if (s.pool.IsEmpty(entry.condition)) break;
    s.dump.Put<"   When: <%s>\n">(s.pool.String(entry.condition));
    s.dump.Put<"      ALL:\n">();
    for (const StatementSlot& slot : StoredStatements(s.pool, entry.statements)) {
      s.dump.Put<"         === <%12s><%s>\n">(s.pool.String(slot.kind), s.pool.String(slot.text));
    }
    DumpStatementsByKind(s, entry.statements, StatementFamily::kPrologEpilog, 6);
  }
}

}  // namespace qelc
