#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "softip/record_list.h"
#include "softip/records.h"
#include "source/files.h"
#include "tables/parse_state.h"

namespace qelc {

// The format version of the IPB files this compiler writes.
constexpr int32_t kIpbFormatVersion = 0x90000;
// Size of the soft-IP string buffer while compiling.
constexpr int32_t kSoftIPStringCapacity = 32000;

// The soft-IP library of one compilation: the IPB header values, the string
// buffer that the string pool works on during the soft-IP road, and the lists.
struct SoftIPLibrary {
  int32_t formatVersion = 0;
  int32_t stringBytesUsed = 0;
  int32_t stringCapacity = 0;
  std::unique_ptr<char[]> stringBuffer;
  RecordList<SoftIPCategoryEntry> categories;
  RecordList<SoftIPModule> modules;
  // Where each category entry was read, while compiling: a repeated number is
  // reported at the entry that repeats it. Not part of the file.
  std::vector<TextPoint> categoryStarts;
};

// Compiling: Out.txt becomes the dump stream and the string pool works on a new,
// empty string buffer of 32000 bytes.
// Each returns false, with its message printed, when it cannot set up.
bool BeginSoftIPOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files);

// BeginSoftIPOutput without the dump stream: the linter keeps no Out.txt.
bool BeginSoftIPLibrary(ParseState& s, SoftIPLibrary& library);

// Decoding: the .dec file beside `ipbName` becomes the dump stream and the pool
// works on a new buffer of the capacity read from the file.
bool BeginDecodeOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                       const std::string& ipbName);

// Closes the dump stream and releases the string buffer.
void EndSoftIPOutput(ParseState& s, SoftIPLibrary& library);

// The .dec name: the IPB name cut at its last '.', then ".dec".
std::string DecName(const std::string& ipbName);

}  // namespace qelc
