#pragma once

#include "tables/table_block.h"

namespace qelc {

using OutputSyntaxTable = decltype(TableBlock::outputSyntaxes);

// body -> output-syntax*
// output-syntax -> (name ':')+ '{' statements in their fixed order '}'
void ReadOutputSyntaxBody(OutputSyntaxTable& table);
void DumpOutputSyntaxes(const OutputSyntaxTable& table);
void EmptyOutputSyntaxes(OutputSyntaxTable& table);

}  // namespace qelc
