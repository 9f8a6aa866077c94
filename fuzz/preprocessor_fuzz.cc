// The preprocessor alone: directives, includes (of the input itself, so include
// chains and cycles are reached) and define substitution.
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "source/preprocessor.h"
#include "source/text_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qelc::fuzz::WriteInput("f", data, size);
  qelc::FilePtr input = qelc::OpenForReading("f");
  qelc::FilePtr output(std::fopen("f.pre", "w"));
  if (!input || !output) return 0;
  qelc::DefineTable defines;
  qelc::BranchStack branches;
  qelc::Preprocess(input.get(), "f", output.get(), defines, branches);
  return 0;
}
