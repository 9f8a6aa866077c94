// A whole qellint run per input, as a DAF or an IPF source by the first byte;
// the output format cycles too, so every writer sees every finding.
#include "fuzz/fuzz_support.h"
#include "qellint/lint.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int selector = size == 0 ? 0 : data[0];
  const char* name = (selector & 1) ? "f.ipf" : "f.daf";
  const char* formats[] = {"--format=text", "--format=json", "--format=sarif"};
  qelc::fuzz::WriteInput(name, data, size);
  const char* argv[] = {"qellint", formats[(selector >> 1) % 3], "-Wcondition-missing-test", name};
  qelc::lint::RunQellint(4, argv);
  return 0;
}
