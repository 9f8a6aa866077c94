#include <cstdio>

#include "compiler/compilation.h"
#include "qelc/qelc.h"
#include "source/files.h"

namespace qelc {

namespace {

// The qelc program's sink: each console text on its stream, as it is said.
class ConsoleSink : public OutputSink {
 public:
  void Emit(Message message) override {
    std::FILE* stream = message.stream == Stream::kStandardOutput ? stdout : stderr;
    std::fwrite(message.console.data(), 1, message.console.size(), stream);
  }
};

// Keeps what a compilation said, as the result gives it back.
class ResultSink : public OutputSink {
 public:
  ResultSink(CompileResult& result, OutputSink* forward) : result_(result), forward_(forward) {}

  void Emit(Message message) override {
    std::string& console =
        message.stream == Stream::kStandardOutput ? result_.standardOutput : result_.standardError;
    console += message.console;
    if (forward_) forward_->Emit(message);
    if (message.severity == Severity::kWarning || message.severity == Severity::kError) {
      result_.diagnostics.push_back(std::move(message));
    }
  }

 private:
  CompileResult& result_;
  OutputSink* forward_;
};

WarningSet DefaultWarnings() {
  WarningSet enabled;
  for (const WarningCheck* check : AllWarningChecks()) {
    if (check->onByDefault) enabled.insert(check->name);
  }
  return enabled;
}

}  // namespace

std::optional<std::string> DirectoryResolver::Read(const std::string& name) {
  std::string path = name.starts_with('/') || directory_.empty() ? name : directory_ + "/" + name;
  FilePtr file = OpenForReading(path);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[1 << 16];
  while (size_t read = std::fread(buffer, 1, sizeof buffer, file.get())) bytes.append(buffer, read);
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

CompileResult Compile(const CompileRequest& request) {
  CompileResult result;
  DirectoryResolver workingDirectory;
  IncludeResolver& resolver = request.resolver ? *request.resolver : workingDirectory;
  MemoryFiles files([&](const std::string& path) -> std::optional<std::string> {
    if (path == request.sourceName) return request.sourceText;
    return resolver.Read(path);
  });
  ResultSink sink(result, request.sink);
  {
    Compilation compilation(files, sink);
    compilation.LocateInSources();
    if (request.warnings) compilation.diagnostics().CollectFindings(DefaultWarnings());
    result.status = compilation.Run(request.sourceName, request.option);
  }
  for (MemoryFiles::File& file : files.Written()) {
    result.files.push_back({std::move(file.name), std::move(file.bytes)});
  }
  return result;
}

int CompileInWorkingDirectory(const std::string& sourceName, const std::string& option) {
  DiskFiles files;
  ConsoleSink sink;
  int status = Compilation(files, sink).Run(sourceName, option);
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}

}  // namespace qelc
