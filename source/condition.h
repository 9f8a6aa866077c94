#pragma once

#include <string>

#include "formats/lexicon.h"
#include "source/parser.h"

namespace qelc {

// The conditions are read into Parser::condition: each accepted token behind a
// backslash.

// condition clause -> When condition ':'
void ReadWhen(Parser& p);
// soft-IP condition clause -> _when condition ':'
void ReadSoftIPWhen(Parser& p);
// Appends one condition to the condition text without emptying it first.
void ReadCondition(Parser& p);

extern const WarningCheck kConditionMissingOperand;
extern const WarningCheck kConditionMissingTest;

}  // namespace qelc
