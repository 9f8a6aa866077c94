#pragma once

#include <cstdint>
#include <memory>

#include "formats/record_list.h"
#include "formats/records.h"

namespace qelc {

// The format version of the IPB files this compiler writes.
constexpr int32_t kIpbFormatVersion = 0x90000;
// Size of the soft-IP string buffer while compiling.
constexpr int32_t kSoftIPStringCapacity = 32000;

// The content of an IPB file: the header values, the string bytes (the buffer
// that the string pool works on while a library is compiled) and the lists.
struct SoftIPLibrary {
  int32_t formatVersion = 0;
  int32_t stringBytesUsed = 0;
  int32_t stringCapacity = 0;
  std::unique_ptr<char[]> stringBuffer;
  RecordList<SoftIPCategoryEntry> categories;
  RecordList<SoftIPModule> modules;
};

}  // namespace qelc
