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
bool UseNewStringBuffer() {
  library.stringBuffer.reset(new (std::nothrow) char[size_t(library.stringCapacity)]());
  if (!library.stringBuffer) {
    CloseDumpStream();
    std::fputs("Fail to allocate string reference buffer.\n", stdout);
    return false;
  }
  PoolSetUp(library.stringBuffer.get(), &library.stringBytesUsed, library.stringCapacity);
  return true;
}

bool OpenDump(const std::string& path) {
  if (OpenDumpStream(path)) return true;
  // The same text for the .dec file: the console output other tools read.
  std::fputs("Fail to open out.txt file", stdout);
  return false;
}

}  // namespace

SoftIPLibrary& Library() { return library; }

bool BeginSoftIPOutput() {
  if (!OpenDump("Out.txt")) return false;
  return BeginSoftIPLibrary();
}

bool BeginSoftIPLibrary() {
  library.formatVersion = kIpbFormatVersion;
  library.stringBytesUsed = 0;
  library.stringCapacity = kSoftIPStringCapacity;
  return UseNewStringBuffer();
}

bool BeginDecodeOutput(const std::string& ipbName) {
  if (!OpenDump(DecName(ipbName))) return false;
  return UseNewStringBuffer();
}

void EndSoftIPOutput() {
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
