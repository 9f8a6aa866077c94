#include "language/formatting.h"

#include "compiler/format_source.h"
#include "qelc/qelc.h"

namespace qelc::language {

namespace {

class WorkspaceResolver : public IncludeResolver {
 public:
  explicit WorkspaceResolver(const Workspace& files) : files_(files) {}
  std::optional<std::string> Read(const std::string& name) override { return files_.Read(name); }

 private:
  const Workspace& files_;
};

// The byte offset at which the line `line` (from 1) starts; the text's end
// past its last line.
size_t LineStart(std::string_view text, int32_t line) {
  size_t offset = 0;
  for (int32_t at = 1; at < line; ++at) {
    offset = text.find('\n', offset);
    if (offset == std::string_view::npos) return text.size();
    ++offset;
  }
  return offset;
}

// The source formatted, or why not; `text` is the open document.
FormattedSource Format(const Workspace& files, const std::string& path, const std::string& text) {
  WorkspaceResolver resolver(files);
  return FormatSource(files.SourceName(path), text, &resolver);
}

}  // namespace

Formatted FormatDocument(const Workspace& files, const std::string& path) {
  auto open = files.Text(path);
  if (!open) return {std::nullopt, "the document is not open"};
  FormattedSource result = Format(files, path, *open);
  if (!result.text) return {std::nullopt, result.refusal};
  std::vector<TextEdit> edits;
  if (*result.text != *open) {
    edits.push_back({{{0, 0}, PositionOf(*open, open->size())}, std::move(*result.text)});
  }
  return {std::move(edits), ""};
}

Formatted FormatRange(const Workspace& files, const std::string& path, Range range) {
  auto open = files.Text(path);
  if (!open) return {std::nullopt, "the document is not open"};
  FormattedSource result = Format(files, path, *open);
  if (!result.text) return {std::nullopt, result.refusal};
  std::string_view text = *open;
  int32_t first = range.start.line + 1;
  // A range that ends at the start of a line does not reach into it.
  bool endsAtLineStart = range.end.character == 0 && range.end.line > range.start.line;
  int32_t last = range.end.line + (endsAtLineStart ? 0 : 1);
  std::vector<TextEdit> edits;
  for (const FormattedBlock& block : result.blocks) {
    if (block.lastLine < first || block.firstLine > last) continue;
    size_t from = LineStart(text, block.firstLine);
    size_t to = LineStart(text, block.lastLine + 1);
    if (text.substr(from, to - from) == block.text) continue;
    Range replaced{PositionOf(text, from), PositionOf(text, to)};
    // Blocks side by side are one edit.
    if (!edits.empty() && edits.back().range.end == replaced.start) {
      edits.back().range.end = replaced.end;
      edits.back().newText += block.text;
    } else {
      edits.push_back({replaced, block.text});
    }
  }
  return {std::move(edits), ""};
}

}  // namespace qelc::language
