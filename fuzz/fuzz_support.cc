#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace qelc::fuzz {

void EnterScratchDirectory() {
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qelc-fuzz-XXXXXX"
                                                       : "/tmp/qelc-fuzz-XXXXXX";
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

}  // namespace qelc::fuzz
