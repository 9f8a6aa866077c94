#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "qelc/qelc.h"

namespace qelc::fuzz {

namespace {

class NoOtherFiles : public IncludeResolver {
 public:
  std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
};

}  // namespace

void EnterScratchDirectory() {
  std::string pattern =
      access("/dev/shm", W_OK) == 0 ? "/dev/shm/qelc-fuzz-XXXXXX" : "/tmp/qelc-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
    std::perror("scratch directory");
    abort();
  }
  if (!getenv("QELC_FUZZ_VERBOSE")) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
}

void WriteInput(const char* name, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(name, "wb");
  if (!file) abort();
  if (size > 0 && std::fwrite(data, size, 1, file) != 1) abort();
  std::fclose(file);
}

void CompileInMemory(const char* name, const uint8_t* data, size_t size, bool debug,
                     bool warnings) {
  NoOtherFiles includes;
  CompileOptions options;
  options.keepPreprocessed = options.decode = debug;
  options.resolver = &includes;
  options.warnings = warnings;
  Compile({name, std::string(reinterpret_cast<const char*>(data), size)}, options);
}

}  // namespace qelc::fuzz
