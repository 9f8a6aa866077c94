#pragma once

#include <string_view>

#include "formats/text_limits.h"
#include "softip/library.h"

namespace qelc {

constexpr int kCategoryTextLimit = text_limit::kCategoryText;

// SoftIPCategory '{' entry+ '}'   with   entry -> number ':' name '=' value
// Appends the entries to the library, dumps the whole list and checks that no two
// entries share a number (the run ends when two do).
void ReadSoftIPCategory(ParseState& s, SoftIPBuild& library);

// Pools the name, then the value, and appends the entry.
void AddSoftIPCategory(ParseState& s, SoftIPBuild& library, float number, std::string_view name,
                       std::string_view value);

// Writes every category of the library to the dump stream.
void DumpSoftIPCategories(ParseState& s, SoftIPLibrary& library);

// Returns when all category numbers differ; otherwise ends the run with a parse
// error naming the number of the first entry that a later entry repeats.
void CheckCategoryNumbers(ParseState& s, SoftIPBuild& library);

}  // namespace qelc
