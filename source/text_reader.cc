#include "source/text_reader.h"

#include <sys/stat.h>

#include <cstring>

namespace qelc {

FilePtr OpenForReading(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
  return file;
}

bool TextReader::Fill() {
  // A block of one carriage return that is held back leaves nothing to hand
  // out yet: read on.
  do {
    size_t held = heldReturn_ ? 1 : 0;
    if (heldReturn_) buffer_[0] = '\r';
    size_t read = std::fread(buffer_ + held, 1, kBlockSize - held, file_);
    size_t end = held + read;
    // A carriage return at the end of the block waits for the next block, unless
    // the file has ended.
    heldReturn_ = read > 0 && buffer_[end - 1] == '\r';
    if (heldReturn_) --end;

    // Drops each carriage return that stands before a line feed, moving the rest
    // of the block down; most blocks hold none and stay as they were read.
    auto* cr = static_cast<unsigned char*>(std::memchr(buffer_, '\r', end));
    unsigned char* out = cr ? cr : buffer_ + end;
    for (unsigned char* in = out; in < buffer_ + end; ++in) {
      if (*in == '\r' && in + 1 < buffer_ + end && in[1] == '\n') continue;
      *out++ = *in;
    }
    pos_ = 0;
    len_ = size_t(out - buffer_);
    buffer_[len_] = static_cast<unsigned char>(endMark_);
  } while (len_ == 0 && heldReturn_);
  return len_ > 0;
}

}  // namespace qelc
