#pragma once

// Helpers shared by the soft-IP unit tests.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "softip/library.h"
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
