#include "qelcmd/command_line.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "qelcmd/build.h"
#include "qelcmd/explain.h"
#include "qelcmd/format_files.h"
#include "qelcmd/new_source.h"
#include "qelcmd/sources.h"
#include "qeldump/run.h"
#include "qellint/lint.h"
#include "source/suggest.h"

namespace qelc::qelcmd {

namespace {

constexpr int kStatusDone = 0;
constexpr int kStatusFailed = 1;
constexpr int kStatusUsage = 2;

using Arguments = std::vector<std::string>;

struct Command {
  std::string_view name;
  std::string_view summary;
  int (*run)(const Arguments& arguments, const CatchStopSignals& catchStop);
};

// The arguments as an argument vector whose first word is the command's name.
std::vector<const char*> ArgumentVector(std::string_view name, const Arguments& arguments,
                                        std::string& nameText) {
  nameText = "qel " + std::string(name);
  std::vector<const char*> vector{nameText.c_str()};
  for (const std::string& argument : arguments) vector.push_back(argument.c_str());
  return vector;
}

// Parses with CLI11 as the other tools do: --help prints the help (status 0),
// a bad option its message and the status of a usage error.
std::optional<int> Parse(CLI::App& app, const Arguments& arguments) {
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kStatusDone : kStatusUsage;
  }
  return std::nullopt;
}

int Build(const Arguments& arguments, const CatchStopSignals& catchStop) {
  CLI::App app(
      "Checks and compiles DAF and IPF sources, and the sources below folders, into "
      "their DAB and IPB files.",
      "qel build");
  BuildOptions options;
  options.jobs = std::max(1u, std::thread::hardware_concurrency());
  std::string outputRoot;
  std::vector<std::string> paths;
  app.add_option("-j,--jobs", options.jobs, "Build N sources at once (default: the cores)")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
  app.add_option("-o,--output", outputRoot,
                 "Write the compiled files below DIR, in the folders of their sources below "
                 "the PATH given")
      ->type_name("DIR");
  app.add_flag("--werror", options.warningsAsErrors, "Warnings count as errors");
  app.add_flag("--keep-going", options.keepGoing,
               "Go on after a source that failed (default: start no more)");
  app.add_option("PATH", paths, "DAF and IPF sources, and folders of them")->required();
  if (std::optional<int> status = Parse(app, arguments)) return *status;

  SourceList list = CollectSources(
      paths, outputRoot.empty() ? std::nullopt : std::optional<std::filesystem::path>(outputRoot));
  if (!list.problem.empty()) {
    std::fprintf(stderr, "qel: %s\n", list.problem.c_str());
    return kStatusUsage;
  }
  options.progress = ::isatty(STDERR_FILENO) != 0;
  options.interrupted = catchStop();
  BuildCounts counts = BuildAll(list.sources, options, stderr);
  return counts.failed > 0 ? kStatusFailed : kStatusDone;
}

// qellint and qeldump under their qel names, with their own options.
int Check(const Arguments& arguments, const CatchStopSignals&) {
  std::string name;
  std::vector<const char*> vector = ArgumentVector("check", arguments, name);
  return lint::RunQellint(int(vector.size()), vector.data());
}

int Show(const Arguments& arguments, const CatchStopSignals&) {
  std::string name;
  std::vector<const char*> vector = ArgumentVector("show", arguments, name);
  return dump::RunQeldump(int(vector.size()), vector.data());
}

int Fmt(const Arguments& arguments, const CatchStopSignals&) {
  CLI::App app("Lays DAF and IPF sources out in the canonical layout, in place.", "qel fmt");
  bool check = false;
  std::vector<std::string> files;
  app.add_flag("--check", check,
               "Write nothing; list the files that would change (status 1 when any would)");
  app.add_option("FILE", files, "DAF and IPF sources")->required();
  if (std::optional<int> status = Parse(app, arguments)) return *status;
  return FormatFiles(files, check, stdout, stderr);
}

int Explain(const Arguments& arguments, const CatchStopSignals&) {
  CLI::App app("Tells what a check of the linter finds, with an example.", "qel explain");
  std::string name;
  app.add_option("CHECK", name, "The check's name, as the linter shows it in brackets")->required();
  if (std::optional<int> status = Parse(app, arguments)) return *status;
  std::vector<CheckHelp> checks = DocumentedChecks(LintManual());
  Suggestion suggestion(name);
  for (const CheckHelp& check : checks) {
    if (check.name == name) {
      std::printf("%s %s", check.name.c_str(), check.text.c_str());
      return kStatusDone;
    }
    suggestion.Consider(check.name);
  }
  std::fprintf(stderr, "qel: no check is named '%s'%s\n", name.c_str(), suggestion.Text().c_str());
  return kStatusUsage;
}

int New(const Arguments& arguments, const CatchStopSignals&) {
  CLI::App app(
      "Writes a starting source NAME.daf or NAME.ipf in the working folder: every section, "
      "each with what its fields mean and where the manual explains it.",
      "qel new");
  std::string language;
  std::string name;
  app.add_option("LANGUAGE", language, "daf (a device) or ipf (a soft-IP library)")
      ->required()
      ->check(CLI::IsMember({"daf", "ipf"}));
  app.add_option("NAME", name, "The device or module name, and the file's")->required();
  if (std::optional<int> status = Parse(app, arguments)) return *status;
  std::optional<std::string> text =
      StartingSource(language == "daf" ? SourceKind::kDaf : SourceKind::kIpf, name);
  if (!text) {
    std::fprintf(stderr, "qel: %s: a name is a letter, then letters, digits and underscores\n",
                 name.c_str());
    return kStatusUsage;
  }
  std::string file = name + "." + language;
  // "x": the file is created, never overwritten.
  FILE* out = std::fopen(file.c_str(), "wx");
  if (!out) {
    std::fprintf(stderr, "qel: %s: %s\n", file.c_str(),
                 errno == EEXIST ? "already exists; it is left as it is" : std::strerror(errno));
    return kStatusFailed;
  }
  bool written = std::fwrite(text->data(), 1, text->size(), out) == text->size();
  if (std::fclose(out) != 0 || !written) {
    std::remove(file.c_str());
    std::fprintf(stderr, "qel: %s: cannot be written\n", file.c_str());
    return kStatusFailed;
  }
  std::printf("wrote %s; build it with: qel build %s\n", file.c_str(), file.c_str());
  return kStatusDone;
}

int Help(const Arguments& arguments, const CatchStopSignals& catchStop);

constexpr Command kCommands[] = {
    {"build", "check and compile sources (and folders of them) into DAB and IPB files", Build},
    {"check", "report every mistake in sources, as qellint does (its options)", Check},
    {"show", "read DAB and IPB files, as qeldump does (its options)", Show},
    {"fmt", "lay sources out in the canonical layout, in place", Fmt},
    {"explain", "tell what a check of the linter finds, with an example", Explain},
    {"new", "write a starting DAF or IPF source", New},
    {"help", "the help of qel or of one of its commands", Help},
};

void WriteUsage(FILE* out) {
  std::fputs(
      "qel: builds, checks, shows and formats DAF device descriptions and IPF soft-IP "
      "libraries.\n\n"
      "usage: qel COMMAND [ARGUMENTS...]\n"
      "       qel help COMMAND | qel COMMAND --help\n"
      "       qel --help | --version\n\n"
      "commands:\n",
      out);
  for (const Command& command : kCommands) {
    std::fprintf(out, "  %-9s %.*s\n", std::string(command.name).c_str(),
                 int(command.summary.size()), command.summary.data());
  }
  std::fputs("\nThe manual: man qel, and docs/qel.md for a first session.\n", out);
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

int UnknownCommand(const std::string& name) {
  Suggestion suggestion(name);
  for (const Command& command : kCommands) suggestion.Consider(command.name);
  std::fprintf(stderr, "qel: '%s' is not a command%s (see qel --help)\n", name.c_str(),
               suggestion.Text().c_str());
  return kStatusUsage;
}

int Help(const Arguments& arguments, const CatchStopSignals& catchStop) {
  if (arguments.empty()) {
    WriteUsage(stdout);
    return kStatusDone;
  }
  const Command* command = FindCommand(arguments[0]);
  if (!command) return UnknownCommand(arguments[0]);
  return command->run == Help ? Help({}, catchStop) : command->run({"--help"}, catchStop);
}

}  // namespace

int RunQel(int argc, const char* const* argv, const CatchStopSignals& catchStop) {
  if (argc < 2) {
    WriteUsage(stderr);
    return kStatusUsage;
  }
  std::string first = argv[1];
  Arguments rest(argv + 2, argv + argc);
  if (first == "--help" || first == "-h") return Help({}, catchStop);
  if (first == "--version") {
    std::printf("qel %s\n", QELC_VERSION);
    return kStatusDone;
  }
  const Command* command = FindCommand(first);
  if (!command) return UnknownCommand(first);
  return command->run(rest, catchStop);
}

}  // namespace qelc::qelcmd
