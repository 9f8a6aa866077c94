#pragma once

#include <memory>
#include <string>

#include "formats/table_block.h"
#include "source/diagnostics.h"
#include "source/files.h"
#include "tables/string_pool.h"

namespace qelc {

// The table block of one DAF compilation, on the heap, and the string pool that
// follows it in the DAB file.
struct DafTables {
  std::unique_ptr<TableBlock> block;
  std::unique_ptr<char[]> pool;
};

// Allocates a zeroed block, writes its header and points `strings` at a new,
// empty pool of kPoolCapacity bytes. Returns false when the memory cannot be had.
bool PrepareTables(DafTables& tables, StringPool& strings);

// Writes the block and the used pool bytes to `path`. Says nothing when the file
// cannot be created; a failed write removes the file and ends the compilation.
void WriteDabFile(const DafTables& tables, const std::string& path, FileSystem& files,
                  Diagnostics& diagnostics);

}  // namespace qelc
