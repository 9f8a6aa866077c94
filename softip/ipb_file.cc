#include "softip/ipb_file.h"

#include <cstdio>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "source/fatal.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

// The header as read must describe a string area that the buffer can hold.
void CheckHeader() {
  const SoftIPLibrary& library = Library();
  if (library.stringBytesUsed < 0 || library.stringCapacity < 0 ||
      library.stringBytesUsed > library.stringCapacity) {
    throw CorruptIpb{};
  }
}

// Every reference read must name a string that starts inside the used bytes.
template <typename... Refs>
void CheckRefs(Refs... refs) {
  int32_t used = Library().stringBytesUsed;
  if (((refs < 0 || refs >= used) || ...)) throw CorruptIpb{};
}

void CheckModuleRefs(const SoftIPModule& module) {
  CheckRefs(module.name, module.moduleName);
  for (const SoftIPInput& i : module.inputs) {
    CheckRefs(i.text1, i.text2, i.text3, i.text4, i.text5, i.text6);
  }
  for (const SoftIPOutput& o : module.outputs) {
    CheckRefs(o.text1, o.text2, o.text3, o.text4, o.text5);
  }
  for (const SoftIPDeclaration& d : module.declarations) CheckRefs(d.text1, d.text2, d.text3);
  for (StringRef ref : module.busExtNames) CheckRefs(ref);
  for (StringRef ref : module.macroParameters) CheckRefs(ref);
  for (const SoftIPMacroStatement& s : module.macroStatements) CheckRefs(s.condition, s.statements);
  for (StringRef ref : module.equationParameters) CheckRefs(ref);
}

void CheckLibraryRefs() {
  const SoftIPLibrary& library = Library();
  for (const SoftIPCategoryEntry& entry : library.categories) CheckRefs(entry.name, entry.value);
  for (const SoftIPModule& module : library.modules) CheckModuleRefs(module);
}

// Every string ends with its NUL, so the string area does too; then no string
// read through a checked reference runs past the used bytes.
void CheckStringBytes() {
  const SoftIPLibrary& library = Library();
  int32_t used = library.stringBytesUsed;
  if (used > 0 && library.stringBuffer[used - 1] != '\0') throw CorruptIpb{};
}

// Reads the file into the library; false when the .dec file could not be set up.
bool ReadAndDump(IpbStream& stream, const std::string& ipbName) {
  TransferLibrary(stream);
  CheckLibraryRefs();
  if (!BeginDecodeOutput(ipbName)) return false;
  TransferStringBytes(stream);
  CheckStringBytes();
  DumpSoftIPCategories();
  for (const SoftIPModule& module : Library().modules) DumpModule(module);
  return true;
}

}  // namespace

void TransferLibrary(IpbStream& stream) {
  SoftIPLibrary& library = Library();
  stream.Transfer(&library.formatVersion, sizeof library.formatVersion);
  stream.Transfer(&library.stringBytesUsed, sizeof library.stringBytesUsed);
  stream.Transfer(&library.stringCapacity, sizeof library.stringCapacity);
  if (!stream.Writing()) CheckHeader();
  library.categories.Serialise(stream);
  library.modules.Serialise(stream);
}

void TransferStringBytes(IpbStream& stream) {
  SoftIPLibrary& library = Library();
  stream.Transfer(library.stringBuffer.get(), size_t(library.stringBytesUsed));
}

bool WriteIpbFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written;
  {
    IpbStream stream(file, IpbStream::Direction::kWrite);
    TransferLibrary(stream);
    TransferStringBytes(stream);
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
