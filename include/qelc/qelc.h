#pragma once

// The qelc compiler as a library: compiles a DAF or IPF source held in memory
// and hands back the compiled file, the diagnostics and everything the qelc
// program would print and write; lints a source as qellint does, reading on
// after each error. Every call is a compilation of its own; calls on different
// threads share nothing.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qelc/diagnostic.h"
#include "qelc/facts.h"

namespace qelc {

// Reads the files that a source includes, by the name its #include line gives.
class IncludeResolver {
 public:
  virtual ~IncludeResolver() = default;
  // The file's bytes, or nothing when it cannot be read.
  virtual std::optional<std::string> Read(const std::string& name) = 0;
};

// Included files from the disk, relative to `directory` (a name that starts
// with '/' is taken as it is), as qelc resolves them when run in that
// directory.
class DirectoryResolver : public IncludeResolver {
 public:
  explicit DirectoryResolver(std::string directory = ".") : directory_(std::move(directory)) {}
  std::optional<std::string> Read(const std::string& name) override;

 private:
  std::string directory_;
};

// A source to compile or lint: its name as qelc's command line gives it (its
// extension, .daf or .ipf, picks the language, and the files written are named
// after it) and its bytes.
struct Source {
  std::string name;
  std::string text;
};

struct CompileOptions {
  // Keep the preprocessed text (the .pre file), as qelc's -d does.
  bool keepPreprocessed = false;
  // Decode an IPB file into its .dec file, as qelc's -d does.
  bool decode = false;
  // Run the warning checks that are on by default (qellint --list-checks) and
  // say errors in the linter's words; without it the diagnostics hold the
  // errors alone, each in the words of qelc's console line.
  bool warnings = false;
  // Reads the included files; null: a DirectoryResolver of the working
  // directory.
  IncludeResolver* resolver = nullptr;
  // Also told every diagnostic as it is said; may be empty.
  std::function<void(const Diagnostic&)> onDiagnostic;
};

// A file that the compilation left, with its bytes.
struct OutputFile {
  std::string name;
  std::string bytes;
};

struct CompileResult {
  // The qelc program's exit status for the same source (2 for a name without
  // the .daf or .ipf extension, which is not compiled).
  int status = 0;
  // The compiled DAB or IPB file: its name and bytes, when one was written.
  std::optional<OutputFile> artifact;
  // Every file the qelc program leaves, in the order they were created: the
  // .pre file (kept on request and after an error), Out.txt, the DAB or IPB
  // file, the .dec file.
  std::vector<OutputFile> files;
  // The errors (and the warnings, when asked for), each at its range in the
  // user's files.
  std::vector<Diagnostic> diagnostics;
  // What the qelc program prints on its standard output and standard error.
  std::string standardOutput;
  std::string standardError;
};

CompileResult Compile(const Source& source, const CompileOptions& options = {});

struct LintOptions {
  // Errors kept of the source (0: all); the rest are only counted.
  size_t maxErrors = 20;
  // Warning checks turned on and off over their defaults, by name.
  std::vector<std::string> enable;
  std::vector<std::string> disable;
  // Reads the included files; null: a DirectoryResolver of the working
  // directory.
  IncludeResolver* resolver = nullptr;
  // Also keep what the reading found in the source (LintResult::facts).
  bool facts = false;
  // Read the project's qel.conf, the nearest one at or above the folder of
  // the source's name on the disk, as qellint does: its checks are turned on
  // and off before `enable` and `disable`, and its repeated pin names replace
  // the default ones. A line of it that says nothing understood is an error
  // of the check project-config at that line, ahead of the source's findings.
  bool projectConfig = false;
};

struct LintResult {
  // False for a name without the .daf or .ipf extension, which is not read.
  bool isSource = true;
  // The findings in the order of the reading: the first error is the one
  // qelc stops at.
  std::vector<Diagnostic> diagnostics;
  // The errors after the last one kept; `readToEnd` is false when so many
  // came that the reading stopped.
  size_t errorsNotShown = 0;
  bool readToEnd = true;
  // With LintOptions::facts: the sections, the names defined and used, the
  // includes and the conditional blocks, each at its range in the user's files.
  SourceFacts facts;
};

// What qellint finds in the source, with its recovery after errors.
LintResult Lint(const Source& source, const LintOptions& options = {});

struct FormatResult {
  // The source laid out in the layout qeldump --source writes, its comments
  // and directive lines kept; empty when it is refused.
  std::optional<std::string> text;
  // Why not, in one sentence an editor shows: the source's first error, or the
  // line at which the layout would compile differently.
  std::string refusal;
};

// Formats the source; the result compiles to the same bytes and is its own
// format (both are checked before it is given back).
FormatResult Format(const Source& source, IncludeResolver* resolver = nullptr);

}  // namespace qelc
