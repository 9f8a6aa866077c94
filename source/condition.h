#pragma once

#include <string>

namespace qelc {

// Longest condition text that a table can store.
constexpr int kConditionLimit = 255;

// The text of the last condition read: each accepted token behind a backslash.
const std::string& ConditionText();
void ClearCondition();

// condition clause -> When condition ':'
void ReadWhen();
// soft-IP condition clause -> _when condition ':'
void ReadSoftIPWhen();
// Appends one condition to the condition text without emptying it first.
void ReadCondition();

}  // namespace qelc
