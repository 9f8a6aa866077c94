#include "softip/ipb_file.h"

#include <cstdio>
#include <string>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "softip/record_fields.h"
#include "source/fatal.h"
#include "source/text_reader.h"
#include "tables/parse_state.h"

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
bool ReadAndDump(ParseState& s, SoftIPLibrary& library, FileSystem& files, IpbStream& stream,
                 const std::string& ipbName) {
  TransferLibrary(stream, library);
  CheckLibraryRefs(library);
  if (!BeginDecodeOutput(s, library, files, ipbName)) return false;
  TransferStringBytes(stream, library);
  CheckStringBytes({library.stringBuffer.get(), size_t(library.stringBytesUsed)});
  DumpSoftIPCategories(s, library);
  for (const SoftIPModule& module : library.modules) DumpModule(s, module);
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

bool WriteIpbFile(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                  const std::string& path) {
  FilePtr file = files.Create(path);
  if (!file) return false;
  bool written;
  {
    IpbStream stream(file.get(), IpbStream::Direction::kWrite);
    TransferLibrary(stream, library);
    TransferStringBytes(stream, library);
    written = stream.Flush();
  }
  written = std::fclose(file.release()) == 0 && written;
  if (!written) {
    files.Remove(path);
    s.diagnostics.Fail("Fail to write " + path + ".\n", Stream::kStandardError, "write-failed",
                       "cannot write " + path);
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

void DecodeIpbFile(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                   const std::string& ipbName) {
  FilePtr file = files.OpenForReading(ipbName);
  if (!file) return;
  try {
    IpbStream stream(file.get(), IpbStream::Direction::kRead);
    if (!ReadAndDump(s, library, files, stream, ipbName)) return;
  } catch (const CorruptIpb& corrupt) {
    s.diagnostics.Fail(
        "Corrupt IPB file " + ipbName + ".\n", Stream::kStandardOutput, "corrupt-ipb",
        "the IPB file just written reads back damaged: " + std::string(corrupt.reason));
  }
  file.reset();
  EndSoftIPOutput(s, library);
}

}  // namespace qelc
