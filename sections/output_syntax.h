#pragma once

#include "formats/table_block.h"
#include "tables/parse_state.h"

namespace qelc {

using OutputSyntaxTable = decltype(TableBlock::outputSyntaxes);

// body -> output-syntax*
// output-syntax -> (name ':')+ '{' statements in their fixed order '}'
void ReadOutputSyntaxBody(ParseState& s, OutputSyntaxTable& table);
void DumpOutputSyntaxes(ParseState& s, const OutputSyntaxTable& table);
void EmptyOutputSyntaxes(ParseState& s, OutputSyntaxTable& table);

}  // namespace qelc
