#include "qeldump/run.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "qeldump/diff.h"
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
    "       qeldump --diff [--by-index] A B\n"
    "       qeldump --source FILE\n"
    "       qeldump --html [--title TEXT] [-o PAGE] FILE\n"
    "       qeldump --html [--title TEXT] -o FOLDER FILE|FOLDER...\n"
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

namespace fs = std::filesystem;

std::string KindName(const InputFile& file) {
  return file.kind == FileKind::kDab ? "a DAB file" : "an IPB file";
}

bool SameKind(const InputFile& a, const InputFile& b) {
  if (a.kind == b.kind) return true;
  std::fprintf(stderr, "qeldump: %s: %s, and %s is %s; only files of one kind compare\n",
               b.name.c_str(), KindName(b).c_str(), a.name.c_str(), KindName(a).c_str());
  return false;
}

// The DAB and IPB files below `folder` by their paths inside it, in order.
std::vector<std::string> CompiledFiles(const std::string& folder, std::error_code& error) {
  std::vector<std::string> names;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    fs::path extension = it->path().extension();
    if ((extension == ".dab" || extension == ".ipb") && it->is_regular_file(error)) {
      names.push_back(fs::relative(it->path(), folder, error).generic_string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Summary(const Comparison& comparison) {
  if (comparison.Lines() == 0) {
    return comparison.differ ? "differs past the end of a list" : "same";
  }
  return std::to_string(comparison.counts[0]) + " added, " + std::to_string(comparison.counts[1]) +
         " removed, " + std::to_string(comparison.counts[2]) + " changed";
}

// Two folders of compiled files, device by device: a summary line per file
// name found in either, then the differences of each pair that differs.
int DiffFolders(const std::string& before, const std::string& after, bool byIndex) {
  std::error_code error;
  const std::string* listed = &before;
  std::vector<std::string> inBefore = CompiledFiles(before, error);
  std::vector<std::string> inAfter;
  if (!error) {
    listed = &after;
    inAfter = CompiledFiles(after, error);
  }
  if (error) {
    std::fprintf(stderr, "qeldump: %s: %s\n", listed->c_str(), error.message().c_str());
    return kTrouble;
  }
  std::vector<std::string> names = inBefore;
  names.insert(names.end(), inAfter.begin(), inAfter.end());
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  int status = 0;
  std::string details;
  for (const std::string& name : names) {
    bool a = std::binary_search(inBefore.begin(), inBefore.end(), name);
    bool b = std::binary_search(inAfter.begin(), inAfter.end(), name);
    if (!a || !b) {
      std::printf("%s: only in %s\n", name.c_str(), (a ? before : after).c_str());
      status = std::max(status, 1);
      continue;
    }
    std::unique_ptr<InputFile> files[2];
    std::string paths[2] = {(fs::path(before) / name).string(), (fs::path(after) / name).string()};
    try {
      for (int i = 0; i < 2; ++i) files[i] = LoadFile(paths[i]);
    } catch (const FileProblem& problem) {
      std::printf("%s: cannot be read\n", name.c_str());
      std::fflush(stdout);
      ReportProblem(paths[files[0] ? 1 : 0], problem);
      status = kTrouble;
      continue;
    }
    if (!SameKind(*files[0], *files[1])) {
      std::printf("%s: not of one kind\n", name.c_str());
      status = kTrouble;
      continue;
    }
    std::string lines;
    Comparison comparison = Compare(*files[0], *files[1], byIndex, [&](const Difference& line) {
      lines += "  " + line.text + "\n";
    });
    std::printf("%s: %s\n", name.c_str(), Summary(comparison).c_str());
    if (comparison.differ) status = std::max(status, 1);
    if (!comparison.note.empty()) lines += "  " + comparison.note + "\n";
    if (!lines.empty()) details += "\n" + name + ":\n" + lines;
  }
  std::fwrite(details.data(), 1, details.size(), stdout);
  return status;
}

int Diff(const std::vector<std::string>& names, bool byIndex) {
  std::error_code error;
  bool folders[2] = {fs::is_directory(names[0], error), fs::is_directory(names[1], error)};
  if (folders[0] && folders[1]) return DiffFolders(names[0], names[1], byIndex);
  std::unique_ptr<InputFile> files[2];
  for (int i = 0; i < 2; ++i) {
    try {
      files[i] = LoadFile(names[size_t(i)]);
    } catch (const FileProblem& problem) {
      ReportProblem(names[size_t(i)], problem);
      return kTrouble;
    }
  }
  if (!SameKind(*files[0], *files[1])) return kTrouble;
  return WriteDifferences(*files[0], *files[1], byIndex, stdout) ? 1 : 0;
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

// The page of `file`, built whole before any of it is written, so that a
// damaged file leaves no half page; one made for an index links back to the
// page `index`. Throws FileProblem.
std::string PageOf(const InputFile& file, const std::string& title, const std::string& index = {}) {
  return file.kind == FileKind::kDab
             ? qelc::report::DabReport(*file.dab, file.name, title, index)
             : qelc::report::IpbReport(file.ipb, file.ipbStrings, file.name, title, index);
}

bool WritePage(const std::string& page, const std::string& path) {
  FILE* out = std::fopen(path.c_str(), "wb");
  bool written = out && std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) std::fprintf(stderr, "qeldump: %s: cannot be written\n", path.c_str());
  return written;
}

int Html(const std::string& name, const std::string& pagePath, const std::string& title) {
  std::string page;
  try {
    page = PageOf(*LoadFile(name), title);
  } catch (const FileProblem& problem) {
    ReportProblem(name, problem);
    return kTrouble;
  }
  if (pagePath.empty()) {
    std::fwrite(page.data(), 1, page.size(), stdout);
    return 0;
  }
  return WritePage(page, pagePath) ? 0 : kTrouble;
}

// Many files (a folder stands for its DAB and IPB files): a page per file,
// named after it, and index.html linking them, all in `folder`.
int HtmlPages(const std::vector<std::string>& names, const std::string& folder,
              const std::string& title) {
  std::vector<std::string> files;
  for (const std::string& name : names) {
    std::error_code error;
    if (!fs::is_directory(name, error)) {
      files.push_back(name);
      continue;
    }
    for (const std::string& inside : CompiledFiles(name, error)) {
      files.push_back((fs::path(name) / inside).string());
    }
    if (error) {
      std::fprintf(stderr, "qeldump: %s: %s\n", name.c_str(), error.message().c_str());
      return kTrouble;
    }
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "qeldump: %s: %s\n", folder.c_str(), error.message().c_str());
    return kTrouble;
  }
  int status = 0;
  std::vector<qelc::report::IndexEntry> entries;
  const std::string indexPage = "index.html";
  std::map<std::string, int> taken = {{indexPage, 1}};
  for (const std::string& name : files) {
    try {
      std::unique_ptr<InputFile> file = LoadFile(name);
      // Two files of one name from different folders get pages of two names.
      std::string base = fs::path(name).filename().string();
      int seen = taken[base + ".html"]++;
      std::string pageName = base + (seen == 0 ? "" : "-" + std::to_string(seen + 1)) + ".html";
      std::string deviceTitle = title.empty() ? "" : title + ": " + base;
      if (!WritePage(PageOf(*file, deviceTitle, indexPage),
                     (fs::path(folder) / pageName).string())) {
        return kTrouble;
      }
      entries.push_back({name, pageName, file->kind == FileKind::kDab});
    } catch (const FileProblem& problem) {
      ReportProblem(name, problem);
      status = kTrouble;
    }
  }
  std::string index = qelc::report::IndexPage(title, entries);
  return WritePage(index, (fs::path(folder) / indexPage).string()) ? status : kTrouble;
}

}  // namespace

int RunQeldump(int argc, const char* const* argv) {
  CLI::App app(std::string("Reads DAB and IPB files: every field as text, as JSON, the rows "
                           "that differ between two files or folders, or one field.\n") +
                   kSynopsis,
               "qeldump");
  bool json = false;
  bool diff = false;
  bool layout = false;
  bool source = false;
  bool html = false;
  bool byIndex = false;
  std::string pagePath;
  std::string title;
  std::string getPath;
  std::vector<std::string> files;
  CLI::Option* jsonFlag = app.add_flag("--json", json, "one JSON document per file");
  CLI::Option* getOption =
      app.add_option("--get", getPath,
                     "the value of the field at PATH, or the lines under a record or table")
          ->option_text("PATH");
  CLI::Option* diffFlag = app.add_flag(
      "--diff", diff,
      "the rows added, removed and changed from A to B, matched by their keys; of two folders, "
      "file by file (status 0 same, 1 different)");
  CLI::Option* byIndexFlag = app.add_flag(
      "--by-index", byIndex, "with --diff: the fields that differ, by their paths in the files");
  byIndexFlag->needs(diffFlag);
  CLI::Option* sourceFlag = app.add_flag(
      "--source", source,
      "the file as a DAF or IPF source that compiles back to it (status 1: a field cannot be)");
  CLI::Option* layoutFlag =
      app.add_flag("--layout", layout, "the field map of the DAB table block");
  CLI::Option* htmlFlag = app.add_flag(
      "--html", html, "the file as one HTML page: pinouts, tables, memory maps, module symbols");
  CLI::Option* pageOption =
      app.add_option("-o", pagePath,
                     "write the page of --html to PAGE; of several files, a page each and "
                     "index.html into the folder FOLDER")
          ->option_text("PAGE|FOLDER");
  pageOption->needs(htmlFlag);
  app.add_option("--title", title, "the title of the pages of --html")
      ->option_text("TEXT")
      ->needs(htmlFlag);
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
    std::error_code error;
    if (files.size() == 1 && !fs::is_directory(files[0], error)) {
      status = Html(files[0], pagePath, title);
    } else if (pagePath.empty()) {
      return Usage("--html of several files writes into the folder that -o names");
    } else {
      status = HtmlPages(files, pagePath, title);
    }
  } else if (source) {
    if (files.size() != 1) return Usage("--source writes one file");
    status = Source(files[0]);
  } else if (diff) {
    if (files.size() != 2) return Usage("--diff compares two files");
    status = Diff(files, byIndex);
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
