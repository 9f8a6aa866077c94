#include "tables/table_block.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "source/fatal.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

TableBlock block;
std::unique_ptr<char[]> poolBuffer;

}  // namespace

TableBlock& Tables() { return block; }

bool InitTables(void (*emptyFirstEntries)()) {
  if (!OpenDumpStream("Out.txt")) {
    std::fputs("Fail to open out.txt file", stdout);
    ExitRun(1);
  }
  return PrepareTables(emptyFirstEntries);
}

bool PrepareTables(void (*emptyFirstEntries)()) {
  std::memcpy(block.formatVersion, kFormatVersion, sizeof kFormatVersion);
  block.poolUsedSize = 0;
  block.poolCapacity = kPoolCapacity;
  block.poolAddress = 0;
  poolBuffer.reset(new (std::nothrow) char[kPoolCapacity]());
  if (!poolBuffer) {
    ReleaseTables();
    return false;
  }
  PoolSetUp(poolBuffer.get(), &block.poolUsedSize, block.poolCapacity);
  emptyFirstEntries();
  return true;
}

void ReleaseTables() {
  CloseDumpStream();
  PoolRelease();
  poolBuffer.reset();
}

void WriteDabFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::printf("Generating DAB file: %s\n", path.c_str());
  bool written = std::fwrite(&block, sizeof block, 1, file) == 1;
  size_t poolBytes = size_t(block.poolUsedSize);
  if (written && poolBytes > 0) {
    written = std::fwrite(poolBuffer.get(), poolBytes, 1, file) == 1;
  }
  written = std::fclose(file) == 0 && written;
  if (!written) {
    std::remove(path.c_str());
    std::fprintf(stderr, "Fail to write %s.\n", path.c_str());
    ExitRun(1);
  }
}

void ResetTables() {
  DropDumpStream();
  PoolRelease();
  poolBuffer.reset();
  std::memset(&block, 0, sizeof block);
}

}  // namespace qelc
