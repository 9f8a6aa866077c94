#include "compiler/compilation.h"

#include <algorithm>
#include <cstdio>

#include "sections/checks.h"
#include "softip/checks.h"
#include "softip/soft_ip_driver.h"
#include "source/ascii.h"
#include "source/compile_run.h"
#include "source/expect.h"
#include "source/preprocessor.h"

namespace qelc {

namespace {

constexpr size_t kPreBufferSize = 1 << 20;

}  // namespace

Compilation::Compilation(FileSystem& files, OutputSink& sink)
    : files_(files), diagnostics_(sink), state_(diagnostics_) {}

int Compilation::Run(const std::string& sourceName, RunOptions options) {
  int status = 0;
  try {
    CompileSource(sourceName, options);
  } catch (const FatalExit& exit) {
    status = exit.status;
  }
  // A run that ended early leaves its dump as it stands, written out before the
  // string buffers that its last lines point into go.
  state_.dump.Drop();
  return status;
}

// Closes a file that was written; a failed write ends the run.
void Compilation::FinishWrittenFile(FilePtr file, const std::string& path) {
  bool failed = std::ferror(file.get()) != 0;
  failed = std::fclose(file.release()) != 0 || failed;
  if (failed) {
    diagnostics_.WriteFailed(path);
  }
}

Compilation::Preprocessed Compilation::Preprocess(const std::string& sourceName,
                                                  const std::string& preName, LineMap* map) {
  // A source that cannot be read and a .pre file that cannot be created end
  // qelc's run in silence.
  FilePtr source = files_.OpenForReading(sourceName);
  if (!source) return Preprocessed::kCannotOpen;
  FilePtr pre = files_.Create(preName);
  if (!pre) return Preprocessed::kCannotOpen;
  // A file on the disk gets a large buffer; a file in memory is one already.
  if (fileno(pre.get()) >= 0) {
    if (!preBuffer_) preBuffer_ = std::make_unique_for_overwrite<char[]>(kPreBufferSize);
    std::setvbuf(pre.get(), preBuffer_.get(), _IOFBF, kPreBufferSize);
  }

  DefineTable defines;
  BranchStack branches;
  if (!qelc::Preprocess(source.get(), sourceName, pre.get(), defines, branches, diagnostics_,
                        files_, map)) {
    return Preprocessed::kFailed;
  }
  if (!branches.empty()) {
    // The innermost #ifdef or #ifndef left open, where a line map knows it.
    Location open{{sourceName, 1, 1, 1, 1}, {}};
    if (map && !map->OpenConditionals().empty()) {
      const SourcePoint& at = map->OpenConditionals().back();
      open = map->Locate(at, at);
    }
    diagnostics_.Error(
        "The number of #ifdef and #ifndef statement doesn't "
        "match the number of #endif "
        "statement",
        Stream::kStandardError, "unmatched-conditional", "#ifdef or #ifndef without its #endif",
        open);
    return Preprocessed::kFailed;
  }
  source.reset();
  FinishWrittenFile(std::move(pre), preName);
  return Preprocessed::kDone;
}

void Compilation::CompileSource(const std::string& sourceName, RunOptions options) {
  size_t dot = sourceName.rfind('.');
  std::string preName = sourceName.substr(0, dot) + ".pre";
  bool isSoftIP = EqualsNoCase(sourceName.substr(dot + 1, 3), "ipf");

  switch (Preprocess(sourceName, preName, mapLines_ ? &lineMap_ : nullptr)) {
    case Preprocessed::kCannotOpen:
      return;
    case Preprocessed::kFailed:
      diagnostics_.Exit(1);
    case Preprocessed::kDone:
      break;
  }

  if (isSoftIP) {
    CompileSoftIP(state_, library_, files_, preName, options);
  } else {
    CompileDaf(preName, options);
  }
}

bool Compilation::PrepareDafTables() {
  if (!PrepareTables(tables_, state_.pool)) return false;
  EmptySectionTables(state_, *tables_.block);
  return true;
}

void Compilation::CompileDaf(const std::string& preName, RunOptions options) {
  ParseState& s = state_;
  FileSystem::Unemptied out = files_.CreateUnemptied("Out.txt");
  if (!out.file) {
    diagnostics_.Fail("Fail to open out.txt file", Stream::kStandardOutput, "write-failed",
                      "cannot create Out.txt");
  }
  s.dump.Open(std::move(out.file), "Out.txt", out.mustEmpty);
  if (!PrepareDafTables()) diagnostics_.Exit(1);
  FilePtr pre = files_.OpenForReading(preName);
  if (!pre) return;
  s.dump.SettleIfSame(pre.get(), files_);
  s.tokens.Open(std::move(pre));
  NextToken(s);
  diagnostics_.Print(MessageKind::kProgress, "Begins parsing\n");
  ExpectText(s, "Device");
  SkipToken(s);  // the device name, which the DAB file does not keep

  // sections -> section*, up to the end of input
  DafRun daf{*tables_.block, {}, {}};
  while (!TokenText(s).empty()) ReadNextSection(s, daf);
  CheckAcrossSections(s, daf);

  s.dump.Flush();
  WriteDabFile(tables_, OutputName(preName, ".dab"), files_, diagnostics_);
  s.tokens.Close();
  s.dump.Close();
  s.pool.Release();
  PrintRunSummary(s);
  if (!options.keepPreprocessed) files_.Remove(preName);
}

std::vector<const WarningCheck*> AllWarningChecks() {
  std::vector<const WarningCheck*> checks;
  for (auto list : {SourceWarningChecks(), SectionWarningChecks(), SoftIPWarningChecks()}) {
    checks.insert(checks.end(), list.begin(), list.end());
  }
  std::sort(checks.begin(), checks.end(),
            [](const WarningCheck* a, const WarningCheck* b) { return a->name < b->name; });
  return checks;
}

}  // namespace qelc
