#include "language/lint_document.h"

#include "compiler/lint_run.h"
#include "compiler/project_config.h"

namespace qelc::language {

std::vector<Diagnostic> LintDocument(const Workspace& files, const std::string& path) {
  std::vector<Diagnostic> findings;
  // The project's settings, as qellint reads them for the file on the disk.
  WarningSet on = lint::DefaultWarnings();
  std::optional<ProjectConfig> config = FindProjectConfig(path);
  if (config) {
    config->Apply(on);
    config->ReportProblems(findings);
  }
  lint::NotShown notShown;
  lint::LintText(
      files.SourceName(path), [&files](const std::string& name) { return files.Read(name); }, on,
      lint::kDefaultMaxErrors, findings, notShown, nullptr,
      config ? config->RepeatedPinNames() : nullptr);
  // Thousands of findings name a handful of files: each name is made absolute
  // once.
  std::map<std::string, std::string, std::less<>> paths;
  auto pathOf = [&](std::string& name) {
    auto known = paths.find(name);
    if (known == paths.end()) known = paths.emplace(name, files.PathOf(name)).first;
    name = known->second;
  };
  auto absolute = [&pathOf](Location& at) {
    pathOf(at.file);
    for (IncludeSite& site : at.includedFrom) pathOf(site.file);
  };
  for (Diagnostic& finding : findings) {
    absolute(finding.location);
    if (finding.stoppedAt) absolute(*finding.stoppedAt);
    for (Edit& fix : finding.fixes) absolute(fix.at);
  }
  return findings;
}

std::vector<QuickFix> QuickFixesAt(const Workspace& files, const std::string& path, Range range) {
  std::vector<QuickFix> fixes;
  LineIndexes lines(files);
  auto before = [](Position a, Position b) {
    return a.line < b.line || (a.line == b.line && a.character < b.character);
  };
  for (Diagnostic& finding : LintDocument(files, path)) {
    if (finding.fixes.empty() || finding.location.file != path) continue;
    Range at = lines.RangeOf(finding.location);
    if (before(at.end, range.start) || before(range.end, at.start)) continue;
    QuickFix& fix = fixes.emplace_back();
    const Edit& first = finding.fixes.front();
    bool inserts = first.at.line == first.at.endLine && first.at.column == first.at.endColumn;
    fix.title = (inserts ? "Insert '" : "Replace with '") + first.text + "'";
    for (const Edit& edit : finding.fixes) {
      fix.edits.push_back({{edit.at.file, lines.RangeOf(edit.at)}, edit.text});
    }
    fix.finding = std::move(finding);
  }
  return fixes;
}

const LineIndex& LineIndexes::Of(const std::string& path) {
  auto [entry, added] = indexed_.try_emplace(path);
  Indexed& file = entry->second;
  if (added) {
    // An open text is shared with the workspace, not copied.
    file.text = files_.Text(path);
    if (!file.text) file.text = std::make_shared<const std::string>(files_.Read(path).value_or(""));
    file.index = std::make_unique<LineIndex>(*file.text);
  }
  return *file.index;
}

}  // namespace qelc::language
