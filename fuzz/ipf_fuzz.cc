// A whole IPF compile per input; with the debug option the IPB file is decoded.
#include "fuzz/fuzz_support.h"
#include "qelc/compile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qelc::fuzz::WriteInput("f.ipf", data, size);
  const char* argv[] = {"qelc", "f.ipf", "-d"};
  bool debug = size == 0 || (data[0] & 1) == 0;
  qelc::RunQelc(debug ? 3 : 2, argv);
  return 0;
}
