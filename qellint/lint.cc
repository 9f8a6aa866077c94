#include "qellint/lint.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "compiler/compilation.h"
#include "compiler/lint_run.h"
#include "compiler/project_config.h"
#include "qellint/report.h"

namespace qelc::lint {

namespace {

constexpr int kStatusClean = 0;
constexpr int kStatusFindings = 1;
constexpr int kStatusTrouble = 2;

struct Options {
  std::string format = "text";
  std::vector<std::string> warningOptions;  // the words after each -W
  std::vector<std::string> files;
  bool listChecks = false;
  size_t maxErrors = kDefaultMaxErrors;
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
};

// The -W options in their order: -Wno-NAME, -WNAME, -Werror. They apply over
// the defaults and the project's settings of each source.
struct WarningSettings {
  bool asErrors = false;

  // Returns false with a message for a name that no check has.
  bool Apply(const std::vector<std::string>& options) {
    for (const std::string& option : options) {
      if (option == "error") {
        asErrors = true;
        continue;
      }
      bool on = !option.starts_with("no-");
      std::string_view name = std::string_view(option).substr(on ? 0 : 3);
      const WarningCheck* check = Find(name);
      if (!check) {
        std::fprintf(stderr,
                     "qellint: -W%s: no warning check is named %.*s (see "
                     "--list-checks)\n",
                     option.c_str(), int(name.size()), name.data());
        return false;
      }
      turned_.emplace_back(check->name, on);
    }
    return true;
  }

  // The checks on for a source under `config`: the defaults, the project's
  // settings, then the -W options, which win.
  WarningSet On(const ProjectConfig* config) const {
    WarningSet on = DefaultWarnings();
    if (config) config->Apply(on);
    for (const auto& [name, isOn] : turned_) {
      if (isOn) {
        on.insert(name);
      } else {
        on.erase(name);
      }
    }
    return on;
  }

 private:
  static const WarningCheck* Find(std::string_view name) {
    for (const WarningCheck* check : AllWarningChecks()) {
      if (check->name == name) return check;
    }
    return nullptr;
  }

  std::vector<std::pair<std::string_view, bool>> turned_;
};

// What one file is linted with: its checks and its project's settings.
struct FileSettings {
  WarningSet on;
  const ProjectConfig* config = nullptr;
};

// The project settings of each file, each qel.conf read once; false after a
// message on a line of one that says something not understood.
bool ReadProjectConfigs(const std::vector<std::string>& files, const WarningSettings& settings,
                        std::map<std::string, ProjectConfig>& configs,
                        std::vector<FileSettings>& perFile) {
  bool understood = true;
  for (const std::string& file : files) {
    std::optional<ProjectConfig> found = FindProjectConfig(file);
    const ProjectConfig* config = nullptr;
    if (found) {
      auto [entry, isNew] = configs.try_emplace(found->path, std::move(*found));
      config = &entry->second;
      if (isNew) {
        for (const auto& [line, words] : config->problems) {
          std::fprintf(stderr, "qellint: %s:%d: %s\n", config->path.c_str(), line, words.c_str());
        }
        understood = understood && config->problems.empty();
      }
    }
    perFile.push_back({settings.On(config), config});
  }
  return understood;
}

void ListChecks() {
  for (const WarningCheck* check : AllWarningChecks()) {
    std::printf("%-28s %-3s %.*s\n", std::string(check->name).c_str(),
                check->onByDefault ? "on" : "off", int(check->summary.size()),
                check->summary.data());
  }
}

// What linting one file gave.
struct FileLint {
  LintStatus status = LintStatus::kLinted;
  std::vector<Diagnostic> found;
  NotShown notShown;
};

// Lints the files on `jobs` threads, each taking the next file not yet taken;
// every file is a compilation of its own, so they share nothing. `take` gets
// each file's lint on this thread, in the files' order, as soon as the file
// is done: with more than one job the report is written while later files
// are linted, with one this thread lints and reports in turn.
void LintAll(const std::vector<std::string>& files, const std::vector<FileSettings>& settings,
             size_t maxErrors, unsigned jobs, const std::function<void(size_t, FileLint&)>& take) {
  auto lint = [&](size_t i) {
    FileLint result;
    const ProjectConfig* config = settings[i].config;
    result.status = LintSource(files[i], settings[i].on, maxErrors, result.found, result.notShown,
                               config ? config->RepeatedPinNames() : nullptr);
    return result;
  };
  if (jobs <= 1 || files.size() == 1) {
    for (size_t i = 0; i < files.size(); ++i) {
      FileLint result = lint(i);
      take(i, result);
    }
    return;
  }
  // A file's lint, once it is done.
  std::vector<std::optional<FileLint>> results(files.size());
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<size_t> next = 0;
  auto work = [&] {
    for (size_t i = next++; i < files.size(); i = next++) {
      FileLint result = lint(i);
      std::lock_guard lock(mutex);
      results[i] = std::move(result);
      finished.notify_one();
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < std::min<size_t>(jobs, files.size()); ++t) threads.emplace_back(work);
  for (size_t i = 0; i < files.size(); ++i) {
    FileLint result;
    {
      std::unique_lock lock(mutex);
      finished.wait(lock, [&] { return results[i].has_value(); });
      result = std::move(*results[i]);
    }
    take(i, result);
  }
  for (std::thread& thread : threads) thread.join();
}

// A finding in an included file that several sources reach is said once, with
// the #include lines of the sources after the first: the same words at the
// same range of the same file, reached from another source.
class SharedFindings {
 public:
  // False when `finding` was said already through another source: it is then
  // noted on the first one.
  bool IsNew(std::vector<Diagnostic>& findings, const Diagnostic& finding) {
    const std::vector<IncludeSite>& chain = finding.location.includedFrom;
    if (chain.empty()) return true;
    const Location& at = finding.location;
    std::string key = std::to_string(int(finding.severity)) + '\n' + finding.check + '\n' +
                      finding.message + '\n' + at.file + '\n' + std::to_string(at.line) + ':' +
                      std::to_string(at.column) + '-' + std::to_string(at.endLine) + ':' +
                      std::to_string(at.endColumn);
    auto [first, isNew] = said_.try_emplace(std::move(key));
    Said& said = first->second;
    const IncludeSite& source = chain.back();
    if (isNew) {
      said = {findings.size(), {source.file}};
      return true;
    }
    if (source.file == findings[said.index].location.includedFrom.back().file) return true;
    // Each other source is noted once, however many findings it shares.
    if (said.sources.insert(source.file).second) {
      findings[said.index].alsoReachedFrom.push_back(source);
    }
    return false;
  }

 private:
  struct Said {
    size_t index;                   // of the finding in the list said
    std::set<std::string> sources;  // the sources that reached it
  };
  std::map<std::string, Said> said_;
};

// Lints every file and gathers the findings in the order the files were
// given; false when one could not be read. `final` is told how many of the
// findings gathered so far are final (a finding in an included file may yet be
// reached from a later source, which adds a note to it).
bool LintFiles(const Options& options, const WarningSettings& settings,
               const std::vector<FileSettings>& perFile, std::vector<Diagnostic>& findings,
               std::vector<ErrorsNotShown>& notShown, const std::function<void(size_t)>& final) {
  bool allRead = true;
  SharedFindings shared;
  size_t firstShared = std::numeric_limits<size_t>::max();
  LintAll(options.files, perFile, options.maxErrors, options.jobs, [&](size_t i, FileLint& result) {
    const std::string& file = options.files[i];
    switch (result.status) {
      case LintStatus::kUnreadable:
        std::fprintf(stderr, "qellint: %s: cannot read the file\n", file.c_str());
        allRead = false;
        return;
      case LintStatus::kNotASource:
        std::fprintf(stderr, "qellint: %s: not a DAF or IPF source (.daf or .ipf)\n", file.c_str());
        allRead = false;
        return;
      case LintStatus::kLinted:
        break;
    }
    for (Diagnostic& finding : result.found) {
      if (finding.severity == Severity::kWarning && settings.asErrors) {
        finding.severity = Severity::kError;
      }
      if (!finding.location.includedFrom.empty())
        firstShared = std::min(firstShared, findings.size());
      if (shared.IsNew(findings, finding)) findings.push_back(std::move(finding));
    }
    const NotShown& kept = result.notShown;
    if (kept.errors > 0) {
      notShown.push_back({file, kept.errors, kept.readToEnd, options.maxErrors, findings.size()});
    }
    final(std::min(firstShared, findings.size()));
  });
  return allRead;
}

void PrintSummary(std::span<const Diagnostic> findings) {
  size_t errors = 0;
  for (const Diagnostic& finding : findings) errors += finding.severity == Severity::kError;
  size_t warnings = findings.size() - errors;
  std::fprintf(stderr, "%zu error%s, %zu warning%s\n", errors, errors == 1 ? "" : "s", warnings,
               warnings == 1 ? "" : "s");
}

}  // namespace

int RunQellint(int argc, const char* const* argv) {
  CLI::App app{
      "Reports every mistake in DAF and IPF sources, at its file, "
      "line and column.",
      "qellint"};
  Options options;
  app.set_version_flag("--version", "qellint " QELC_VERSION);
  app.add_option("--format", options.format, "Output: text (default), json or sarif")
      ->check(CLI::IsMember({"text", "json", "sarif"}));
  app.add_option("-W", options.warningOptions,
                 "-Werror: warnings count as errors; -Wno-NAME: turn check NAME off; "
                 "-WNAME: turn it on")
      ->type_name("CHECK")
      ->allow_extra_args(false);
  app.add_flag("--list-checks", options.listChecks, "List the warning checks and exit");
  app.add_option("--max-errors", options.maxErrors,
                 "Show at most N errors of each file, and then how many more it has "
                 "(default 20; 0: no limit)")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  app.add_option("-j,--jobs", options.jobs,
                 "Lint N files at once (default: the number of cores); the "
                 "output is the same")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  app.add_option("files", options.files, "DAF (.daf) and IPF (.ipf) sources")->type_name("FILE");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error);
    return status == 0 ? kStatusClean : kStatusTrouble;
  }
  if (options.listChecks) {
    ListChecks();
    return kStatusClean;
  }
  if (options.files.empty()) {
    std::fputs("qellint: no source given\n", stderr);
    std::fputs(app.help().c_str(), stderr);
    return kStatusTrouble;
  }
  WarningSettings settings;
  if (!settings.Apply(options.warningOptions)) return kStatusTrouble;
  std::map<std::string, ProjectConfig> configs;
  std::vector<FileSettings> perFile;
  // A project file that says something not understood is trouble; the
  // sources are still linted with what it says that is.
  bool configsUnderstood = ReadProjectConfigs(options.files, settings, configs, perFile);

  std::vector<Diagnostic> findings;
  std::vector<ErrorsNotShown> notShown;
  // The text is written as the findings become final; JSON and SARIF at the end.
  std::optional<TextReport> text;
  if (options.format == "text") text.emplace(stdout);
  bool allRead = LintFiles(options, settings, perFile, findings, notShown, [&](size_t final) {
    if (text) text->WriteUpTo(findings, notShown, final);
  });
  if (options.format == "json") {
    WriteJson(stdout, findings, notShown);
  } else if (options.format == "sarif") {
    WriteSarif(stdout, findings, notShown, QELC_VERSION);
  } else {
    text->WriteUpTo(findings, notShown, findings.size());
  }
  std::fflush(stdout);
  PrintSummary(findings);
  if (!allRead || !configsUnderstood) return kStatusTrouble;
  for (const Diagnostic& finding : findings) {
    if (finding.severity == Severity::kError) return kStatusFindings;
  }
  return kStatusClean;
}

}  // namespace qelc::lint
