// A whole IPF compile per input, in memory; with the debug option (the first
// byte even) the IPB file is decoded, with its second bit set the warning checks run.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t selector = size == 0 ? 0 : data[0];
  qelc::fuzz::CompileInMemory("f.ipf", data, size, (selector & 1) == 0, selector & 2);
  return 0;
}
