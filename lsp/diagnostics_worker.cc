#include "lsp/diagnostics_worker.h"

namespace qelc::lsp {

DiagnosticsWorker::DiagnosticsWorker(std::chrono::milliseconds quiet, Publish publish)
    : quiet_(quiet), publish_(std::move(publish)), thread_([this] { Run(); }) {}

DiagnosticsWorker::~DiagnosticsWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void DiagnosticsWorker::Changed(const std::string& path, const language::Workspace& files) {
  {
    std::lock_guard lock(mutex_);
    pending_.insert(path);
    latest_ = files;
    lastChange_ = std::chrono::steady_clock::now();
  }
  wake_.notify_one();
}

void DiagnosticsWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (stopping_) return;
    // Each change starts the quiet time again.
    while (!stopping_ && wake_.wait_until(lock, lastChange_ + quiet_) != std::cv_status::timeout) {
    }
    if (stopping_) return;
    std::set<std::string> paths = std::move(pending_);
    pending_.clear();
    language::Workspace files = latest_;
    lock.unlock();
    for (const std::string& path : paths) Lint(path, files);
    lock.lock();
  }
}

void DiagnosticsWorker::Lint(const std::string& path, const language::Workspace& files) {
  std::vector<Diagnostic> findings;
  if (files.Text(path)) findings = language::LintDocument(files, path);
  std::map<std::string, std::vector<Diagnostic>> byFile;
  byFile[path];  // the document's own findings are published even when there are
                 // none
  for (Diagnostic& finding : findings) byFile[finding.location.file].push_back(std::move(finding));
  language::LineIndexes lines(files);
  // Files this document put findings in before, and no longer does.
  for (auto& [file, byDocument] : published_) {
    if (byDocument.contains(path) && !byFile.contains(file)) byFile[file];
  }
  for (auto& [file, found] : byFile) {
    auto& byDocument = published_[file];
    if (found.empty()) {
      byDocument.erase(path);
    } else {
      byDocument[path] = std::move(found);
    }
    if (byDocument.size() == 1) {
      // One document's findings, the common case, are published as they are.
      publish_(file, byDocument.begin()->second, lines);
    } else {
      std::vector<Diagnostic> all;
      for (const auto& [document, its] : byDocument) all.insert(all.end(), its.begin(), its.end());
      publish_(file, all, lines);
    }
    if (byDocument.empty()) published_.erase(file);
  }
}

}  // namespace qelc::lsp
