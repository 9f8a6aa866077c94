// A whole DAF compile per input, with and without the debug option.
#include "fuzz/fuzz_support.h"
#include "qelc/compile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qelc::fuzz::WriteInput("f.daf", data, size);
  const char* argv[] = {"qelc", "f.daf", "-d"};
  bool debug = size > 0 && (data[0] & 1);
  qelc::RunQelc(debug ? 3 : 2, argv);
  return 0;
}
