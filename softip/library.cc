#include "softip/library.h"

#include <cstdio>
#include <new>

#include "tables/dump_stream.h"
#include "tables/string_pool.h"

namespace qelc {

namespace {

SoftIPLibrary library;

// The pool's used size and capacity are the library's own header fields, so the
// header written to the file is what the pool left there.
int UseNewStringBuffer() {
  library.stringBuffer.reset(new (std::nothrow) char[size_t(library.stringCapacity)]());
  if (!library.stringBuffer) {
    CloseDumpStream();
    std::fputs("Fail to allocate string reference buffer.\n", stdout);
    return kNoStringBuffer;
  }
  PoolSetUp(library.stringBuffer.get(), &library.stringBytesUsed, library.stringCapacity);
  return kOutputReady;
}

int OpenDump(const std::string& path) {
  if (OpenDumpStream(path)) return kOutputReady;
  // The same text for the .dec file: the console output other tools read.
  std::fputs("Fail to open out.txt file", stdout);
  return kNoDumpFile;
}

}  // namespace

SoftIPLibrary& Library() { return library; }

int BeginSoftIpOutput() {
  if (int result = OpenDump("Out.txt"); result != kOutputReady) return result;
  return BeginSoftIpLibrary();
}

int BeginSoftIpLibrary() {
  library.formatVersion = kIpbFormatVersion;
  library.stringBytesUsed = 0;
  library.stringCapacity = kSoftIpStringCapacity;
  return UseNewStringBuffer();
}

int BeginDecodeOutput(const std::string& ipbName) {
  if (int result = OpenDump(DecName(ipbName)); result != kOutputReady) return result;
  return UseNewStringBuffer();
}

void EndSoftIpOutput() {
  PoolRelease();
  library.stringBuffer.reset();
  CloseDumpStream();
}

std::string DecName(const std::string& ipbName) {
  return ipbName.substr(0, ipbName.rfind('.')) + ".dec";
}

void ResetLibrary() {
  PoolRelease();
  library = SoftIPLibrary{};
}

}  // namespace qelc
