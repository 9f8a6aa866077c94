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
  // outline nodes opened until it closes.
  void OpenSection(SectionKind kind, TokenSpan keyword, std::string_view word);
  // An entry of the block being read starts at `start`. Entries nest; those
  // deeper than an outline shows are not kept.
  void OpenEntry(TextPoint start);
  // The node opened last ends at `end`.
  void Close(TextPoint end);
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

// An outline node for as long as its scope lasts: opened at the current token
// and closed at the end of the last token taken, also when an error ends its
// reading. Nothing without a recorder.
class FactScope {
 public:
  // An entry of the block being read.
  FactScope(FactRecorder* facts, const TokenStream& tokens) : facts_(facts), tokens_(tokens) {
    if (facts_) facts_->OpenEntry(tokens.Current().start);
  }
  // A top-level block whose keyword (a module's name) is the current token.
  FactScope(FactRecorder* facts, const TokenStream& tokens, SectionKind kind)
      : facts_(facts), tokens_(tokens) {
    if (facts_) {
      facts_->OpenSection(kind, {tokens.Current().start, tokens.End()}, tokens.Current().text);
    }
  }
  ~FactScope() {
    if (facts_) facts_->Close(tokens_.PreviousEnd());
  }
  FactScope(const FactScope&) = delete;
  FactScope& operator=(const FactScope&) = delete;

 private:
  FactRecorder* facts_;
  const TokenStream& tokens_;
};

}  // namespace qelc
