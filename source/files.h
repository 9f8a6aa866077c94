#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "source/text_reader.h"

namespace qelc {

// The files one compilation reads and writes: the source and its includes, the
// .pre file, Out.txt, the DAB or IPB file and the .dec file. The compiler opens
// them all through here, so that the same run can work on the disk (the qelc
// program) or in memory (the library, the linter, an editor).
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // A file to read; null when it cannot be opened (a directory counts as such).
  virtual FilePtr OpenForReading(const std::string& path) = 0;
  // A new, empty file to write; null when it cannot be created.
  virtual FilePtr Create(const std::string& path) = 0;

  // A file to write, created as Create creates it, save that a file already
  // there may keep its old bytes (`mustEmpty`) until its writer empties it
  // (EmptyOldBytes) before the first write: freeing a large file's blocks
  // takes time that a writer on a thread of its own can spend instead.
  struct Unemptied {
    FilePtr file;
    bool mustEmpty = false;
  };
  virtual Unemptied CreateUnemptied(const std::string& path) { return {Create(path)}; }

  virtual void Remove(const std::string& path) = 0;
  // True when `read`, a file opened for reading, is `written`, a file being
  // written (by any name): the .pre file cannot include itself.
  virtual bool SameFile(FILE* read, FILE* written) = 0;
};

// Empties a file that CreateUnemptied left with its old bytes.
void EmptyOldBytes(FILE* file);

// The files of the working directory, as the qelc program sees them.
class DiskFiles : public FileSystem {
 public:
  FilePtr OpenForReading(const std::string& path) override;
  FilePtr Create(const std::string& path) override;
  Unemptied CreateUnemptied(const std::string& path) override;
  void Remove(const std::string& path) override;
  bool SameFile(FILE* read, FILE* written) override;
};

// Reads the working directory's files as DiskFiles does, but the files written
// are anonymous temporary files (in the system's temporary folder) that leave
// nothing in the directory and are gone with this object: a tool that reads a
// large source (the linter) keeps its preprocessed text out of memory, as qelc
// does with its .pre file.
class ScratchFiles : public DiskFiles {
 public:
  ScratchFiles() = default;
  ~ScratchFiles() override;
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  FilePtr OpenForReading(const std::string& path) override;
  FilePtr Create(const std::string& path) override;
  // Every file written is a fresh one.
  Unemptied CreateUnemptied(const std::string& path) override {
    return FileSystem::CreateUnemptied(path);
  }
  void Remove(const std::string& path) override;

 private:
  // Each file written, by its name: a descriptor of its own that keeps the
  // file alive after the stream that wrote it is closed.
  std::map<std::string, int> written_;
};

// Files written are kept in memory; a file read is one written in this run, or
// else what `read` gives for its name (nothing: it cannot be opened).
class MemoryFiles : public FileSystem {
 public:
  using Reader = std::function<std::optional<std::string>(const std::string& path)>;
  explicit MemoryFiles(Reader read);
  ~MemoryFiles() override;
  MemoryFiles(const MemoryFiles&) = delete;
  MemoryFiles& operator=(const MemoryFiles&) = delete;

  FilePtr OpenForReading(const std::string& path) override;
  FilePtr Create(const std::string& path) override;
  void Remove(const std::string& path) override;
  bool SameFile(FILE* read, FILE* written) override;

  struct File {
    std::string name;
    std::string bytes;
  };
  // The files written and not removed, in the order they were created; each
  // holds what was written up to its closing.
  std::vector<File> Written() const;

 private:
  struct Buffer;
  Buffer* Find(const std::string& path) const;

  Reader read_;
  std::vector<std::unique_ptr<Buffer>> written_;
  // Files written and then removed or written again, kept while this object
  // lives: a stream still open on one writes into it.
  std::vector<std::unique_ptr<Buffer>> retired_;
  // Every text opened for reading (read through `read_`, or a copy of a file
  // written) lives as long as this object.
  std::vector<std::unique_ptr<std::string>> readTexts_;
  // The name each stream was opened by (a closed stream's entry may stay; a
  // new stream at the same address replaces it).
  std::map<FILE*, std::string> names_;
};

}  // namespace qelc
