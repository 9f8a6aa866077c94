#include "compiler/format_source.h"

#include <algorithm>
#include <utility>

#include "formats/lexicon.h"
#include "source/files.h"
#include "source/format.h"
#include "source/preprocessor.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

// The width of one level of indentation.
constexpr int kIndent = 2;

// When the layout does not keep what a source compiles to, the blocks are
// tried one at a time to name the line; past this many blocks the message
// names none rather than compile the source that many times over.
constexpr size_t kMostBlocksLocated = 64;

enum class ItemKind { kToken, kComment, kDirective };

// A token, a comment or a directive line of the source, where it stands.
struct Item {
  ItemKind kind = ItemKind::kToken;
  // As written: a token's characters (a string with its escapes and line
  // ends), a comment up to its line end, a directive line; the last two
  // without the blanks around them.
  std::string_view text;
  // A token as the tokenizer reads it, to compare with keywords.
  std::string word;
  TokenKind tokenKind = kWordToken;
  TextPoint start;
  TextPoint end;              // just after the last character
  int lineKind = kPlainLine;  // a directive's, as ClassifyLine gives it
};

bool IsDelimiter(const Item& item, char delimiter) {
  return item.kind == ItemKind::kToken && item.tokenKind == kWordToken && item.word.size() == 1 &&
         item.word[0] == delimiter;
}

// The words that open a clause of rows: the rows below are indented one more.
bool IsClauseKeyword(const Item& item) {
  if (item.kind != ItemKind::kToken || item.tokenKind != kWordToken) return false;
  for (std::string_view keyword : kClauseWords) {
    if (EqualsNoCase(item.word, keyword)) return true;
  }
  return false;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The text as the compiler reads it: a carriage return right before a line
// feed is dropped, as the text reader does.
std::string DropReturnsBeforeLineFeeds(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    kept.push_back(text[i]);
  }
  return kept;
}

// Where each line of a text starts.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {
    starts_.push_back(0);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts_.push_back(i + 1);
    }
    // A text that ends with its line end has no line after it.
    if (text.empty() || text.back() == '\n') starts_.pop_back();
  }

  int32_t Count() const { return int32_t(starts_.size()); }
  size_t Start(int32_t line) const { return line > Count() ? text_.size() : starts_[line - 1]; }
  // The line with its line end, if it has one.
  std::string_view Whole(int32_t line) const {
    return text_.substr(Start(line), Start(line + 1) - Start(line));
  }
  std::string_view Bare(int32_t line) const {
    std::string_view whole = Whole(line);
    if (!whole.empty() && whole.back() == '\n') whole.remove_suffix(1);
    return whole;
  }
  size_t Offset(TextPoint at) const { return Start(at.line) + size_t(at.column - 1); }

 private:
  std::string_view text_;
  std::vector<size_t> starts_;
};

class DiscardedMessages : public OutputSink {
 public:
  void Emit(Message) override {}
};

// The directive lines of `text` (as the preprocessor classifies them) blanked
// in `blanked`, so that lines and columns stay where they were.
std::vector<Item> DirectiveLines(const Lines& lines, std::string& blanked) {
  std::vector<Item> directives;
  std::string name, value;
  for (int32_t line = 1; line <= lines.Count(); ++line) {
    int kind = ClassifyLine(lines.Whole(line), name, value);
    if (kind == kPlainLine) continue;
    std::string_view bare = lines.Bare(line);
    Item directive{ItemKind::kDirective, TrimBlanks(bare), "",
                   kWordToken,           {line, 1},        {line, int32_t(bare.size()) + 1}};
    directive.lineKind = kind;
    directives.push_back(directive);
    std::fill_n(blanked.begin() + long(lines.Start(line)), bare.size(), ' ');
  }
  return directives;
}

// The tokens and comments of `blanked` through the compiler's tokenizer, as
// they are written in `text` (the same text before its directives were blanked).
bool ReadTokens(std::string_view text, const std::string& blanked, const Lines& lines,
                std::vector<Item>& items, std::string& problem) {
  DiscardedMessages discarded;
  Diagnostics diagnostics(discarded);
  MemoryFiles files([&blanked](const std::string&) { return std::optional<std::string>(blanked); });
  TokenStream stream(diagnostics);
  std::vector<TextPoint> comments;
  stream.TellComments(&comments);
  try {
    stream.Open(files.OpenForReading("source"));
    for (stream.Next(); !stream.Current().text.empty(); stream.Next()) {
      const Token& token = stream.Current();
      size_t from = lines.Offset(token.start);
      items.push_back({ItemKind::kToken, text.substr(from, lines.Offset(stream.End()) - from),
                       std::string(token.text), token.kind, token.start, stream.End()});
    }
  } catch (const FatalExit&) {
    problem = "a token is longer than the tokenizer takes";
    return false;
  }
  for (TextPoint start : comments) {
    std::string_view line = lines.Bare(start.line);
    std::string_view comment = line.substr(size_t(start.column - 1));
    items.push_back({ItemKind::kComment,
                     TrimBlanks(comment),
                     "",
                     kWordToken,
                     start,
                     {start.line, int32_t(line.size()) + 1}});
  }
  return true;
}

bool Before(const Item& a, const Item& b) {
  return a.start.line != b.start.line ? a.start.line < b.start.line
                                      : a.start.column < b.start.column;
}

// Where each item goes in the layout: on a new line or not, after a blank
// line or not, at which depth of braces.
struct Placement {
  bool newLine = false;
  bool blankLine = false;
  int depth = 0;  // braces open before the item
};

class Layout {
 public:
  Layout(const std::vector<Item>& items, int32_t lineCount)
      : items_(items), lineCount_(lineCount), placed_(items.size()) {
    Depths();
    Breaks();
    BlankLines();
  }

  std::vector<FormattedBlock> Blocks() {
    std::vector<FormattedBlock> blocks;
    size_t first = 0;
    for (size_t i = 1; i <= items_.size(); ++i) {
      if (i < items_.size() && !EndsBlock(i)) continue;
      int32_t firstLine = blocks.empty() ? 1 : blocks.back().lastLine + 1;
      int32_t lastLine = i == items_.size() ? lineCount_ : items_[i - 1].end.line;
      blocks.push_back({firstLine, lastLine, Written(first, i)});
      first = i;
    }
    if (blocks.empty() && lineCount_ > 0) blocks.push_back({1, lineCount_, ""});
    return blocks;
  }

 private:
  bool IsToken(size_t i) const { return items_[i].kind == ItemKind::kToken; }
  bool Is(size_t i, char delimiter) const { return IsDelimiter(items_[i], delimiter); }
  // The braces of a top-level section.
  bool OpensSection(size_t i) const { return Is(i, '{') && placed_[i].depth == 0; }
  bool ClosesSection(size_t i) const { return Is(i, '}') && placed_[i].depth == 1; }

  void Depths() {
    int depth = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
      placed_[i].depth = depth;
      if (Is(i, '{')) ++depth;
      // Braces that do not pair up (across the branches of an #ifdef) are
      // laid out as if the missing ones were there.
      if (Is(i, '}') && depth > 0) --depth;
    }
  }

  // The word before a section's opening brace names the section.
  bool NamesSection(size_t i) const {
    return i + 1 < items_.size() && IsToken(i) && OpensSection(i + 1) && !Is(i, '}');
  }

  void Breaks() {
    for (size_t i = 1; i < items_.size(); ++i) {
      const Item& item = items_[i];
      const Item& previous = items_[i - 1];
      bool written = item.start.line > previous.end.line;
      bool& newLine = placed_[i].newLine;
      if (item.kind == ItemKind::kComment) {
        newLine = written;  // a comment behind a token stays on its line
      } else if (item.kind == ItemKind::kDirective || previous.kind != ItemKind::kToken) {
        newLine = true;
      } else if (OpensSection(i)) {
        newLine = false;  // Section {
      } else {
        newLine = written || OpensSection(i - 1) || ClosesSection(i) || ClosesSection(i - 1) ||
                  NamesSection(i) || (Is(i - 1, ';') && placed_[i - 1].depth == 1);
      }
    }
    if (!items_.empty()) placed_[0].newLine = true;
  }

  // One blank line where the source has one or more, none after an opening
  // brace or before a closing one; and one before every section but the
  // first, above the comments and definitions that lead into it.
  void BlankLines() {
    for (size_t i = 1; i < items_.size(); ++i) {
      placed_[i].blankLine = placed_[i].newLine &&
                             items_[i].start.line - items_[i - 1].end.line >= 2 &&
                             !Is(i - 1, '{') && !Is(i, '}');
    }
    for (size_t i = 1; i < items_.size(); ++i) {
      if (!NamesSection(i)) continue;
      size_t lead = i;
      while (lead > 0 && !placed_[lead].blankLine && LeadsIntoSection(lead - 1)) --lead;
      // The first section of an #else branch follows the #else directly.
      bool afterElse = lead > 0 && items_[lead - 1].lineKind == kElseLine;
      if (lead > 0 && !afterElse) placed_[lead].blankLine = true;
    }
  }

  bool LeadsIntoSection(size_t i) const {
    const Item& item = items_[i];
    if (item.kind == ItemKind::kComment) return i == 0 || placed_[i].newLine;
    if (item.kind != ItemKind::kDirective) return false;
    // #else and #endif belong to the branches above them.
    return item.lineKind != kElseLine && item.lineKind != kEndifLine;
  }

  // A block ends after the line that closes a top-level section.
  bool EndsBlock(size_t i) const {
    if (!placed_[i].newLine || placed_[i].depth != 0) return false;
    if (items_[i - 1].end.line >= items_[i].start.line) return false;
    for (size_t j = i; j-- > 0;) {
      if (IsToken(j)) return ClosesSection(j) && items_[j].end.line == items_[i - 1].end.line;
    }
    return false;
  }

  // The items from `first` to `last` (not included), written.
  std::string Written(size_t first, size_t last) {
    std::string out;
    for (size_t i = first; i < last; ++i) {
      if (i == first || placed_[i].newLine) {
        if (i != first) EndLine(out);
        if (i > 0 && placed_[i].blankLine) out += '\n';
        out.append(size_t(LineIndent(i)), ' ');
      } else {
        out += Space(i);
      }
      out += items_[i].text;
      if (Is(i, '{')) OpenBlock(placed_[i].depth + 1);
    }
    if (first < last) EndLine(out);
    return out;
  }

  static void EndLine(std::string& out) {
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
    out += '\n';
  }

  void OpenBlock(int depth) {
    if (clauseOpen_.size() <= size_t(depth)) clauseOpen_.resize(size_t(depth) + 1);
    clauseOpen_[size_t(depth)] = false;
  }

  bool InClause(int depth) const {
    return size_t(depth) < clauseOpen_.size() && clauseOpen_[size_t(depth)];
  }

  // The rows of a block stand one level in, and one more below a clause.
  int RowIndent(int depth) const { return kIndent * (depth + (InClause(depth) ? 1 : 0)); }

  int LineIndent(size_t i) {
    const Item& item = items_[i];
    int depth = placed_[i].depth;
    if (item.kind == ItemKind::kDirective) return 0;
    if (item.kind == ItemKind::kComment) {
      // A comment on a line of its own stands where the next line does; one
      // before a closing brace, where the rows above it do.
      size_t next = i + 1;
      while (next < items_.size() && !IsToken(next)) ++next;
      if (next == items_.size()) return 0;
      if (Is(next, '{') || IsClauseKeyword(items_[next])) return kIndent * depth;
      return RowIndent(depth);
    }
    if (Is(i, '}')) return kIndent * std::max(0, depth - 1);
    if (Is(i, '{')) return kIndent * depth;
    if (IsClauseKeyword(item)) {
      OpenBlock(depth);
      clauseOpen_[size_t(depth)] = true;
      return kIndent * depth;
    }
    return RowIndent(depth);
  }

  // What separates an item from the one before it on the same line.
  std::string_view Space(size_t i) const {
    if (items_[i].kind == ItemKind::kComment) return " ";
    if (Is(i, ',') || Is(i, ']') || Is(i - 1, '[')) return "";
    // Before a '[' the source's choice stands: PN[3] and isin ['A'] read alike.
    if (Is(i, '[')) {
      const TextPoint& end = items_[i - 1].end;
      return end.line == items_[i].start.line && end.column == items_[i].start.column ? "" : " ";
    }
    return " ";
  }

  const std::vector<Item>& items_;
  int32_t lineCount_;
  std::vector<Placement> placed_;
  // By depth: whether the rows there stand below a clause.
  std::vector<bool> clauseOpen_;
};

// The line ends the user writes: CR LF when most lines end so.
bool WritesReturns(std::string_view text) {
  size_t feeds = size_t(std::count(text.begin(), text.end(), '\n'));
  size_t pairs = 0;
  for (size_t at = text.find("\r\n"); at != std::string_view::npos;
       at = text.find("\r\n", at + 2)) {
    ++pairs;
  }
  return pairs * 2 > feeds;
}

std::string WithReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Joined(const std::vector<FormattedBlock>& blocks) {
  std::string text;
  for (const FormattedBlock& block : blocks) text += block.text;
  return text;
}

// What a compilation leaves that formatting must keep.
struct Compiled {
  int status = 0;
  std::vector<OutputFile> files;
  std::vector<Diagnostic> diagnostics;
};

Compiled CompileText(const std::string& name, std::string_view text, IncludeResolver* resolver,
                     bool inWords) {
  CompileOptions options;
  options.resolver = resolver;
  options.warnings = inWords;
  CompileResult result = Compile({name, std::string(text)}, options);
  Compiled compiled{result.status, {}, std::move(result.diagnostics)};
  // The preprocessed text keeps the layout; everything else must stay.
  for (OutputFile& file : result.files) {
    if (!file.name.ends_with(".pre")) compiled.files.push_back(std::move(file));
  }
  return compiled;
}

bool SameOutput(const Compiled& a, const Compiled& b) {
  if (a.status != b.status || a.files.size() != b.files.size()) return false;
  for (size_t i = 0; i < a.files.size(); ++i) {
    if (a.files[i].name != b.files[i].name || a.files[i].bytes != b.files[i].bytes) return false;
  }
  return true;
}

FormattedSource Refused(std::string why) { return {std::nullopt, {}, "not formatted: " + why}; }

std::string FirstError(const std::string& name, std::string_view text, IncludeResolver* resolver,
                       int status) {
  Compiled inWords = CompileText(name, text, resolver, true);
  for (const Diagnostic& said : inWords.diagnostics) {
    if (said.severity != Severity::kError) continue;
    const Location& at = said.location;
    return Format("the source has an error at %s:%d:%d: %s",
                  (at.file.empty() ? name : at.file).c_str(), at.line, at.column,
                  said.message.c_str());
  }
  return Format("the source does not compile (exit status %d)", status);
}

// The first line at which two texts differ, counted from 1.
int32_t FirstDifferentLine(std::string_view a, std::string_view b) {
  size_t same = 0;
  while (same < a.size() && same < b.size() && a[same] == b[same]) ++same;
  return int32_t(std::count(a.begin(), a.begin() + long(same), '\n')) + 1;
}

// The first line of the first block that alone changes what the source
// compiles to; 0 when none does alone.
int32_t LineChangingOutput(const std::string& name, std::string_view text,
                           const std::vector<FormattedBlock>& blocks, IncludeResolver* resolver,
                           const Compiled& original) {
  if (blocks.size() > kMostBlocksLocated) return 0;
  Lines lines(text);
  for (const FormattedBlock& block : blocks) {
    std::string mixed(text.substr(0, lines.Start(block.firstLine)));
    mixed += block.text;
    mixed += text.substr(lines.Start(block.lastLine + 1));
    if (!SameOutput(original, CompileText(name, mixed, resolver, false))) return block.firstLine;
  }
  return 0;
}

}  // namespace

std::optional<std::vector<FormattedBlock>> LayOutSource(std::string_view text,
                                                        std::string& problem) {
  std::string read = DropReturnsBeforeLineFeeds(text);
  // The compiler drops one carriage return when it preprocesses and another
  // when it reads the result: a line that ends in two is not laid out.
  if (read.find("\r\n") != std::string::npos) {
    problem = "a line ends in more than one carriage return";
    return std::nullopt;
  }
  Lines lines(read);
  std::string blanked = read;
  std::vector<Item> items = DirectiveLines(lines, blanked);
  if (!ReadTokens(read, blanked, lines, items, problem)) return std::nullopt;
  std::stable_sort(items.begin(), items.end(), Before);
  // A directive line inside a quoted string is written with the string.
  std::vector<Item> kept;
  int32_t quotedTo = 0;
  for (Item& item : items) {
    if (item.kind == ItemKind::kDirective && item.start.line < quotedTo) continue;
    if (item.kind == ItemKind::kToken) quotedTo = item.end.line;
    kept.push_back(std::move(item));
  }
  std::vector<FormattedBlock> blocks = Layout(kept, lines.Count()).Blocks();
  if (WritesReturns(text)) {
    for (FormattedBlock& block : blocks) block.text = WithReturns(block.text);
  }
  return blocks;
}

FormattedSource FormatSource(const std::string& name, std::string_view text,
                             IncludeResolver* resolver) {
  Compiled original = CompileText(name, text, resolver, false);
  if (original.status != 0) return Refused(FirstError(name, text, resolver, original.status));
  std::string problem;
  std::optional<std::vector<FormattedBlock>> blocks = LayOutSource(text, problem);
  if (!blocks) return Refused(problem);
  std::string formatted = Joined(*blocks);
  std::optional<std::vector<FormattedBlock>> again = LayOutSource(formatted, problem);
  if (!again) return Refused(problem);
  if (std::string twice = Joined(*again); twice != formatted) {
    return Refused(Format("formatting the result again would change it at line %d",
                          FirstDifferentLine(formatted, twice)));
  }
  if (!SameOutput(original, CompileText(name, formatted, resolver, false))) {
    int32_t line = LineChangingOutput(name, text, *blocks, resolver, original);
    return Refused(
        line > 0 ? Format("formatting would change what the source compiles to at line %d", line)
                 : std::string("formatting would change what the source compiles to"));
  }
  return {std::move(formatted), std::move(*blocks), ""};
}

}  // namespace qelc
