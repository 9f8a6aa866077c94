// A whole DAF compile per input, in memory: with the debug option when the first
// byte is odd, with the warning checks when its second bit is set.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t selector = size == 0 ? 0 : data[0];
  qelc::fuzz::CompileInMemory("f.daf", data, size, selector & 1, selector & 2);
  return 0;
}
