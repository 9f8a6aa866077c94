#include "softip/library.h"

#include <new>

namespace qelc {

namespace {

// A message that ends the road with status 0: the console output other tools read.
void SetUpFailed(ParseState& s, std::string console, std::string text) {
  s.diagnostics.Error(std::move(console), Stream::kStandardOutput, "set-up-failed",
                      std::move(text));
}

// The pool's used size and capacity are the library's own header fields, so the
// header written to the file is what the pool left there.
bool UseNewStringBuffer(ParseState& s, SoftIPLibrary& library) {
  library.stringBuffer.reset(new (std::nothrow) char[size_t(library.stringCapacity)]());
  if (!library.stringBuffer) {
    s.dump.Close();
    SetUpFailed(s, "Fail to allocate string reference buffer.\n",
                "cannot allocate the soft-IP string buffer");
    return false;
  }
  s.pool.SetUp(library.stringBuffer.get(), &library.stringBytesUsed, library.stringCapacity);
  return true;
}

bool OpenDump(ParseState& s, FileSystem& files, const std::string& path) {
  if (FileSystem::Unemptied created = files.CreateUnemptied(path); created.file) {
    s.dump.Open(std::move(created.file), path, created.mustEmpty);
    return true;
  }
  // The same text for the .dec file: the console output other tools read.
  SetUpFailed(s, "Fail to open out.txt file", "cannot create " + path);
  return false;
}

}  // namespace

bool BeginSoftIPOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files) {
  if (!OpenDump(s, files, "Out.txt")) return false;
  return BeginSoftIPLibrary(s, library);
}

bool BeginSoftIPLibrary(ParseState& s, SoftIPLibrary& library) {
  library.formatVersion = kIpbFormatVersion;
  library.stringBytesUsed = 0;
  library.stringCapacity = kSoftIPStringCapacity;
  return UseNewStringBuffer(s, library);
}

bool BeginDecodeOutput(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                       const std::string& ipbName) {
  if (!OpenDump(s, files, DecName(ipbName))) return false;
  return UseNewStringBuffer(s, library);
}

void EndSoftIPOutput(ParseState& s, SoftIPLibrary& library) {
  // First the dump: it may have lines still to write that point into the
  // string buffer.
  s.dump.Close();
  s.pool.Release();
  library.stringBuffer.reset();
}

std::string DecName(const std::string& ipbName) {
  return ipbName.substr(0, ipbName.rfind('.')) + ".dec";
}

}  // namespace qelc
