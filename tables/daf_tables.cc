#include "tables/daf_tables.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace qelc {

bool PrepareTables(DafTables& tables, StringPool& strings) {
  tables.block.reset(new (std::nothrow) TableBlock());
  tables.pool.reset(new (std::nothrow) char[kPoolCapacity]());
  if (!tables.block || !tables.pool) return false;
  TableBlock& block = *tables.block;
  std::memcpy(block.formatVersion, kFormatVersion, sizeof kFormatVersion);
  block.poolUsedSize = 0;
  block.poolCapacity = kPoolCapacity;
  block.poolAddress = 0;
  strings.SetUp(tables.pool.get(), &block.poolUsedSize, block.poolCapacity);
  return true;
}

void WriteDabFile(const DafTables& tables, const std::string& path, FileSystem& files,
                  Diagnostics& diagnostics) {
  FilePtr file = files.Create(path);
  if (!file) return;
  diagnostics.Print(MessageKind::kProgress, "Generating DAB file: " + path + "\n");
  const TableBlock& block = *tables.block;
  bool written = std::fwrite(&block, sizeof block, 1, file.get()) == 1;
  size_t poolBytes = size_t(block.poolUsedSize);
  if (written && poolBytes > 0) {
    written = std::fwrite(tables.pool.get(), poolBytes, 1, file.get()) == 1;
  }
  written = std::fclose(file.release()) == 0 && written;
  if (!written) {
    files.Remove(path);
    diagnostics.WriteFailed(path);
  }
}

}  // namespace qelc
