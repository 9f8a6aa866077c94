#include <malloc.h>

#include "qellint/lint.h"

int main(int argc, char** argv) {
  // Each source is a compilation of its own, whose buffers are freed when it
  // ends and made again for the next: the allocator keeps what was freed
  // (rather than handing it back to the kernel and faulting it in again) and
  // grows a thread's heap in large steps.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 64 << 20);
  return qelc::lint::RunQellint(argc, argv);
}
