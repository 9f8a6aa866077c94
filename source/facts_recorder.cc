#include "source/facts_recorder.h"

#include <utility>

namespace qelc {

namespace {

// An outline shows a block's entries and theirs (a clause and its rows, a
// module's block and its lines), no deeper: so it stays as small as the source
// however deeply its braces nest.
constexpr int32_t kKeptEntryDepth = 2;

// An entry's text stops growing at this many characters.
constexpr size_t kLongestEntryText = 60;

bool IsQuoted(std::string_view written) { return written.size() >= 2 && written.front() == '\''; }

}  // namespace

SourceRange FactRecorder::Locate(TextPoint start, TextPoint end) const {
  Location first = diagnostics_.Locate(start);
  Location last = diagnostics_.Locate(end);
  SourceRange at{std::move(first.file), first.line, first.column, last.line, last.column};
  // A stretch that a define's value made longer or shorter ends no earlier
  // than it starts.
  if (at.endLine < at.line || (at.endLine == at.line && at.endColumn < at.column)) {
    at.endLine = at.line;
    at.endColumn = at.column;
  }
  return at;
}

NameDefinition& FactRecorder::Define(NameKind kind, TokenSpan at, std::string_view written) {
  NameDefinition& definition = facts_.definitions.emplace_back();
  definition.kind = kind;
  definition.name = Unquote(written);
  definition.at = Locate(at.start, at.end);
  definition.quoted = IsQuoted(written);
  return definition;
}

void FactRecorder::Use(NameKind kind, TokenSpan at, std::string_view written) {
  if (written.empty()) return;
  facts_.uses.push_back({kind, Unquote(written), Locate(at.start, at.end), IsQuoted(written)});
}

void FactRecorder::Keyword(KeywordKind kind, TokenSpan at, std::string_view word) {
  facts_.keywords.push_back({kind, std::string(word), Locate(at.start, at.end)});
}

void FactRecorder::OpenSection(SectionKind kind, TokenSpan keyword, std::string_view word) {
  // A block inside another one is no top-level block (it cannot be: the
  // parsers read them one after the other), so only the outermost counts.
  if (!open_.empty() || unkeptDepth_ > 0) {
    ++unkeptDepth_;
    return;
  }
  SectionFact section;
  section.kind = kind;
  section.keyword = std::string(word);
  section.keywordAt = Locate(keyword.start, keyword.end);
  if (kind != SectionKind::kModule) Keyword(KeywordKind::kSection, keyword, word);
  nodes_.push_back({-1, keyword.start, keyword.end, std::string(word), true});
  sections_.emplace_back(nodes_.size() - 1, std::move(section));
  open_.push_back(nodes_.size() - 1);
}

void FactRecorder::OpenEntry(TextPoint start) {
  if (open_.empty() || unkeptDepth_ > 0 || int32_t(open_.size()) > kKeptEntryDepth) {
    ++unkeptDepth_;
    return;
  }
  nodes_.push_back({int32_t(open_.back()), start, start, {}, false});
  open_.push_back(nodes_.size() - 1);
}

void FactRecorder::Close(TextPoint end) {
  if (unkeptDepth_ > 0) {
    --unkeptDepth_;
    return;
  }
  if (open_.empty()) return;
  Node& node = nodes_[open_.back()];
  // A node that took no token ends where it starts.
  if (end.line > node.start.line ||
      (end.line == node.start.line && end.column > node.start.column)) {
    node.end = end;
  }
  open_.pop_back();
}

void FactRecorder::Consumed(const Token& token) {
  for (size_t index : open_) {
    Node& node = nodes_[index];
    if (node.labelled) continue;
    if (token.start.line != node.start.line || node.text.size() >= kLongestEntryText ||
        token.text == "{") {
      node.labelled = true;
      continue;
    }
    if (!node.text.empty() && token.text != "," && token.text != ";") node.text += ' ';
    node.text += token.text;
  }
}

OutlineEntry FactRecorder::Build(size_t node,
                                 const std::vector<std::vector<size_t>>& children) const {
  OutlineEntry entry;
  entry.text = nodes_[node].text;
  while (!entry.text.empty() && (entry.text.back() == ',' || entry.text.back() == ':' ||
                                 entry.text.back() == ';' || entry.text.back() == ' ')) {
    entry.text.pop_back();
  }
  if (entry.text.size() > kLongestEntryText)
    entry.text = entry.text.substr(0, kLongestEntryText) + "...";
  entry.span = Locate(nodes_[node].start, nodes_[node].end);
  for (size_t child : children[node]) entry.children.push_back(Build(child, children));
  return entry;
}

SourceFacts FactRecorder::Take(SourceFacts directives) {
  std::vector<std::vector<size_t>> children(nodes_.size());
  for (size_t node = 0; node < nodes_.size(); ++node) {
    if (nodes_[node].parent >= 0) children[size_t(nodes_[node].parent)].push_back(node);
  }
  for (auto& [node, section] : sections_) {
    section.span = Locate(nodes_[node].start, nodes_[node].end);
    for (size_t child : children[node]) section.entries.push_back(Build(child, children));
    facts_.sections.push_back(std::move(section));
  }
  sections_.clear();
  nodes_.clear();
  SourceFacts facts = std::move(facts_);
  facts_ = {};
  for (NameDefinition& define : directives.definitions)
    facts.definitions.push_back(std::move(define));
  for (NameUse& use : directives.uses) facts.uses.push_back(std::move(use));
  facts.includes = std::move(directives.includes);
  facts.conditionals = std::move(directives.conditionals);
  return facts;
}

}  // namespace qelc
