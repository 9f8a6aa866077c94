#pragma once

#include <cstddef>
#include <cstdint>

#include "source/diagnostics.h"

namespace qelc::fuzz {

// Moves the process into a scratch directory of its own (on tmpfs when there is
// one) and sends standard output and error to /dev/null: the targets that run a
// program's whole command line read their input from there, and the console
// output of millions of runs would only slow the fuzzer.
void EnterScratchDirectory();

// Writes `size` bytes to `name` in the scratch directory.
void WriteInput(const char* name, const uint8_t* data, size_t size);

// Drops every message: the targets look for crashes, not for what is said.
class DiscardSink : public OutputSink {
 public:
  void Emit(Message) override {}
};

// qelc::Compile over the input as the source `name`, entirely in memory. An
// #include finds the source itself by its name (so include chains and cycles
// are reached) and the files the compilation wrote; nothing else.
void CompileInMemory(const char* name, const uint8_t* data, size_t size, bool debug, bool warnings);

}  // namespace qelc::fuzz
