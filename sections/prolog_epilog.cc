#include "sections/prolog_epilog.h"

#include "sections/section_rules.h"
#include "sections/statements.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

// Prolog and epilog are tables of one type.
constexpr int32_t kPrologEpilogEntries = EntriesOf(&TableBlock::prolog);
constexpr char kConditionOverflow[] = "Exceed number of prolog/epilog conditions.\n";

void AddPrologEpilogCondition(PrologEpilogTable& table, int32_t index,
                              std::string_view condition) {
  AddCondition(table, index, kPrologEpilogEntries, kConditionOverflow, condition);
}

}  // namespace

void ReadPrologEpilogBody(PrologEpilogTable& table) {
  auto readBlock = [&](int32_t index) { ReadStatementBlock(table[index].statements); };
  Clauses clauses =
      ReadClauses(AlwaysClause::kStoredFirst, table, AddPrologEpilogCondition, readBlock);
  if (!clauses.sawWhen) {
    // Also after an Always block: the section then has a second entry "1".
    AddPrologEpilogCondition(table, clauses.count, "1");
    readBlock(clauses.count);
  }
}

void EmptyPrologEpilog(PrologEpilogTable& table) { AddPrologEpilogCondition(table, 0, ""); }

void DumpPrologEpilog(const PrologEpilogTable& table) {
  for (const PrologEpilogEntry& entry : table) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   When: <%s>\n", PoolString(entry.condition));
    Dump("      ALL:\n");
    for (const StatementSlot& slot : StoredStatements(entry.statements)) {
      Dump("         === <%12s><%s>\n", PoolString(slot.kind), PoolString(slot.text));
    }
    DumpStatementsByKind(entry.statements, StatementFamily::kPrologEpilog, 6);
  }
}

}  // namespace qelc
