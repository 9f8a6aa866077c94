#pragma once

// Helpers shared by the soft-IP unit tests.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "softip/categories.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "tables/string_pool.h"

namespace qelc::test {

using Bytes = std::vector<unsigned char>;

// An empty library whose string buffer the pool works on, as at the start of a
// compile. No dump stream is open, so dumps go nowhere.
inline void UseEmptyLibrary() {
  ResetLibrary();
  SoftIPLibrary& library = Library();
  library.formatVersion = kIpbFormatVersion;
  library.stringCapacity = kSoftIPStringCapacity;
  library.stringBuffer.reset(new char[kSoftIPStringCapacity]());
  PoolSetUp(library.stringBuffer.get(), &library.stringBytesUsed, library.stringCapacity);
}

// Adds to the library a category section and two modules, the first of which
// uses every list once.
inline void AddFilledLibrary() {
  AddSoftIPCategory(1.5f, "'Timers'", "Timer blocks");
  SoftIPModule uart;
  SetModuleName(uart, "Uart");
  SetModuleStatement(uart, "uart", -56);
  AddPort(uart, PortKind::kInput, {"clk", "wire", "in", "1", 8, 2, "t", "u"});
  AddPort(uart, PortKind::kOutput, {"tx", "wire", "out", "1", 1, 0, "", ""});
  AddDeclaration(uart, "reg", "a", "8");
  AddBusExtName(uart, "}");
  AddMacroParameter(uart, "a");
  AddMacroStatement(uart, "\\PN\\is\\'X'", "a = b;\nb = a;\n");
  AddEquationParameter(uart, "e");
  AddModule(std::move(uart));
  SoftIPModule bare;
  SetModuleName(bare, "Uart");
  AddModule(std::move(bare));
}

// A directory of its own for the files of one test, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qelc-softip-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qelc::test
