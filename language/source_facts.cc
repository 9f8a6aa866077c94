#include "language/source_facts.h"

#include <algorithm>
#include <filesystem>

#include "compiler/lint_run.h"

namespace qelc::language {

namespace {

// A walk of the workspace for sources stops after this many entries, so that a
// root folder such as a home directory costs a bounded time.
constexpr size_t kMostEntriesWalked = 20000;
// Each source found is read to learn what it includes: a workspace of more
// than this many is searched in part.
constexpr size_t kMostSourcesRead = 128;

void ToPaths(const Workspace& files, SourceRange& at) { at.file = files.PathOf(at.file); }

void ToPaths(const Workspace& files, std::vector<OutlineEntry>& entries) {
  for (OutlineEntry& entry : entries) {
    ToPaths(files, entry.span);
    ToPaths(files, entry.children);
  }
}

// The facts with every file named by its absolute path.
void ToPaths(const Workspace& files, SourceFacts& facts) {
  for (SectionFact& section : facts.sections) {
    ToPaths(files, section.keywordAt);
    ToPaths(files, section.span);
    ToPaths(files, section.entries);
  }
  for (NameDefinition& definition : facts.definitions) {
    ToPaths(files, definition.at);
    if (!definition.valueAt.file.empty()) ToPaths(files, definition.valueAt);
  }
  for (NameUse& use : facts.uses) ToPaths(files, use.at);
  for (KeywordFact& keyword : facts.keywords) ToPaths(files, keyword.at);
  for (IncludeFact& include : facts.includes) {
    ToPaths(files, include.at);
    include.file = files.PathOf(include.file);
    include.resolved = files.PathOf(include.resolved);
  }
  for (ConditionalBlock& block : facts.conditionals) ToPaths(files, block.span);
}

bool NotAfter(int32_t line, int32_t column, int32_t otherLine, int32_t otherColumn) {
  return line < otherLine || (line == otherLine && column <= otherColumn);
}

}  // namespace

SourceView::SourceView(const Workspace& files, const std::string& sourcePath)
    : files_(files), source_(sourcePath) {
  std::vector<Diagnostic> findings;
  lint::NotShown notShown;
  lint::LintText(
      files.SourceName(sourcePath),
      [this](const std::string& name) {
        auto read = texts_.try_emplace(files_.PathOf(name), files_.Read(name)).first;
        return read->second;
      },
      lint::DefaultWarnings(), lint::kDefaultMaxErrors, findings, notShown, &facts_);
  ToPaths(files, facts_);
}

std::string_view SourceView::TextOf(const std::string& path) const {
  auto read = texts_.find(path);
  if (read == texts_.end()) read = texts_.emplace(path, files_.Read(path)).first;
  return read->second ? std::string_view(*read->second) : std::string_view();
}

const LineIndex& SourceView::LinesOf(const std::string& path) const {
  auto lines = lines_.find(path);
  if (lines == lines_.end()) lines = lines_.emplace(path, LineIndex(TextOf(path))).first;
  return lines->second;
}

Place SourceView::PlaceOf(const SourceRange& at) const {
  const LineIndex& lines = LinesOf(at.file);
  return {at.file,
          {lines.PositionOfColumn(at.line, at.column),
           lines.PositionOfColumn(at.endLine, at.endColumn)}};
}

std::string_view SourceView::Written(const SourceRange& range) const {
  const LineIndex& lines = LinesOf(range.file);
  size_t start = lines.OffsetOfColumn(range.line, range.column);
  size_t end = lines.OffsetOfColumn(range.endLine, range.endColumn);
  return TextOf(range.file).substr(start, end > start ? end - start : 0);
}

SourceView::Cursor SourceView::CursorAt(const std::string& path, Position at) const {
  LineIndex::Column column = LinesOf(path).ColumnOf(at);
  return {path, column.line, column.column};
}

bool SourceView::Holds(const SourceRange& range, const Cursor& at) {
  return range.file == at.path && NotAfter(range.line, range.column, at.line, at.column) &&
         NotAfter(at.line, at.column, range.endLine, range.endColumn);
}

std::vector<std::string> SourcesIncluding(const Workspace& files, const std::string& path) {
  namespace fs = std::filesystem;
  std::vector<std::string> sources;
  std::error_code error;
  fs::recursive_directory_iterator walk(files.Root(), fs::directory_options::skip_permission_denied,
                                        error);
  size_t walked = 0;
  for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    if (++walked > kMostEntriesWalked) break;
    std::string found = walk->path().string();
    if (walk->is_regular_file(error) && IsSource(found)) sources.push_back(files.PathOf(found));
    if (sources.size() == kMostSourcesRead) break;
  }
  std::sort(sources.begin(), sources.end());
  std::erase_if(sources, [&](const std::string& source) {
    SourceView view(files, source);
    const std::vector<IncludeFact>& includes = view.Facts().includes;
    return std::none_of(includes.begin(), includes.end(),
                        [&](const IncludeFact& include) { return include.resolved == path; });
  });
  return sources;
}

}  // namespace qelc::language
