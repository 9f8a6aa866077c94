#include "qeldump/run.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "qeldump/field_lines.h"
#include "qeldump/input_file.h"
#include "qeldump/json_dump.h"
#include "qeldump/written_source.h"
#include "report/report.h"

namespace qelc::dump {

namespace {

constexpr int kTrouble = 2;

constexpr char kSynopsis[] =
    "usage: qeldump [--json] FILE...\n"
    "       qeldump --get PATH FILE...\n"
    "       qeldump --diff A B\n"
    "       qeldump --source FILE\n"
    "       qeldump --html [-o PAGE] FILE\n"
    "       qeldump --layout\n"
    "       qeldump --help | --version\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "qeldump: %s\n%s", problem.c_str(), kSynopsis);
  return kTrouble;
}

void ReportProblem(const std::string& name, const FileProblem& problem) {
  std::fprintf(stderr, "qeldump: %s: %s\n", name.c_str(), problem.what());
}

// The files one at a time, so that only one is held in memory.
int EachFile(const std::vector<std::string>& names, auto&& write) {
  int status = 0;
  for (const std::string& name : names) {
    try {
      write(*LoadFile(name));
    } catch (const FileProblem& problem) {
      std::fflush(stdout);
      ReportProblem(name, problem);
      status = kTrouble;
    }
  }
  return status;
}

int Diff(const std::vector<std::string>& names) {
  std::unique_ptr<InputFile> files[2];
  for (int i = 0; i < 2; ++i) {
    try {
      files[i] = LoadFile(names[size_t(i)]);
    } catch (const FileProblem& problem) {
      ReportProblem(names[size_t(i)], problem);
      return kTrouble;
    }
  }
  if (files[0]->kind != files[1]->kind) {
    auto kindName = [](const InputFile& file) {
      return file.kind == FileKind::kDab ? "a DAB file" : "an IPB file";
    };
    std::fprintf(stderr, "qeldump: %s: %s, and %s is %s; only files of one kind compare\n",
                 names[1].c_str(), kindName(*files[1]), names[0].c_str(), kindName(*files[0]));
    return kTrouble;
  }
  return WriteDifferences(*files[0], *files[1], stdout) ? 1 : 0;
}

// A source that compiles back to the file; every field no source can give is
// named on standard error, and then the status is 1.
int Source(const std::string& name) {
  std::unique_ptr<InputFile> file;
  try {
    file = LoadFile(name);
  } catch (const FileProblem& problem) {
    ReportProblem(name, problem);
    return kTrouble;
  }
  std::vector<std::string> problems;
  std::string source = WrittenSource(*file, problems);
  std::fwrite(source.data(), 1, source.size(), stdout);
  std::fflush(stdout);
  for (const std::string& problem : problems) {
    std::fprintf(stderr, "qeldump: %s: %s\n", name.c_str(), problem.c_str());
  }
  return problems.empty() ? 0 : 1;
}

// The file as one HTML page, built whole before any of it is written, so that
// a damaged file leaves no half page.
int Html(const std::string& name, const std::string& pagePath) {
  std::string page;
  try {
    std::unique_ptr<InputFile> file = LoadFile(name);
    page = file->kind == FileKind::kDab
               ? qelc::report::DabReport(*file->dab, name)
               : qelc::report::IpbReport(file->ipb, file->ipbStrings, name);
  } catch (const FileProblem& problem) {
    ReportProblem(name, problem);
    return kTrouble;
  }
  if (pagePath.empty()) {
    std::fwrite(page.data(), 1, page.size(), stdout);
    return 0;
  }
  FILE* out = std::fopen(pagePath.c_str(), "wb");
  bool written = out && std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "qeldump: %s: cannot be written\n", pagePath.c_str());
    return kTrouble;
  }
  return 0;
}

}  // namespace

int RunQeldump(int argc, const char* const* argv) {
  CLI::App app(std::string("Reads DAB and IPB files: every field as text, as JSON, the fields "
                           "that differ between two files, or one field.\n") +
                   kSynopsis,
               "qeldump");
  bool json = false;
  bool diff = false;
  bool layout = false;
  bool source = false;
  bool html = false;
  std::string pagePath;
  std::string getPath;
  std::vector<std::string> files;
  CLI::Option* jsonFlag = app.add_flag("--json", json, "one JSON document per file");
  CLI::Option* getOption =
      app.add_option("--get", getPath,
                     "the value of the field at PATH, or the lines under a record or table")
          ->option_text("PATH");
  CLI::Option* diffFlag = app.add_flag(
      "--diff", diff, "the fields that differ between A and B (status 0 same, 1 different)");
  CLI::Option* sourceFlag = app.add_flag(
      "--source", source,
      "the file as a DAF or IPF source that compiles back to it (status 1: a field cannot be)");
  CLI::Option* layoutFlag =
      app.add_flag("--layout", layout, "the field map of the DAB table block");
  CLI::Option* htmlFlag = app.add_flag(
      "--html", html, "the file as one HTML page: pinouts, tables, memory maps, module symbols");
  CLI::Option* pageOption =
      app.add_option("-o", pagePath, "write the page of --html to PAGE")->option_text("PAGE");
  pageOption->needs(htmlFlag);
  htmlFlag->excludes(jsonFlag)
      ->excludes(getOption)
      ->excludes(diffFlag)
      ->excludes(layoutFlag)
      ->excludes(sourceFlag);
  app.add_option("FILE", files, "DAB or IPB files (the kind is told by the content)");
  jsonFlag->excludes(getOption)->excludes(diffFlag)->excludes(layoutFlag);
  getOption->excludes(diffFlag)->excludes(layoutFlag);
  diffFlag->excludes(layoutFlag);
  sourceFlag->excludes(jsonFlag)->excludes(getOption)->excludes(diffFlag)->excludes(layoutFlag);
  app.set_version_flag("--version", std::string("qeldump ") + QELDUMP_VERSION);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& success) {
    return app.exit(success);
  } catch (const CLI::ParseError& error) {
    return Usage(error.what());
  }

  // A dump of a large file is millions of short lines.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  int status = 0;
  if (layout) {
    if (!files.empty()) return Usage("--layout takes no file");
    WriteLayout(stdout);
  } else if (files.empty()) {
    return Usage("no file given");
  } else if (html) {
    if (files.size() != 1) return Usage("--html writes one file");
    status = Html(files[0], pagePath);
  } else if (source) {
    if (files.size() != 1) return Usage("--source writes one file");
    status = Source(files[0]);
  } else if (diff) {
    if (files.size() != 2) return Usage("--diff compares two files");
    status = Diff(files);
  } else if (getOption->count() > 0) {
    status = EachFile(files, [&](const InputFile& file) {
      std::string prefix = files.size() > 1 ? file.name + ": " : "";
      WriteField(file, getPath, prefix, stdout);
    });
  } else {
    status = EachFile(files, [&](const InputFile& file) {
      if (json) {
        WriteJson(file, stdout);
      } else {
        WriteText(file, stdout);
      }
    });
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "qeldump: standard output: cannot be written\n");
    return kTrouble;
  }
  return status;
}

}  // namespace qelc::dump
