#include "formats/dab_file.h"

#include <algorithm>
#include <cstring>

#include "formats/field_map.h"
#include "formats/table_block.h"

namespace qelc {

namespace {

constexpr size_t kBlockSize = sizeof(TableBlock);

}  // namespace

DabFile::DabFile(std::string_view bytes) : bytes_(bytes), pool_(bytes.substr(kBlockSize)) {}

bool DabFile::Recognise(std::string_view bytes) {
  return bytes.substr(0, sizeof kFormatVersion) ==
         std::string_view(kFormatVersion, sizeof kFormatVersion);
}

std::optional<DabFile> DabFile::Open(std::string_view bytes, std::string& problem) {
  if (bytes.size() < kBlockSize) {
    problem = "too short for a DAB file: " + std::to_string(bytes.size()) +
              " bytes, where the table block alone takes " + std::to_string(kBlockSize);
    return std::nullopt;
  }
  DabFile file(bytes);
  int32_t used = file.Int(offsetof(TableBlock, poolUsedSize));
  int32_t capacity = file.Int(offsetof(TableBlock, poolCapacity));
  if (!Recognise(bytes)) {
    problem = "the format version is not the text \"" + std::string(kFormatVersion) + "\"";
  } else if (used < 0 || size_t(used) != file.pool_.size()) {
    problem = "the pool used size " + std::to_string(used) + " does not match the " +
              std::to_string(file.pool_.size()) + " bytes after the table block";
  } else if (capacity < used) {
    problem = "the pool capacity " + std::to_string(capacity) + " is below its used size " +
              std::to_string(used);
  } else if (used > 0 && file.pool_.back() != '\0') {
    problem = "the pool does not end with a NUL byte";
  }
  if (!problem.empty()) return std::nullopt;

  std::string path;
  auto skipZero = [&](size_t offset, size_t size) { return file.Zero(offset, size); };
  auto checkReference = [&](const FieldNode& field, size_t offset, const std::string& at) {
    if (field.kind != FieldKind::kString || !problem.empty()) return;
    int32_t ref = file.Int(offset);
    if (ref < 0 || ref >= used) {
      problem = at + " refers to pool offset " + std::to_string(ref) + ", outside the pool of " +
                std::to_string(used) + " bytes";
    }
  };
  WalkFields(DabBlockMap(), 0, true, path, skipZero, checkReference);
  if (!problem.empty()) return std::nullopt;
  return file;
}

int32_t DabFile::Int(size_t offset) const { return LoadField32(bytes_.data() + offset); }

bool DabFile::Zero(size_t offset, size_t size) const {
  // Eight bytes at a time: the walks ask this of every record of the block.
  const char* at = bytes_.data() + offset;
  const char* end = at + size;
  for (uint64_t word; at + sizeof word <= end; at += sizeof word) {
    std::memcpy(&word, at, sizeof word);
    if (word != 0) return false;
  }
  return std::all_of(at, end, [](char c) { return c == '\0'; });
}

std::string_view DabFile::StringAt(int32_t ref) const {
  std::string_view rest = pool_.substr(std::min(size_t(ref), pool_.size()));
  return rest.substr(0, rest.find('\0'));
}

bool DabFile::StartsString(int32_t ref) const { return ref == 0 || pool_[size_t(ref) - 1] == '\0'; }

}  // namespace qelc
