#include "softip/ipb_output.h"

#include <cstdio>
#include <string>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "source/fatal.h"
#include "source/text_reader.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

// Reads the file into the library; false when the .dec file could not be set up.
bool ReadAndDump(ParseState& s, SoftIPLibrary& library, FileSystem& files, FILE* file,
                 IpbStream& stream, const std::string& ipbName) {
  TransferLibrary(stream, library);
  CheckLibraryRefs(library);
  if (!BeginDecodeOutput(s, library, files, ipbName)) return false;
  s.dump.SettleIfSame(file, files);
  TransferStringBytes(stream, library);
  CheckStringBytes({library.stringBuffer.get(), size_t(library.stringBytesUsed)});
  DumpSoftIPCategories(s, library);
  for (const SoftIPModule& module : library.modules) DumpModule(s, module);
  return true;
}

}  // namespace

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
    s.diagnostics.WriteFailed(path);
  }
  return true;
}

void DecodeIpbFile(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                   const std::string& ipbName) {
  FilePtr file = files.OpenForReading(ipbName);
  if (!file) return;
  try {
    IpbStream stream(file.get(), IpbStream::Direction::kRead);
    if (!ReadAndDump(s, library, files, file.get(), stream, ipbName)) return;
  } catch (const CorruptIpb& corrupt) {
    s.diagnostics.Fail(
        "Corrupt IPB file " + ipbName + ".\n", Stream::kStandardOutput, "corrupt-ipb",
        "the IPB file just written reads back damaged: " + std::string(corrupt.reason));
  }
  file.reset();
  EndSoftIPOutput(s, library);
}

}  // namespace qelc
