#include <cstdio>

#include "compiler/compilation.h"
#include "compiler/format_source.h"
#include "compiler/lint_run.h"
#include "compiler/project_config.h"
#include "compiler/usage.h"
#include "qelc/qelc.h"
#include "source/ascii.h"
#include "source/compile_run.h"
#include "source/files.h"

namespace qelc {

namespace {

// Keeps what a compilation said, as the result gives it back.
class ResultSink : public OutputSink {
 public:
  ResultSink(CompileResult& result, const std::function<void(const Diagnostic&)>& forward)
      : result_(result), forward_(forward) {}

  void Emit(Message message) override {
    std::string& console =
        message.stream == Stream::kStandardOutput ? result_.standardOutput : result_.standardError;
    console += message.console;
    if (message.kind != MessageKind::kFinding) return;
    if (forward_) forward_(message.diagnostic);
    result_.diagnostics.push_back(std::move(message.diagnostic));
  }

 private:
  CompileResult& result_;
  const std::function<void(const Diagnostic&)>& forward_;
};

// The name of the compiled file of `sourceName`: its .pre name's, as the run
// derives it.
std::string ArtifactName(const std::string& sourceName) {
  size_t dot = sourceName.rfind('.');
  bool softIp = StartsWithNoCase(std::string_view(sourceName).substr(dot), ".ipf");
  return OutputName(sourceName.substr(0, dot) + ".pre", softIp ? ".ipb" : ".dab");
}

// The source's bytes under its own name, every other name through `resolver`.
MemoryFiles::Reader SourceReader(const Source& source, IncludeResolver* resolver,
                                 DirectoryResolver& fallback) {
  IncludeResolver& includes = resolver ? *resolver : fallback;
  return [&source, &includes](const std::string& path) -> std::optional<std::string> {
    if (path == source.name) return source.text;
    return includes.Read(path);
  };
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

CompileResult Compile(const Source& source, const CompileOptions& options) {
  CompileResult result;
  if (!HasSourceExtension(source.name)) {
    result.status = kStatusBadExtension;
    result.standardError = IncorrectExtensionText();
    return result;
  }
  DirectoryResolver workingDirectory;
  MemoryFiles files(SourceReader(source, options.resolver, workingDirectory));
  ResultSink sink(result, options.onDiagnostic);
  {
    Compilation compilation(files, sink);
    compilation.LocateInSources();
    if (options.warnings) compilation.diagnostics().CollectFindings(lint::DefaultWarnings());
    result.status =
        compilation.Run(source.name, RunOptions{options.keepPreprocessed, options.decode});
  }
  std::string artifactName = ArtifactName(source.name);
  for (MemoryFiles::File& file : files.Written()) {
    result.files.push_back({std::move(file.name), std::move(file.bytes)});
    if (result.files.back().name == artifactName) result.artifact = result.files.back();
  }
  return result;
}

LintResult Lint(const Source& source, const LintOptions& options) {
  LintResult result;
  WarningSet enabled = lint::DefaultWarnings();
  std::vector<const WarningCheck*> checks = AllWarningChecks();
  auto turn = [&](const std::vector<std::string>& names, bool on) {
    for (const std::string& name : names) {
      for (const WarningCheck* check : checks) {
        if (check->name != name) continue;
        if (on) {
          enabled.insert(check->name);
        } else {
          enabled.erase(check->name);
        }
      }
    }
  };
  std::optional<ProjectConfig> config;
  if (options.projectConfig) config = FindProjectConfig(source.name);
  if (config) {
    config->Apply(enabled);
    config->ReportProblems(result.diagnostics);
  }
  turn(options.enable, true);
  turn(options.disable, false);
  DirectoryResolver workingDirectory;
  lint::NotShown notShown;
  lint::LintStatus status = lint::LintText(
      source.name, SourceReader(source, options.resolver, workingDirectory), enabled,
      options.maxErrors, result.diagnostics, notShown, options.facts ? &result.facts : nullptr,
      config ? config->RepeatedPinNames() : nullptr);
  result.isSource = status != lint::LintStatus::kNotASource;
  result.errorsNotShown = notShown.errors;
  result.readToEnd = notShown.readToEnd;
  return result;
}

FormatResult Format(const Source& source, IncludeResolver* resolver) {
  DirectoryResolver workingDirectory;
  FormattedSource formatted =
      FormatSource(source.name, source.text, resolver ? resolver : &workingDirectory);
  return {std::move(formatted.text), std::move(formatted.refusal)};
}

}  // namespace qelc
