#include "source/text_reader.h"

#include <sys/stat.h>

namespace qelc {

FilePtr OpenForReading(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
  return file;
}

bool TextReader::Fill() {
  len_ = std::fread(buffer_, 1, sizeof buffer_, file_);
  pos_ = 0;
  return len_ > 0;
}

}  // namespace qelc
