#pragma once

// Lints the documents that changed on a thread of its own, once the editor
// has been quiet for a moment, and publishes each file's findings: those of
// every document, for an included file those of every document that includes
// it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "language/lint_document.h"
#include "language/workspace.h"

namespace qelc::lsp {

class DiagnosticsWorker {
 public:
  // Told, on the worker's thread, a file's path and all its findings, with the
  // line indexes of the texts they were found in.
  using Publish = std::function<void(const std::string& path, const std::vector<Diagnostic>&,
                                     language::LineIndexes& lines)>;

  DiagnosticsWorker(std::chrono::milliseconds quiet, Publish publish);
  ~DiagnosticsWorker();
  DiagnosticsWorker(const DiagnosticsWorker&) = delete;
  DiagnosticsWorker& operator=(const DiagnosticsWorker&) = delete;

  // Lints `path` again (or takes back its findings, once it is closed) with the
  // texts of `files`, when nothing has changed for the quiet time.
  void Changed(const std::string& path, const language::Workspace& files);

 private:
  void Run();
  void Lint(const std::string& path, const language::Workspace& files);

  const std::chrono::milliseconds quiet_;
  Publish publish_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::set<std::string> pending_;
  language::Workspace latest_;
  std::chrono::steady_clock::time_point lastChange_;
  bool stopping_ = false;

  // The worker's own: for each file, the findings each document's run put in
  // it.
  std::map<std::string, std::map<std::string, std::vector<Diagnostic>>> published_;

  std::thread thread_;  // started last, once the members it reads exist
};

}  // namespace qelc::lsp
