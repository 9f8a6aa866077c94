#include "qelcmd/build.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "compiler/lint_run.h"
#include "qelc/qelc.h"
#include "qelcmd/write_whole.h"
#include "qellint/report.h"

namespace qelc::qelcmd {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(bytes).str();
}

// The library names the files of a source run in `folder` as that run sees
// them; the user sees them from the working folder.
void PlaceInFolder(std::string& file, const fs::path& folder) {
  if (file.empty() || file.starts_with('/') || folder.empty()) return;
  file = (folder / file).string();
}

void PlaceInFolder(Location& at, const fs::path& folder) {
  PlaceInFolder(at.file, folder);
  for (IncludeSite& site : at.includedFrom) PlaceInFolder(site.file, folder);
}

void PlaceInFolder(Diagnostic& finding, const fs::path& folder) {
  PlaceInFolder(finding.location, folder);
  if (finding.stoppedAt) PlaceInFolder(*finding.stoppedAt, folder);
  for (Edit& edit : finding.fixes) PlaceInFolder(edit.at, folder);
}

bool HasErrors(const std::vector<Diagnostic>& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const Diagnostic& finding) {
    return finding.severity == Severity::kError;
  });
}

}  // namespace

SourceOutcome BuildOne(const BuildSource& build, bool warningsAsErrors,
                       const std::function<bool()>& interrupted) {
  SourceOutcome outcome;
  fs::path folder = build.path.parent_path();
  std::optional<std::string> text = ReadFile(build.path);
  if (!text) {
    outcome.problem = "cannot read the file";
    outcome.failed = true;
    return outcome;
  }
  // Named as qelc run in the source's folder names it, so that the compiled
  // file holds the same bytes.
  Source source{build.path.filename().string(), std::move(*text)};
  DirectoryResolver includes(folder.empty() ? "." : folder.string());

  LintOptions lintOptions;
  lintOptions.maxErrors = lint::kDefaultMaxErrors;
  lintOptions.resolver = &includes;
  LintResult lint = Lint(source, lintOptions);
  outcome.findings = std::move(lint.diagnostics);
  outcome.errorsNotShown = lint.errorsNotShown;
  outcome.readToEnd = lint.readToEnd;
  for (Diagnostic& finding : outcome.findings) {
    PlaceInFolder(finding, folder);
    if (warningsAsErrors && finding.severity == Severity::kWarning) {
      finding.severity = Severity::kError;
    }
  }
  if (HasErrors(outcome.findings) || outcome.errorsNotShown > 0) {
    outcome.failed = true;
    return outcome;
  }

  CompileOptions compileOptions;
  compileOptions.resolver = &includes;
  CompileResult compiled = Compile(source, compileOptions);
  if (compiled.status != 0 || !compiled.artifact) {
    for (Diagnostic& error : compiled.diagnostics) {
      PlaceInFolder(error, folder);
      outcome.findings.push_back(std::move(error));
    }
    outcome.problem = "not compiled (qelc's status " + std::to_string(compiled.status) + ")";
    outcome.failed = true;
    return outcome;
  }
  if (interrupted && interrupted()) return outcome;
  std::error_code error;
  fs::create_directories(build.outputFolder, error);
  fs::path target = build.outputFolder / compiled.artifact->name;
  std::string problem = WriteWhole(target, compiled.artifact->bytes);
  if (!problem.empty()) {
    outcome.problem = target.string() + ": cannot be written: " + problem;
    outcome.failed = true;
    return outcome;
  }
  outcome.written = std::move(target);
  return outcome;
}

namespace {

// The line a terminal shows while the build runs, written over in place.
class ProgressLine {
 public:
  ProgressLine(FILE* out, bool shown) : out_(out), shown_(shown) {}
  void Show(size_t done, size_t total, const fs::path& source) {
    if (!shown_) return;
    std::fprintf(out_, "\r\033[K[%zu/%zu] %s", done, total, source.c_str());
    std::fflush(out_);
  }
  void Clear() {
    if (shown_) std::fputs("\r\033[K", out_);
  }

 private:
  FILE* out_;
  bool shown_;
};

void WriteOutcome(FILE* out, const BuildSource& source, const SourceOutcome& outcome) {
  std::vector<lint::ErrorsNotShown> notShown;
  if (outcome.errorsNotShown > 0) {
    notShown.push_back({source.path.string(), outcome.errorsNotShown, outcome.readToEnd,
                        lint::kDefaultMaxErrors, outcome.findings.size()});
  }
  lint::WriteText(out, outcome.findings, notShown);
  if (!outcome.problem.empty()) {
    std::fprintf(out, "qel: %s: %s\n", source.path.c_str(), outcome.problem.c_str());
  }
}

}  // namespace

BuildCounts BuildAll(const std::vector<BuildSource>& sources, const BuildOptions& options,
                     FILE* out) {
  auto start = std::chrono::steady_clock::now();
  // A slot is empty until its source was built or passed over.
  struct Slot {
    bool settled = false;
    std::optional<SourceOutcome> outcome;
  };
  std::vector<Slot> slots(sources.size());
  std::mutex mutex;
  std::condition_variable settled;
  std::atomic<size_t> next = 0;
  std::atomic<bool> anyFailed = false;
  auto interrupted = [&] { return options.interrupted && options.interrupted(); };
  auto work = [&] {
    for (size_t i = next++; i < sources.size(); i = next++) {
      std::optional<SourceOutcome> outcome;
      if (!interrupted() && (options.keepGoing || !anyFailed)) {
        outcome = BuildOne(sources[i], options.warningsAsErrors, options.interrupted);
        if (outcome->failed) anyFailed = true;
      }
      std::lock_guard lock(mutex);
      slots[i] = {true, std::move(outcome)};
      settled.notify_all();
    }
  };
  std::vector<std::thread> threads;
  size_t threadCount = std::clamp<size_t>(options.jobs, 1, std::max<size_t>(sources.size(), 1));
  for (size_t t = 0; t < threadCount; ++t) threads.emplace_back(work);

  // The findings in the order of the sources, each as soon as its own and
  // all before it are known.
  BuildCounts counts;
  ProgressLine progress(out, options.progress);
  for (size_t i = 0; i < sources.size(); ++i) {
    std::unique_lock lock(mutex);
    settled.wait(lock, [&] { return slots[i].settled; });
    std::optional<SourceOutcome> outcome = std::move(slots[i].outcome);
    lock.unlock();
    if (!outcome) continue;
    progress.Clear();
    WriteOutcome(out, sources[i], *outcome);
    counts.built += outcome->written.empty() ? 0 : 1;
    counts.failed += outcome->failed ? 1 : 0;
    for (const Diagnostic& finding : outcome->findings) {
      counts.warnings += finding.severity == Severity::kWarning ? 1 : 0;
    }
    progress.Show(i + 1, sources.size(), sources[i].path);
  }
  for (std::thread& thread : threads) thread.join();
  counts.interrupted = interrupted();
  progress.Clear();
  if (options.progress) {
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::fprintf(out, "built %zu, failed %zu, %zu warning%s in %.1f s\n", counts.built,
                 counts.failed, counts.warnings, counts.warnings == 1 ? "" : "s", seconds.count());
  }
  std::fflush(out);
  return counts;
}

}  // namespace qelc::qelcmd
