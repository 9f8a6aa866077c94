#pragma once

#include <string>
#include <string_view>

#include "source/parser.h"

namespace qelc {

// What both roads of a compile run share about the run itself.

// True when the option text starts with -d, letter case aside.
bool IsDebugOption(std::string_view option);

// What a run keeps beside the compiled file; qelc's -d asks for both.
struct RunOptions {
  bool keepPreprocessed = false;  // the .pre file
  bool decode = false;            // an IPB file decoded into its .dec file
};

// The name of a compiled file: the .pre name cut at the first '.' of its
// file-name part, then `extension`. my.dev.pre gives my.dab, v1.2/dev.pre gives
// v1.2/dev.dab.
std::string OutputName(const std::string& preName, std::string_view extension);

// The end-of-run summary on standard error: the error count and the last token.
void PrintRunSummary(Parser& p);

}  // namespace qelc
