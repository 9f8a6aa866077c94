#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/dab_file.h"
#include "formats/ipb_library.h"

namespace qelc::dump {

// Why a file cannot be read; main prints "qeldump: NAME: what".
struct FileProblem : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class FileKind { kDab, kIpb };

// A file read whole and checked. The kind is told by the content: a DAB file
// starts with its version text, an IPB file with its version 0x90000.
struct InputFile {
  std::string name;
  std::string bytes;
  FileKind kind = FileKind::kDab;
  std::optional<DabFile> dab;
  SoftIPLibrary ipb;            // its string buffer stays unset
  std::string_view ipbStrings;  // the IPB file's string bytes, part of `bytes`

  std::string_view Strings() const { return kind == FileKind::kDab ? dab->Pool() : ipbStrings; }
};

// Reads and checks the file `name`; throws FileProblem.
std::unique_ptr<InputFile> LoadFile(const std::string& name);

// Checks a file's bytes as LoadFile does; throws FileProblem.
void CheckBytes(InputFile& file);

}  // namespace qelc::dump
