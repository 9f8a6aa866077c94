#include "qeldump/input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "formats/ipb_file.h"

namespace qelc::dump {

namespace {

// The first four bytes of every IPB file: its version 0x90000, little-endian.
constexpr std::string_view kIpbVersionBytes("\x00\x00\x09\x00", 4);

}  // namespace

void CheckBytes(InputFile& file) {
  std::string_view bytes = file.bytes;
  std::string problem;
  if (DabFile::Recognise(bytes)) {
    file.kind = FileKind::kDab;
    file.dab = DabFile::Open(bytes, problem);
    if (!file.dab) throw FileProblem("damaged DAB file: " + problem);
  } else if (bytes.substr(0, kIpbVersionBytes.size()) == kIpbVersionBytes) {
    file.kind = FileKind::kIpb;
    try {
      file.ipbStrings = ReadIpbBytes(bytes, file.ipb);
    } catch (const CorruptIpb& corrupt) {
      throw FileProblem(std::string("damaged IPB file: ") + corrupt.reason);
    }
  } else {
    throw FileProblem(
        "not a DAB or IPB file: it starts with neither the DAB version text \"6.0.0.0.1\" nor "
        "the IPB version 0x90000");
  }
}

std::unique_ptr<InputFile> LoadFile(const std::string& name) {
  auto file = std::make_unique<InputFile>();
  file->name = name;
  std::unique_ptr<FILE, int (*)(FILE*)> stream(std::fopen(name.c_str(), "rb"), &std::fclose);
  if (!stream) throw FileProblem(std::strerror(errno));
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream.get())) > 0)
    file->bytes.append(buffer, got);
  if (std::ferror(stream.get())) throw FileProblem(std::strerror(errno));
  CheckBytes(*file);
  return file;
}

}  // namespace qelc::dump
