// The preprocessor alone, in memory: directives, includes (of the input itself,
// so include chains and cycles are reached) and define substitution; with a line
// map when the first byte is odd.
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "source/files.h"
#include "source/line_map.h"
#include "source/preprocessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qelc;
  MemoryFiles files([&](const std::string& path) -> std::optional<std::string> {
    if (path != "f") return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data), size);
  });
  fuzz::DiscardSink sink;
  Diagnostics diagnostics(sink);
  FilePtr input = files.OpenForReading("f");
  FilePtr output = files.Create("f.pre");
  if (!input || !output) return 0;
  DefineTable defines;
  BranchStack branches;
  LineMap map;
  bool mapped = size > 0 && (data[0] & 1);
  Preprocess(input.get(), "f", output.get(), defines, branches, diagnostics, files,
             mapped ? &map : nullptr);
  return 0;
}
