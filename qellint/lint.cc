#include "qellint/lint.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "compiler/compilation.h"
#include "compiler/lint_run.h"
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

// Which warnings are on, and whether they count as errors, after the -W
// options in their order: -Wno-NAME, -WNAME, -Werror. Returns false with a
// message for a name that no check has.
struct WarningSettings {
  std::map<std::string_view, bool, std::less<>> enabled;
  bool asErrors = false;

  bool Apply(const std::vector<std::string>& options) {
    for (const WarningCheck* check : AllWarningChecks()) enabled[check->name] = check->onByDefault;
    for (const std::string& option : options) {
      if (option == "error") {
        asErrors = true;
        continue;
      }
      bool on = !option.starts_with("no-");
      std::string_view name = std::string_view(option).substr(on ? 0 : 3);
      auto check = enabled.find(name);
      if (check == enabled.end()) {
        std::fprintf(stderr,
                     "qellint: -W%s: no warning check is named %.*s (see "
                     "--list-checks)\n",
                     option.c_str(), int(name.size()), name.data());
        return false;
      }
      check->second = on;
    }
    return true;
  }

  WarningSet On() const {
    WarningSet on;
    for (const auto& [name, isOn] : enabled) {
      if (isOn) on.insert(name);
    }
    return on;
  }
};

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
// every file is a compilation of its own, so they share nothing.
std::vector<FileLint> LintAll(const std::vector<std::string>& files, const WarningSet& on,
                              size_t maxErrors, unsigned jobs) {
  std::vector<FileLint> results(files.size());
  std::atomic<size_t> next = 0;
  auto work = [&] {
    for (size_t i = next++; i < files.size(); i = next++) {
      FileLint& result = results[i];
      result.status = LintSource(files[i], on, maxErrors, result.found, result.notShown);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < std::min<size_t>(jobs, files.size()); ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  return results;
}

// Lints every file and reports in the order the files were given; false when
// one could not be read.
bool LintFiles(const Options& options, const WarningSettings& settings,
               std::vector<Diagnostic>& findings, std::vector<ErrorsNotShown>& notShown) {
  bool allRead = true;
  std::vector<FileLint> results =
      LintAll(options.files, settings.On(), options.maxErrors, options.jobs);
  for (size_t i = 0; i < options.files.size(); ++i) {
    const std::string& file = options.files[i];
    std::vector<Diagnostic>& found = results[i].found;
    switch (results[i].status) {
      case LintStatus::kUnreadable:
        std::fprintf(stderr, "qellint: %s: cannot read the file\n", file.c_str());
        allRead = false;
        continue;
      case LintStatus::kNotASource:
        std::fprintf(stderr, "qellint: %s: not a DAF or IPF source (.daf or .ipf)\n", file.c_str());
        allRead = false;
        continue;
      case LintStatus::kLinted:
        break;
    }
    for (Diagnostic& finding : found) {
      if (finding.severity == Severity::kWarning && settings.asErrors) {
        finding.severity = Severity::kError;
      }
      findings.push_back(std::move(finding));
    }
    const NotShown& kept = results[i].notShown;
    if (kept.errors > 0) {
      notShown.push_back({file, kept.errors, kept.readToEnd, options.maxErrors, findings.size()});
    }
  }
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

  std::vector<Diagnostic> findings;
  std::vector<ErrorsNotShown> notShown;
  bool allRead = LintFiles(options, settings, findings, notShown);
  if (options.format == "json") {
    WriteJson(stdout, findings, notShown);
  } else if (options.format == "sarif") {
    WriteSarif(stdout, findings, notShown, QELC_VERSION);
  } else {
    WriteText(stdout, findings, notShown);
  }
  std::fflush(stdout);
  PrintSummary(findings);
  if (!allRead) return kStatusTrouble;
  for (const Diagnostic& finding : findings) {
    if (finding.severity == Severity::kError) return kStatusFindings;
  }
  return kStatusClean;
}

}  // namespace qelc::lint
