#pragma once

// Where the parsers note what they read while the linter runs (the compiler
// hands them none): the names a source defines and uses, the words a reader
// may want explained, and the outline of its blocks, each placed in the
// user's files. See qelc/facts.h for the facts themselves.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qelc/facts.h"
#include "source/diagnostics.h"
#include "source/token_stream.h"

namespace qelc {

// A token's stretch of the preprocessed text: its start and the place just
// after its last character.
struct TokenSpan {
  TextPoint start;
  TextPoint end;
};

class FactRecorder {
 public:
  explicit FactRecorder(const Diagnostics& diagnostics) : diagnostics_(diagnostics) {}
  FactRecorder(const FactRecorder&) = delete;
  FactRecorder& operator=(const FactRecorder&) = delete;

  // A name as written at `at` (quotes and all); the definition is returned for
  // the caller to add what its kind carries.
  NameDefinition& Define(NameKind kind, TokenSpan at, std::string_view written);
  void Use(NameKind kind, TokenSpan at, std::string_view written);
  void Keyword(KeywordKind kind, TokenSpan at, std::string_view word);

  // A top-level block starts at the word `keyword`; its entries are the
  // outline nodes opened until it ends at `end`.
  void OpenSection(SectionKind kind, TokenSpan keyword, std::string_view word);
  void CloseSection(TextPoint end);
  // An entry of the block being read starts at `start` and ends at `end`.
  // Entries nest; those deeper than an outline shows are not kept.
  void OpenEntry(TextPoint start);
  void CloseEntry(TextPoint end);
  // The parser takes the token `token` (the one it moves past): the open
  // entries whose first line it stands on take its text into theirs.
  void Consumed(const Token& token);

  // The facts noted, the directives' facts of `directives` joined to them.
  SourceFacts Take(SourceFacts directives);

 private:
  // An outline node while it is read: its parent by index (-1 for a section).
  struct Node {
    int32_t parent;
    TextPoint start;
    TextPoint end;
    std::string text;
    bool labelled;  // its text is complete
  };

  SourceRange Locate(TextPoint start, TextPoint end) const;
  OutlineEntry Build(size_t node, const std::vector<std::vector<size_t>>& children) const;

  const Diagnostics& diagnostics_;
  SourceFacts facts_;
  std::vector<Node> nodes_;
  // The sections by the index of their node, in order.
  std::vector<std::pair<size_t, SectionFact>> sections_;
  // The open nodes, innermost last, and how many entries are open beyond those
  // kept.
  std::vector<size_t> open_;
  int32_t unkeptDepth_ = 0;
};

// Closes the entry opened for its scope at the end of the last token taken,
// also when an error ends the reading of the entry.
class FactEntryScope {
 public:
  FactEntryScope(FactRecorder* facts, const TokenStream& tokens) : facts_(facts), tokens_(tokens) {
    if (facts_) facts_->OpenEntry(tokens.Current().start);
  }
  ~FactEntryScope() {
    if (facts_) facts_->CloseEntry(tokens_.PreviousEnd());
  }
  FactEntryScope(const FactEntryScope&) = delete;
  FactEntryScope& operator=(const FactEntryScope&) = delete;

 private:
  FactRecorder* facts_;
  const TokenStream& tokens_;
};

// The same for a top-level block that starts at the current token.
class FactSectionScope {
 public:
  FactSectionScope(FactRecorder* facts, const TokenStream& tokens, SectionKind kind)
      : facts_(facts), tokens_(tokens) {
    if (facts_) {
      facts_->OpenSection(kind, {tokens.Current().start, tokens.End()}, tokens.Current().text);
    }
  }
  ~FactSectionScope() {
    if (facts_) facts_->CloseSection(tokens_.PreviousEnd());
  }
  FactSectionScope(const FactSectionScope&) = delete;
  FactSectionScope& operator=(const FactSectionScope&) = delete;

 private:
  FactRecorder* facts_;
  const TokenStream& tokens_;
};

}  // namespace qelc
