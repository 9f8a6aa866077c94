// The reader on any bytes: the checks, then every view of a file that passed,
// its source (--source) and its page (--html) included.
// An input whose first byte is odd becomes a DAB file, so that the fuzzer gets
// past the size of the table block: the rest of the input is a count of 32-bit
// patches, the patches (a block offset and a value each), then the pool bytes.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "decompile/daf_source.h"
#include "decompile/ipf_source.h"
#include "formats/table_block.h"
#include "fuzz/fuzz_support.h"
#include "qeldump/diff.h"
#include "qeldump/field_lines.h"
#include "qeldump/input_file.h"
#include "qeldump/json_dump.h"
#include "report/report.h"

namespace {

FILE* sink = nullptr;

uint32_t Take32(const uint8_t*& data, size_t& size) {
  uint32_t value = 0;
  size_t piece = size < 4 ? size : 4;
  std::memcpy(&value, data, piece);
  data += piece;
  size -= piece;
  return value;
}

// Builds the DAB file in `block`, whose storage is kept from input to input: a
// fresh 2 MB allocation per input would cost more than reading it.
void DabImage(const uint8_t* data, size_t size, std::string& block) {
  block.assign(sizeof(qelc::TableBlock), '\0');
  std::memcpy(block.data(), qelc::kFormatVersion, sizeof qelc::kFormatVersion);
  uint32_t patches = Take32(data, size) % 64;
  std::vector<std::pair<uint32_t, uint32_t>> patched;
  for (uint32_t i = 0; i < patches && size > 0; ++i) {
    uint32_t offset = Take32(data, size) % (block.size() / 4) * 4;
    patched.emplace_back(offset, Take32(data, size));
  }
  int32_t header[] = {int32_t(size), 32000};
  std::memcpy(block.data() + offsetof(qelc::TableBlock, poolUsedSize), header, sizeof header);
  // Patches come last, so that they may damage the header too.
  for (auto [offset, value] : patched) std::memcpy(block.data() + offset, &value, 4);
  block.append(reinterpret_cast<const char*>(data), size);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  sink = std::fopen("/dev/null", "w");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qelc::dump::InputFile& file = *new qelc::dump::InputFile();
  file.name = "f";
  file.dab.reset();
  file.ipb = qelc::SoftIPLibrary{};
  if (size > 0 && (data[0] & 1) != 0) {
    DabImage(data + 1, size - 1, file.bytes);
  } else {
    file.bytes.assign(reinterpret_cast<const char*>(data), size);
  }
  try {
    qelc::dump::CheckBytes(file);
  } catch (const qelc::dump::FileProblem&) {
    return 0;
  }
  qelc::dump::WriteText(file, sink);
  qelc::dump::WriteJson(file, sink);
  qelc::dump::WriteDifferences(file, file, false, sink);
  // --source on the same file: whatever it cannot write it names.
  std::vector<std::string> problems;
  if (file.kind == qelc::dump::FileKind::kDab) {
    qelc::decompile::WriteDafSource(*file.dab, file.name, sink, problems);
  } else {
    qelc::decompile::WriteIpfSource(file.ipb, file.ipbStrings, file.name, sink, problems);
  }
  std::string page = file.kind == qelc::dump::FileKind::kDab
                         ? qelc::report::DabReport(*file.dab, file.name)
                         : qelc::report::IpbReport(file.ipb, file.ipbStrings, file.name);
  std::fwrite(page.data(), 1, page.size(), sink);
  try {
    qelc::dump::WriteField(
        file, file.kind == qelc::dump::FileKind::kDab ? "groups[0]" : "modules[0]", "", sink);
  } catch (const qelc::dump::FileProblem&) {
  }
  return 0;
}
