#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sections/registry.h"
#include "softip/library.h"
#include "source/compile_run.h"
#include "source/diagnostics.h"
#include "source/files.h"
#include "source/line_map.h"
#include "tables/daf_tables.h"
#include "tables/parse_state.h"

namespace qelc {

// One run of the compiler over one source. Everything the run reads, keeps,
// writes and says belongs to this object or passes through the file system and
// the sink it is given, so one process can run many compilations, on many
// threads at once.
class Compilation {
 public:
  Compilation(FileSystem& files, OutputSink& sink);
  Compilation(const Compilation&) = delete;
  Compilation& operator=(const Compilation&) = delete;

  // qelc's run over `sourceName`: the source is preprocessed into its .pre file
  // and compiled on the road its extension picks, keeping what `options` asks
  // for. Returns the exit status.
  int Run(const std::string& sourceName, RunOptions options);

  // Messages of the run are placed in the user's files (through #include
  // files and #define lines) rather than in the preprocessed text. It costs a
  // line map of the source, which the qelc program does without.
  void LocateInSources() {
    mapLines_ = true;
    diagnostics_.UseLineMap(&lineMap_);
  }

  // The pieces of the run, for a tool that drives the parsers itself (the
  // linter).

  // Preprocesses `sourceName` into `preName`, noting in `map` (may be null)
  // where each piece came from. A failure's message is said.
  enum class Preprocessed { kDone, kCannotOpen, kFailed };
  Preprocessed Preprocess(const std::string& sourceName, const std::string& preName, LineMap* map);
  // A fresh table block with every table's empty first entry, its pool taken
  // by the string pool; false when its memory cannot be had.
  bool PrepareDafTables();

  FileSystem& files() { return files_; }
  Diagnostics& diagnostics() { return diagnostics_; }
  ParseState& state() { return state_; }
  TableBlock& tables() { return *tables_.block; }
  SoftIPBuild& library() { return library_; }

 private:
  void CompileSource(const std::string& sourceName, RunOptions options);
  void CompileDaf(const std::string& preName, RunOptions options);
  void FinishWrittenFile(FilePtr file, const std::string& path);

  FileSystem& files_;
  Diagnostics diagnostics_;
  ParseState state_;
  DafTables tables_;
  SoftIPBuild library_;
  bool mapLines_ = false;
  LineMap lineMap_;
  // The preprocessor writes line by line; a large buffer keeps the writes to
  // the system few.
  std::unique_ptr<char[]> preBuffer_;
};

// The warning checks of every part of the compiler, by name.
std::vector<const WarningCheck*> AllWarningChecks();

}  // namespace qelc
