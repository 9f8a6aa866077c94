#include "language/lint_document.h"

#include <map>

#include "compiler/lint_run.h"
#include "language/directives.h"
#include "source/preprocessor.h"

namespace qelc::language {

namespace {

// The files a run read, by the name the source or an #include line gave, as
// they were read.
class ReadFiles {
 public:
  explicit ReadFiles(const Workspace& files) : files_(files) {}

  std::optional<std::string> Read(const std::string& name) {
    auto read = read_.find(name);
    if (read == read_.end()) read = read_.emplace(name, files_.Read(name)).first;
    return read->second;
  }

  std::string_view Text(const std::string& name) {
    auto read = read_.find(name);
    if (read == read_.end()) read = read_.emplace(name, files_.Read(name)).first;
    return read->second ? std::string_view(*read->second) : std::string_view();
  }

  // The #include line that names `name`, in the source first, then in the
  // other files read.
  std::optional<Place> IncludeOf(const std::string& name, const std::string& sourceName) {
    if (auto place = IncludeIn(sourceName, name)) return place;
    for (const auto& [other, text] : read_) {
      if (other == sourceName || other == name || !text) continue;
      if (auto place = IncludeIn(other, name)) return place;
    }
    return std::nullopt;
  }

 private:
  std::optional<Place> IncludeIn(const std::string& file, const std::string& name) {
    std::string_view text = Text(file);
    std::optional<Place> found;
    ForEachDirective(text, [&](size_t lineStart, const Directive& directive) {
      if (found || directive.kind != kIncludeLine || directive.name != name) return;
      size_t start = lineStart + directive.nameStart;
      found = Place{files_.PathOf(file),
                    {PositionOf(text, start), PositionOf(text, start + directive.name.size())}};
    });
    return found;
  }

  const Workspace& files_;
  std::map<std::string, std::optional<std::string>> read_;
};

}  // namespace

std::vector<DocumentFinding> LintDocument(const Workspace& files, const std::string& path) {
  std::string sourceName = files.SourceName(path);
  ReadFiles read(files);
  std::vector<lint::Finding> findings;
  lint::NotShown notShown;
  lint::LintText(
      sourceName, [&read](const std::string& name) { return read.Read(name); },
      lint::DefaultWarnings(), lint::kDefaultMaxErrors, findings, notShown);
  std::vector<DocumentFinding> placed;
  for (lint::Finding& finding : findings) {
    DocumentFinding& at = placed.emplace_back();
    at.at.path = files.PathOf(finding.file);
    at.at.range = TokenRange(read.Text(finding.file), finding.line, finding.column);
    at.severity = finding.severity;
    at.check = std::move(finding.check);
    at.message = std::move(finding.message);
    if (finding.file != sourceName) at.includedFrom = read.IncludeOf(finding.file, sourceName);
  }
  return placed;
}

}  // namespace qelc::language
