// The sanitizer runtimes ask these hooks for their defaults before they read
// ASAN_OPTIONS and UBSAN_OPTIONS, so the test programs fail on any report
// however they are started; the environment can still override them.
#include "tests/sanitizer_options.h"

extern "C" const char* __asan_default_options() { return qelc::test::kAddressSanitizerOptions; }

extern "C" const char* __ubsan_default_options() {
  return qelc::test::kUndefinedSanitizerOptions;
}
