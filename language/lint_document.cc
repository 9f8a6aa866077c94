#include "language/lint_document.h"

#include "compiler/lint_run.h"

namespace qelc::language {

std::vector<Diagnostic> LintDocument(const Workspace& files, const std::string& path) {
  std::vector<Diagnostic> findings;
  lint::NotShown notShown;
  lint::LintText(
      files.SourceName(path), [&files](const std::string& name) { return files.Read(name); },
      lint::DefaultWarnings(), lint::kDefaultMaxErrors, findings, notShown);
  auto absolute = [&files](Location& at) {
    at.file = files.PathOf(at.file);
    for (IncludeSite& site : at.includedFrom) site.file = files.PathOf(site.file);
  };
  for (Diagnostic& finding : findings) {
    absolute(finding.location);
    if (finding.stoppedAt) absolute(*finding.stoppedAt);
    for (Edit& fix : finding.fixes) absolute(fix.at);
  }
  return findings;
}

const LineIndex& LineIndexes::Of(const std::string& path) {
  auto [entry, added] = indexed_.try_emplace(path);
  Indexed& file = entry->second;
  if (added) {
    file.text = files_.Read(path).value_or(std::string());
    file.index = std::make_unique<LineIndex>(file.text);
  }
  return *file.index;
}

}  // namespace qelc::language
