#pragma once

// The qelc compiler as a library: compiles a DAF or IPF source held in memory
// and hands back everything the qelc program would print and write. Every call
// is a compilation of its own; calls on different threads share nothing.

#include <optional>
#include <string>
#include <vector>

#include "qelc/messages.h"

namespace qelc {

// Reads the files that a source includes, by the name its #include line gives.
class IncludeResolver {
 public:
  virtual ~IncludeResolver() = default;
  // The file's bytes, or nothing when it cannot be read.
  virtual std::optional<std::string> Read(const std::string& name) = 0;
};

// Included files from the disk, relative to `directory` (a name that starts
// with '/' is taken as it is), as qelc resolves them when run in that directory.
class DirectoryResolver : public IncludeResolver {
 public:
  explicit DirectoryResolver(std::string directory = ".") : directory_(std::move(directory)) {}
  std::optional<std::string> Read(const std::string& name) override;

 private:
  std::string directory_;
};

struct CompileRequest {
  // The source's name as qelc's command line gives it: its extension picks the
  // language (.daf or .ipf) and the files written are named after it.
  std::string sourceName;
  std::string sourceText;
  // Empty, or "-d": keep the .pre file and decode an IPB file into a .dec file.
  std::string option;
  // Reads the included files; null: a DirectoryResolver of the working directory.
  IncludeResolver* resolver = nullptr;
  // Also told every message as it is said; may be null.
  OutputSink* sink = nullptr;
  // Warning checks are run, each as its default says (see qellint
  // --list-checks), and errors are said in the linter's words; the results
  // then hold the warnings beside the errors. Without it an error's text is
  // qelc's console line.
  bool warnings = false;
};

// A file that the compilation left, with its bytes.
struct OutputFile {
  std::string name;
  std::string bytes;
};

struct CompileResult {
  // The qelc program's exit status for the same source.
  int status = 0;
  // What the qelc program prints on its standard output and standard error.
  std::string standardOutput;
  std::string standardError;
  // The files the qelc program leaves, in the order they were created: the
  // .pre file (kept with -d and after an error), Out.txt, the DAB or IPB file,
  // the .dec file.
  std::vector<OutputFile> files;
  // The errors (and the warnings, when asked for), each at its place in the
  // user's files.
  std::vector<Message> diagnostics;
};

CompileResult Compile(const CompileRequest& request);

// The qelc program's compile: the source and the files it includes are read
// from the disk, the files are written into the working directory as the run
// goes, and the console text is printed on the process's standard output and
// standard error as it is said. Returns the exit status.
int CompileInWorkingDirectory(const std::string& sourceName, const std::string& option);

}  // namespace qelc
