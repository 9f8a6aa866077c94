#pragma once

#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "qeldump/input_file.h"

namespace qelc::dump {

// What `write` puts on the stream it is given, as a string.
template <typename Write>
std::string Written(Write&& write) {
  char* data = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&data, &size);
  if (!out) throw std::bad_alloc();
  try {
    write(out);
  } catch (...) {
    std::fclose(out);
    std::free(data);
    throw;
  }
  std::fclose(out);
  std::string text(data, size);
  std::free(data);
  return text;
}

// qeldump --source: the source that compiles back to `file`. Each field that
// the source cannot give is named in `problems` ("cannot express PATH:
// reason"), and the source then holds all the rest. Before it answers with no
// problem, the source is compiled in memory and its file compared with `file`,
// field by field as --diff compares them: a field that would come back
// otherwise is named too, so that an empty `problems` is a promise that holds.
std::string WrittenSource(const InputFile& file, std::vector<std::string>& problems);

// The check behind that promise: compiles `source` in memory under the name
// `sourceName` (whose extension picks the language) and names the first field
// of `file` that its file gives otherwise ("cannot express PATH: ..."), or why
// it gives no file; nothing when every field comes back.
std::optional<std::string> CompiledDifference(const InputFile& file, const std::string& source,
                                              const std::string& sourceName);

}  // namespace qelc::dump
