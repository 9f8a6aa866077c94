#include "sections/prolog_epilog.h"

#include <cstdio>

#include "sections/statements.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kPrologEpilogEntries = 20;
using PrologEpilogTable = PrologEpilogEntry[kPrologEpilogEntries];

PrologEpilogTable& SelectedTable() {
  return PrologEpilogFlag() ? Tables().prolog : Tables().epilog;
}

const char* SectionKeyword() { return PrologEpilogFlag() ? "DesignProlog" : "DesignEpilog"; }

}  // namespace

void AddPrologEpilogCondition(int32_t index, std::string_view condition) {
  AddEntry(
      SelectedTable(), index, kPrologEpilogEntries, "Exceed number of prolog/epilog conditions.\n",
      [&](PrologEpilogEntry& entry) { PoolAddTo(entry.condition, condition); },
      [](PrologEpilogEntry& end) { PoolAddTo(end.condition, ""); });
}

void SecDesignPrologEpilog() {
  std::printf("Parsing Section %s\n", SectionKeyword());
  ExpectText(SectionKeyword());
  ExpectText("{");
  int32_t entry = 0;
  if (TokenIs("Always")) {
    AddPrologEpilogCondition(0, "1");
    ExpectText("Always");
    ExpectText(":");
    ReadStatementBlock(0);
    entry = 1;
  }
  if (TokenIs("When")) {
    while (TokenIs("When")) {
      ReadWhen();
      AddPrologEpilogCondition(entry, ConditionText());
      ReadStatementBlock(entry);
      ++entry;
    }
  } else {
    // Also after an Always block: the section then has a second entry "1".
    AddPrologEpilogCondition(entry, "1");
    ReadStatementBlock(entry);
  }
  ExpectText("}");
  DumpPrologEpilog();
}

void DumpPrologEpilog() {
  static constexpr const char* kTypeNames[] = {"Always", "PTerm", "Decl", "Equation",
                                               "PropertyTab"};
  // The epilog heading has no empty line before it: part of the dump format.
  Dump(PrologEpilogFlag() ? "\nDesignProlog\n" : "DesignEpilog\n");
  for (const PrologEpilogEntry& entry : SelectedTable()) {
    if (PoolStringIsEmpty(entry.condition)) break;
    Dump("   When: <%s>\n", PoolString(entry.condition));
    Dump("      ALL:\n");
    for (const StatementSlot& slot : StoredStatements(entry.statements)) {
      Dump("         === <%12s><%s>\n", PoolString(slot.kind), PoolString(slot.text));
    }
    DumpStatementsByKind(entry.statements, kTypeNames, 6);
  }
}

}  // namespace qelc
