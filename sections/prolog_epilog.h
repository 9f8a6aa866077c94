#pragma once

#include <cstdint>
#include <string_view>

namespace qelc {

// DesignProlog or DesignEpilog, as PrologEpilogFlag() selects (1 prolog, 0 epilog):
// section -> keyword '{' ['Always' ':' block] ('When' condition ':' block)* '}'
// and a block without When where no When follows.
void SecDesignPrologEpilog();

// Stores the condition of entry `index` of the table the flag selects.
void AddPrologEpilogCondition(int32_t index, std::string_view condition);

// Writes the table the flag selects to the dump stream.
void DumpPrologEpilog();

}  // namespace qelc
