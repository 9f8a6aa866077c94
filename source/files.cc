#include "source/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace qelc {

FilePtr DiskFiles::OpenForReading(const std::string& path) { return qelc::OpenForReading(path); }

FilePtr DiskFiles::Create(const std::string& path) {
  return FilePtr(std::fopen(path.c_str(), "wb"));
}

// The file as fopen's "wb" opens it, less the emptying (O_TRUNC) of a file
// that is there. Only a regular file that holds bytes must be emptied later:
// O_TRUNC leaves a FIFO or a device as it is.
FileSystem::Unemptied DiskFiles::CreateUnemptied(const std::string& path) {
  int descriptor = open(path.c_str(), O_WRONLY | O_CREAT, 0666);
  if (descriptor < 0) return {};
  FilePtr file(fdopen(descriptor, "wb"));
  if (!file) {
    close(descriptor);
    return {};
  }
  struct stat status;
  bool mustEmpty = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
  return {std::move(file), mustEmpty};
}

void EmptyOldBytes(FILE* file) {
  // Not looked at: a regular file open for writing fails to be emptied only
  // on an I/O error of the disk, which its writes are then likely to meet too.
  int failed = ftruncate(fileno(file), 0);
  (void)failed;
}

void DiskFiles::Remove(const std::string& path) { std::remove(path.c_str()); }

bool DiskFiles::SameFile(FILE* read, FILE* written) {
  struct stat first, second;
  return fstat(fileno(read), &first) == 0 && fstat(fileno(written), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

namespace {

// One spelling per file: dev.pre, ./dev.pre and a/../dev.pre are one file.
std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

// A stream over `text`; an empty text reads as an empty file.
FilePtr ReadFrom(std::string_view text) {
  if (text.empty()) return FilePtr(std::fopen("/dev/null", "rb"));
  return FilePtr(fmemopen(const_cast<char*>(text.data()), text.size(), "rb"));
}

}  // namespace

ScratchFiles::~ScratchFiles() {
  for (const auto& [name, descriptor] : written_) close(descriptor);
}

FilePtr ScratchFiles::OpenForReading(const std::string& path) {
  auto found = written_.find(Normal(path));
  if (found == written_.end()) return DiskFiles::OpenForReading(path);
  // The file opened afresh through its kept descriptor: an offset of its own,
  // at the start, whatever the stream writing it (still open, when a source
  // includes its own .pre file) or another reader has moved.
  std::string self = "/proc/self/fd/" + std::to_string(found->second);
  int descriptor = open(self.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  FILE* file = fdopen(descriptor, "rb");
  if (!file) close(descriptor);
  return FilePtr(file);
}

FilePtr ScratchFiles::Create(const std::string& path) {
  Remove(path);
  FilePtr file(std::tmpfile());
  if (!file) return nullptr;
  int kept = fcntl(fileno(file.get()), F_DUPFD_CLOEXEC, 0);
  if (kept < 0) return nullptr;
  written_[Normal(path)] = kept;
  return file;
}

void ScratchFiles::Remove(const std::string& path) {
  auto found = written_.find(Normal(path));
  if (found == written_.end()) return;
  close(found->second);
  written_.erase(found);
}

// A file written in memory: the stream's buffer, which the C library keeps up
// to date on every flush and on closing.
struct MemoryFiles::Buffer {
  std::string name;
  char* data = nullptr;
  size_t size = 0;
  ~Buffer() { std::free(data); }
};

MemoryFiles::MemoryFiles(Reader read) : read_(std::move(read)) {}
MemoryFiles::~MemoryFiles() = default;

MemoryFiles::Buffer* MemoryFiles::Find(const std::string& path) const {
  std::string name = Normal(path);
  for (const auto& buffer : written_) {
    if (buffer->name == name) return buffer.get();
  }
  return nullptr;
}

FilePtr MemoryFiles::OpenForReading(const std::string& path) {
  std::string text;
  if (const Buffer* buffer = Find(path)) {
    // A file written is read from a copy of what it holds now: the stream
    // writing it may still be open (a source that includes its own .pre file),
    // and its next write or its closing may move the buffer.
    text.assign(buffer->data ? buffer->data : "", buffer->size);
  } else {
    std::optional<std::string> read = read_(path);
    if (!read) return nullptr;
    text = std::move(*read);
  }
  readTexts_.push_back(std::make_unique<std::string>(std::move(text)));
  FilePtr file = ReadFrom(*readTexts_.back());
  if (file) names_[file.get()] = Normal(path);
  return file;
}

FilePtr MemoryFiles::Create(const std::string& path) {
  std::string name = Normal(path);
  auto old = std::find_if(written_.begin(), written_.end(),
                          [&](const auto& buffer) { return buffer->name == name; });
  auto fresh = std::make_unique<Buffer>();
  fresh->name = name;
  Buffer* buffer = fresh.get();
  if (old == written_.end()) {
    written_.push_back(std::move(fresh));
  } else {
    // A stream may still be writing the old text: it is kept, and the name
    // keeps its place in the order of the files written.
    retired_.push_back(std::exchange(*old, std::move(fresh)));
  }
  FilePtr file(open_memstream(&buffer->data, &buffer->size));
  if (file) names_[file.get()] = buffer->name;
  return file;
}

void MemoryFiles::Remove(const std::string& path) {
  std::string name = Normal(path);
  auto removed = std::find_if(written_.begin(), written_.end(),
                              [&](const auto& buffer) { return buffer->name == name; });
  if (removed == written_.end()) return;
  // A stream may still be writing it.
  retired_.push_back(std::move(*removed));
  written_.erase(removed);
}

bool MemoryFiles::SameFile(FILE* read, FILE* written) {
  auto first = names_.find(read), second = names_.find(written);
  return first != names_.end() && second != names_.end() && first->second == second->second;
}

std::vector<MemoryFiles::File> MemoryFiles::Written() const {
  std::vector<File> files;
  for (const auto& buffer : written_) {
    files.push_back({buffer->name, std::string(buffer->data ? buffer->data : "", buffer->size)});
  }
  return files;
}

}  // namespace qelc
