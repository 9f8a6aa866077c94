#include "softip/ipb_file.h"

#include <cstdio>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "softip/record_fields.h"
#include "source/fatal.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

// The header as read must describe a string area that the buffer can hold.
void CheckHeader(const SoftIPLibrary& library) {
  if (library.stringBytesUsed < 0 || library.stringCapacity < 0 ||
      library.stringBytesUsed > library.stringCapacity) {
    throw CorruptIpb{"the string sizes in the header do not fit each other"};
  }
}

// Every reference read must name a string that starts inside the used bytes.
void CheckLibraryRefs(const SoftIPLibrary& library) {
  int32_t used = library.stringBytesUsed;
  ForEachStringRef(library, [used](int32_t ref) {
    if (ref < 0 || ref >= used) {
      throw CorruptIpb{"a string reference lies outside the string bytes"};
    }
  });
}

// Every string ends with its NUL, so the string area does too; then no string
// read through a checked reference runs past the used bytes.
void CheckStringBytes(std::string_view stringBytes) {
  if (!stringBytes.empty() && stringBytes.back() != '\0') {
    throw CorruptIpb{"the last string does not end with a NUL byte"};
  }
}

// Reads the file into the library; false when the .dec file could not be set up.
bool ReadAndDump(IpbStream& stream, const std::string& ipbName) {
  SoftIPLibrary& library = Library();
  TransferLibrary(stream, library);
  CheckLibraryRefs(library);
  if (!BeginDecodeOutput(ipbName)) return false;
  TransferStringBytes(stream, library);
  CheckStringBytes({library.stringBuffer.get(), size_t(library.stringBytesUsed)});
  DumpSoftIPCategories();
  for (const SoftIPModule& module : Library().modules) DumpModule(module);
  return true;
}

}  // namespace

void TransferLibrary(IpbStream& stream, SoftIPLibrary& library) {
  TransferFields(LibraryLayout(), library, stream);
  if (!stream.Writing()) CheckHeader(library);
  TransferLists(LibraryLayout(), library, stream);
  library.modules.Serialise(stream);
}

void TransferStringBytes(IpbStream& stream, SoftIPLibrary& library) {
  stream.Transfer(library.stringBuffer.get(), size_t(library.stringBytesUsed));
}

bool WriteIpbFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written;
  {
    IpbStream stream(file, IpbStream::Direction::kWrite);
    TransferLibrary(stream, Library());
    TransferStringBytes(stream, Library());
    written = stream.Flush();
  }
  written = std::fclose(file) == 0 && written;
  if (!written) {
    std::remove(path.c_str());
    std::fprintf(stderr, "Fail to write %s.\n", path.c_str());
    ExitRun(1);
  }
  return true;
}

std::string_view ReadIpbBytes(std::string_view bytes, SoftIPLibrary& library) {
  IpbStream stream(bytes);
  TransferLibrary(stream, library);
  CheckLibraryRefs(library);
  if (stream.SawLongFormOfSmallCount()) {
    throw CorruptIpb{"a list count below 65535 is written in the 6-byte form"};
  }
  if (stream.Unread() != uint64_t(library.stringBytesUsed)) {
    throw CorruptIpb{stream.Unread() < uint64_t(library.stringBytesUsed)
                         ? "the file ends within its string bytes"
                         : "bytes are left over after the string bytes"};
  }
  std::string_view stringBytes = bytes.substr(bytes.size() - size_t(library.stringBytesUsed));
  CheckStringBytes(stringBytes);
  return stringBytes;
}

void DecodeIpbFile(const std::string& ipbName) {
  FilePtr file = OpenForReading(ipbName);
  if (!file) return;
  try {
    IpbStream stream(file.get(), IpbStream::Direction::kRead);
    if (!ReadAndDump(stream, ipbName)) return;
  } catch (const CorruptIpb&) {
    std::printf("Corrupt IPB file %s.\n", ipbName.c_str());
    ExitRun(1);
  }
  file.reset();
  EndSoftIPOutput();
}

}  // namespace qelc
