#pragma once

#include <cstddef>
#include <cstdint>

namespace qelc::fuzz {

// Moves the process into a scratch directory of its own (on tmpfs when there is
// one) and sends standard output and error to /dev/null: every input compiles
// there, and the console output of millions of runs would only slow the fuzzer.
void EnterScratchDirectory();

// Writes `size` bytes to `name` in the scratch directory.
void WriteInput(const char* name, const uint8_t* data, size_t size);

}  // namespace qelc::fuzz
