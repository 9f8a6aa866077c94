// The compiler as a library: every qelc case compiled in memory through the
// public API, on four threads at once, many times over, must give exactly what
// the qelc program prints and writes for the same source. Built a second time
// under ThreadSanitizer by .ci/run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "qelc/qelc.h"
#include "tests/case_root.h"
#include "tests/child_process.h"

namespace qelc::test {

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::istringstream text(ReadBytes(path));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

// Every file below `root`, by relative path, with its bytes.
std::map<std::string, std::string> FilesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    files[entry.path().lexically_relative(root).generic_string()] = ReadBytes(entry.path());
  }
  return files;
}

// One source: what the qelc program did with it, and what the library must do.
struct Job {
  std::string name;
  fs::path inputs;
  Source source;
  CompileOptions options;
  int status = 0;
  std::string out, err;
  std::map<std::string, std::string> files;  // new or changed by the run
};

// True when a folder of the inputs stands where the run writes a file: an
// environment in which writing fails, which only the disk has.
bool FolderInTheWay(const fs::path& inputs) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(inputs)) {
    std::string extension = entry.path().extension().string();
    if (entry.is_directory() &&
        (entry.path().filename() == "Out.txt" || extension == ".pre" || extension == ".dab" ||
         extension == ".ipb" || extension == ".dec")) {
      return true;
    }
  }
  return false;
}

// A case that the library can replay: the compiler's own run on a source that
// exists, without a failing environment (those are the program's affair).
bool Replayable(const fs::path& folder, const std::vector<std::string>& args) {
  if (fs::exists(folder / "program") || fs::exists(folder / "limits") ||
      fs::exists(folder / "setup") || args.empty() || args.size() > 2 ||
      !fs::is_regular_file(folder / "in" / args[0]) || FolderInTheWay(folder / "in")) {
    return false;
  }
  std::string extension = fs::path(args[0]).extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  bool source = extension.starts_with(".daf") || extension.starts_with(".ipf");
  bool option = args.size() == 1 || (args[1].size() >= 2 && args[1][0] == '-' &&
                                     std::tolower(static_cast<unsigned char>(args[1][1])) == 'd');
  return source && option;
}

// Runs the qelc program on the case in a scratch copy of its inputs.
Job RunProgram(const fs::path& folder, const std::vector<std::string>& args) {
  Job job;
  job.name = folder.lexically_relative(CaseRoot()).generic_string();
  job.inputs = folder / "in";
  job.source = {args[0], ReadBytes(job.inputs / args[0])};
  job.options.keepPreprocessed = job.options.decode = args.size() > 1;

  fs::path scratch = fs::temp_directory_path() / ("qelc-library-" + std::to_string(getpid()));
  fs::remove_all(scratch);
  fs::copy(job.inputs, scratch, fs::copy_options::recursive);
  ChildRun run = RunChild(QELC_BINARY, args, scratch.string(), std::chrono::seconds(60));
  job.status = run.exitStatus;
  job.out = run.out;
  job.err = run.err;
  std::map<std::string, std::string> before = FilesBelow(job.inputs);
  for (auto& [name, bytes] : FilesBelow(scratch)) {
    auto input = before.find(name);
    if (input == before.end() || input->second != bytes) job.files[name] = std::move(bytes);
  }
  fs::remove_all(scratch);
  return job;
}

std::vector<Job> ProgramRuns() {
  std::vector<Job> jobs;
  for (const fs::directory_entry& area : fs::directory_iterator(CaseRoot())) {
    for (const fs::directory_entry& folder : fs::directory_iterator(area.path())) {
      std::vector<std::string> args = ReadLines(folder.path() / "args");
      if (Replayable(folder.path(), args)) jobs.push_back(RunProgram(folder.path(), args));
    }
  }
  return jobs;
}

// What differs between the library's result and the program's run; empty when
// nothing does. A file the library wrote with the bytes the case's input
// already had is no difference: the program's run left it unchanged.
std::vector<std::string> Differences(const Job& job, const CompileResult& result) {
  std::vector<std::string> found;
  auto differs = [&](const std::string& what) { found.push_back(job.name + ": " + what); };
  if (result.status != job.status) differs("status " + std::to_string(result.status));
  if (result.standardOutput != job.out) differs("standard output");
  if (result.standardError != job.err) differs("standard error");
  std::map<std::string, std::string> written;
  for (const OutputFile& file : result.files) {
    if (!fs::exists(job.inputs / file.name) || file.bytes != ReadBytes(job.inputs / file.name)) {
      written[file.name] = file.bytes;
    }
  }
  for (const auto& [name, bytes] : job.files) {
    auto file = written.find(name);
    if (file == written.end() || file->second != bytes) differs("file " + name);
  }
  for (const auto& [name, bytes] : written) {
    if (!job.files.contains(name)) differs("extra file " + name);
  }
  return found;
}

int Rounds() {
  const char* rounds = std::getenv("QELC_LIBRARY_TEST_ROUNDS");
  return rounds ? std::max(1, std::atoi(rounds)) : 2;
}

TEST(Library, CompilationsOnFourThreadsMatchTheProgram) {
  const std::vector<Job> jobs = ProgramRuns();
  ASSERT_GT(jobs.size(), 100u);
  constexpr size_t kThreads = 4;
  std::mutex lock;
  std::vector<std::string> failures;
  size_t compiled = 0;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::string> found;
      size_t count = 0;
      for (int round = 0; round < Rounds(); ++round) {
        // Each thread starts at its own place in the list, so different
        // sources compile side by side.
        for (size_t i = 0; i < jobs.size(); ++i) {
          const Job& job = jobs[(i + t * jobs.size() / kThreads) % jobs.size()];
          DirectoryResolver includes(job.inputs);
          CompileOptions options = job.options;
          options.resolver = &includes;
          std::vector<std::string> differences = Differences(job, Compile(job.source, options));
          found.insert(found.end(), differences.begin(), differences.end());
          ++count;
        }
      }
      std::lock_guard<std::mutex> guard(lock);
      failures.insert(failures.end(), found.begin(), found.end());
      compiled += count;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(compiled, kThreads * jobs.size() * size_t(Rounds()));
  for (size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];
  EXPECT_TRUE(failures.empty()) << failures.size() << " differences in " << compiled
                                << " compilations of " << jobs.size() << " sources";
}

}  // namespace

}  // namespace qelc::test
