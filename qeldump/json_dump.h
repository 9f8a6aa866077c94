#pragma once

#include <cstdio>

#include "qeldump/input_file.h"

namespace qelc::dump {

// --json: one JSON document for the file, written as it is walked (the shape is
// in README.md), so that a large file never stands in memory a second time.
void WriteJson(const InputFile& file, FILE* out);

}  // namespace qelc::dump
