#pragma once

#include <string>

#include "source/parser.h"

namespace qelc {

// Longest condition text that a table can store.
constexpr int kConditionLimit = 255;

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
