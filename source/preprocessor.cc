#include "source/preprocessor.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/files.h"
#include "source/format.h"
#include "source/text_hash.h"
#include "source/text_reader.h"

namespace qelc {

namespace {

// A source line is read in pieces of at most this many characters; each piece
// is classified and rewritten on its own.
constexpr size_t kLinePieceLength = 1023;

// The source file is level 0; an #include that would open a level beyond this
// one is refused, which also ends include cycles.
constexpr int kMaxIncludeDepth = 64;

// The define cycle message shows at most this many characters of the line.
constexpr size_t kShownCycleLineLength = 80;

constexpr std::string_view kFirstWordDelimiters = " \t";
constexpr std::string_view kIncludeNameDelimiters = " \n\t\"";
constexpr std::string_view kArgumentDelimiters = " \t\n";

// Splits a text into words the way a C tokenizer that remembers its position
// does: delimiters before a word are skipped, the word runs up to the next
// delimiter, and that one delimiter is consumed together with the word. The
// delimiter set may change from one word to the next.
class WordSplitter {
 public:
  explicit WordSplitter(std::string_view text) : text_(text) {}

  // The next word, or an empty view when none is left.
  std::string_view Next(std::string_view delimiters) {
    size_t start = text_.find_first_not_of(delimiters, position_);
    if (start == std::string_view::npos) {
      position_ = text_.size();
      return {};
    }
    size_t end = std::min(text_.find_first_of(delimiters, start), text_.size());
    position_ = end == text_.size() ? end : end + 1;
    return text_.substr(start, end - start);
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

// Only these characters separate the words that defines may replace: commas,
// parentheses and quotes stay inside words, so A,B and (A) never match A.
constexpr auto kSubstitutionDelimiters = [] {
  std::array<bool, 256> set{};
  for (unsigned char c : std::string_view(" \t\n[]")) set[c] = true;
  return set;
}();

bool IsSubstitutionDelimiter(char c) {
  return kSubstitutionDelimiters[static_cast<unsigned char>(c)];
}

// What the nested runs over one source and its include files share.
struct Run {
  FILE* output;
  Diagnostics& diagnostics;
  FileSystem& files;
  DefineTable& defines;
  BranchStack& branches;
  LineMap* map;
  // The names of the files read, indexed by SourcePoint::file.
  std::vector<std::string> names;
  // Flags on the branch stack that are not 1: a line is written only while
  // there are none.
  size_t droppedBranches;
  // While linting: where each name's value that the defines keep was given.
  std::unordered_map<std::string, Location> definedAt = {};

  bool Writing() const { return droppedBranches == 0; }

  void PushBranch(int flag, const SourcePoint& at) {
    branches.push_back(flag);
    if (flag != 1) ++droppedBranches;
    if (map) map->OpenedConditional(at);
  }
  void PopBranch() {
    if (branches.back() != 1) --droppedBranches;
    branches.pop_back();
    if (map) map->ClosedConditional();
  }
  void FlipBranch() {
    int& flag = branches.back();
    if (flag != 1) --droppedBranches;
    flag = flag == 0 ? 1 : 0;
    if (flag != 1) ++droppedBranches;
  }
};

enum class PieceRead { kPiece, kEndOfFile, kNulCharacter };

// Reads the next piece of a line: up to and including its line end, but at
// most kLinePieceLength characters.
PieceRead ReadPiece(TextReader& reader, std::string& piece) {
  piece.clear();
  while (piece.size() < kLinePieceLength) {
    std::string_view bytes = reader.Buffered().substr(0, kLinePieceLength - piece.size());
    if (bytes.empty()) break;
    size_t lineEnd = bytes.find('\n');
    if (lineEnd != std::string_view::npos) bytes = bytes.substr(0, lineEnd + 1);
    if (bytes.find('\0') != std::string_view::npos) return PieceRead::kNulCharacter;
    piece.append(bytes);
    reader.Consume(bytes.size());
    if (lineEnd != std::string_view::npos) break;
  }
  return piece.empty() ? PieceRead::kEndOfFile : PieceRead::kPiece;
}

// The place of `length` characters at `at`, with the #include lines that reach
// its file where the run keeps a line map.
Location Place(const Run& run, const SourcePoint& at, int32_t length = 0) {
  SourcePoint end{at.file, at.line, at.column + length};
  if (run.map) return run.map->Locate(at, end);
  return {{run.names[size_t(at.file)], at.line, at.column, end.line, end.column}, {}};
}

// A failure: the compiler's console text on standard error, the linter's words
// at the line `at`.
void Fail(const Run& run, const SourcePoint& at, std::string consoleText, std::string_view check,
          std::string explanation) {
  run.diagnostics.Error(std::move(consoleText), Stream::kStandardError, check,
                        std::move(explanation), Place(run, at));
}

// Directives are compared over their keyword's length only: the linter warns
// when the word written is longer.
void CheckDirectiveWord(const Run& run, const SourcePoint& at, std::string_view line, int kind) {
  static constexpr std::string_view kKeywords[] = {"",        "#include", "#define", "#ifdef",
                                                   "#ifndef", "#endif",   "#else"};
  size_t start = line.find_first_not_of(" \t");
  std::string_view word = line.substr(start, line.find_first_of(" \t\n", start) - start);
  std::string_view keyword = kKeywords[kind];
  if (word.size() > keyword.size()) {
    run.diagnostics.WarnAt(
        Place(run, {at.file, at.line, at.column + int32_t(start)}, int32_t(word.size())),
        kKeywordPrefixCheck,
        Format("'%.*s' is read as the directive %.*s", int(word.size()), word.data(),
               int(keyword.size()), keyword.data()));
  }
}

void ReportDefineCycle(const Run& run, const SourcePoint& at, std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  line = line.substr(0, kShownCycleLineLength);
  Fail(run, at,
       Format("Define substitution does not end in line: %.*s\n", int(line.size()), line.data()),
       "define-cycle", "the defines of this line replace each other without end");
}

int PreprocessFile(FILE* input, const std::string& inputName, int depth, Run& run,
                   SourcePoint includedAt);

// Where a word of a directive stands in the user's file, on the piece read at
// `at`: the first match of `word` after the directive's keyword and at or after
// the offset `after` (a define's value stands behind its name).
SourceRange DirectiveNamePlace(const Run& run, const SourcePoint& at, std::string_view piece,
                               std::string_view word, size_t after = 0) {
  size_t keywordEnd = piece.find_first_of(" \t", piece.find_first_not_of(" \t"));
  if (keywordEnd == std::string_view::npos) keywordEnd = piece.size();
  size_t start = piece.find(word, std::max(keywordEnd, after));
  int32_t length = int32_t(word.size());
  if (start == std::string_view::npos) {
    start = piece.size();
    length = 0;
  }
  int32_t column = at.column + int32_t(start);
  return {run.names[size_t(at.file)], at.line, column, at.line, column + length};
}

// While linting: a #define read at `at` that loses part of what it says. The
// words after its value are dropped, and a name that already has a value keeps
// it.
void CheckDefine(Run& run, const SourcePoint& at, std::string_view piece, const std::string& name,
                 const std::string& value) {
  if (name.empty()) return;
  SourceRange nameAt = DirectiveNamePlace(run, at, piece, name);
  size_t valueEnd = size_t(nameAt.endColumn - at.column);
  if (!value.empty()) valueEnd = piece.find(value, valueEnd) + value.size();
  size_t extra = piece.find_first_not_of(kArgumentDelimiters, valueEnd);
  // A comment on the line is dropped with the line.
  if (extra != std::string_view::npos && !piece.substr(extra).starts_with("//") &&
      run.diagnostics.Enabled(kDefineExtraWords)) {
    std::string_view rest = piece.substr(extra);
    rest = rest.substr(0, rest.find_last_not_of(kArgumentDelimiters) + 1);
    run.diagnostics.WarnAt(
        Place(run, {at.file, at.line, at.column + int32_t(extra)}, int32_t(rest.size())),
        kDefineExtraWords,
        Format("%s is defined as %s; the words after it (%s) are dropped", QuotedText(name).c_str(),
               QuotedText(value).c_str(), QuotedText(rest).c_str()));
  }
  if (!run.diagnostics.Enabled(kDefineRepeated)) return;
  // The finding stands at the value, or at the name of a define without one.
  size_t start = value.empty() ? size_t(nameAt.column - at.column) : valueEnd - value.size();
  int32_t length = int32_t(value.empty() ? name.size() : value.size());
  Location here = Place(run, {at.file, at.line, at.column + int32_t(start)}, length);
  std::string_view kept = run.defines.Replacement(name);
  if (kept.empty()) {
    if (!value.empty()) run.definedAt[name] = std::move(here);
    return;
  }
  if (kept == value) return;
  auto first = run.definedAt.find(name);
  std::string earlier =
      first == run.definedAt.end() ? "" : " (at " + EarlierPlace(first->second, here) + ")";
  run.diagnostics.WarnAt(
      here, kDefineRepeated,
      Format("%s is already defined as %s%s; this value is ignored", QuotedText(name).c_str(),
             QuotedText(kept).c_str(), earlier.c_str()));
}

// While linting: the directive read at `at` as a fact of the source. An
// #include is noted before its file is read, so that includes stand in the
// order the lines do.
void NoteDirective(Run& run, int kind, const SourcePoint& at, std::string_view piece,
                   const std::string& name, const std::string& value) {
  SourceFacts& facts = run.map->DirectiveFacts();
  if (kind == kIncludeLine) {
    facts.includes.push_back(
        {name, DirectiveNamePlace(run, at, piece, name), run.names[size_t(at.file)], name});
  } else if (kind == kDefineLine && !name.empty()) {
    NameDefinition& define = facts.definitions.emplace_back();
    define.kind = NameKind::kDefine;
    define.name = name;
    define.at = DirectiveNamePlace(run, at, piece, name);
    if (!value.empty()) {
      define.target = value;
      size_t nameEnd = size_t(define.at.endColumn - at.column);
      define.valueAt = DirectiveNamePlace(run, at, piece, value, nameEnd);
    }
  } else if (kind == kEndifLine && !run.map->OpenConditionals().empty()) {
    const SourcePoint& opened = run.map->OpenConditionals().back();
    if (opened.file != at.file) return;
    size_t length = piece.ends_with('\n') ? piece.size() - 1 : piece.size();
    facts.conditionals.push_back({{run.names[size_t(at.file)], opened.line, opened.column, at.line,
                                   at.column + int32_t(length)}});
  }
}

// #include: runs the named file into the same output, where the line stood;
// `nameAt` is where the line names it.
bool IncludeFile(const std::string& name, int depth, Run& run, const SourcePoint& at,
                 const SourcePoint& nameAt) {
  if (depth == kMaxIncludeDepth) {
    Fail(run, at, Format("Include files nested too deeply at '%s'.\n", name.c_str()),
         "include-depth",
         Format("include files nest more than %d deep at '%s'", kMaxIncludeDepth, name.c_str()));
    return false;
  }
  FilePtr file = run.files.OpenForReading(name);
  // The .pre file being written cannot be included: reading it would only ever
  // find the lines it is itself appending, and the run would never end.
  if (!file || run.files.SameFile(file.get(), run.output)) {
    Fail(run, at, Format("Cannot open include file '%s'.\n", name.c_str()), "include-missing",
         Format("cannot open include file '%s' (names are relative to the "
                "working directory)",
                name.c_str()));
    // The linter reads on without the file, so that the rest of the source is
    // checked too.
    return run.diagnostics.Recovers();
  }
  return PreprocessFile(file.get(), name, depth + 1, run, nameAt) != 0;
}

// Rewrites `line` from `first`, the offset of its first word that a define
// rewrites. Each substitution puts the define's value in place of the word and
// scans the new line again from its front, skipping the first word of the line:
// the words before the replaced one are the same words as before and match no
// define, the value just inserted is examined (so a value may name a further
// define), and after a replaced first word the next word (then the first word
// of the new line) is not examined. Rather than rebuilding and rescanning the
// line, the scan keeps the finished text in `rewritten` and the text still to
// scan as a stack: the rest of the line at the bottom and each inserted value
// on top of the text it was inserted into. A word never spans two of them,
// because a replaced word always ended at a delimiter or at the end of its text.
// With `replaced`, each word of `line` itself that a define replaces is
// appended to it (a view into `line`).
bool SubstituteFrom(std::string_view line, size_t first, std::string& rewritten,
                    const DefineTable& defines, std::vector<std::string_view>* replaced = nullptr) {
  // The words in front of `first` match no define and stay as they are.
  rewritten.assign(line.substr(0, first));
  std::vector<std::string_view> pending{line.substr(first)};
  int substitutions = 0;
  // Whether the next word found is the first word of the line.
  bool atFirstWord = std::all_of(line.begin(), line.begin() + long(first), IsSubstitutionDelimiter);
  bool skipNextWord = false;
  while (!pending.empty()) {
    std::string_view& text = pending.back();
    size_t start = 0;
    while (start < text.size() && IsSubstitutionDelimiter(text[start])) ++start;
    rewritten.append(text.substr(0, start));
    if (start == text.size()) {
      pending.pop_back();
      continue;
    }
    size_t end = start;
    while (end < text.size() && !IsSubstitutionDelimiter(text[end])) ++end;
    std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    std::string_view value = skipNextWord ? std::string_view() : defines.Replacement(word);
    if (value.empty()) {
      rewritten.append(word);
      skipNextWord = false;
      atFirstWord = false;
      continue;
    }
    if (++substitutions > kMaxSubstitutionsPerLine) {
      rewritten.append(word);
      for (auto rest = pending.rbegin(); rest != pending.rend(); ++rest) rewritten.append(*rest);
      return false;
    }
    skipNextWord = atFirstWord;
    if (replaced && pending.size() == 1) replaced->push_back(word);
    pending.push_back(value);
  }
  return true;
}

// Writes `line` with its defines rewritten from its word at `first` on; false
// after a define cycle, whose message is written.
bool WriteRewrittenLine(std::string_view line, size_t first, Run& run, std::string& rewritten,
                        const SourcePoint& at) {
  bool noting = run.map && run.map->KeepsDirectiveFacts() && run.diagnostics.Linting();
  std::vector<std::string_view> replaced;
  if (!SubstituteFrom(line, first, rewritten, run.defines, noting ? &replaced : nullptr)) {
    ReportDefineCycle(run, at, rewritten);
    return false;
  }
  // Where the defines are used, as facts of the source.
  for (std::string_view word : replaced) {
    int32_t column = at.column + int32_t(word.data() - line.data());
    run.map->DirectiveFacts().uses.push_back(
        {NameKind::kDefine,
         std::string(word),
         {run.names[size_t(at.file)], at.line, column, at.line, column + int32_t(word.size())},
         false});
  }
  std::fwrite(rewritten.data(), 1, rewritten.size(), run.output);
  if (run.map) run.map->Wrote(rewritten, at);
  return true;
}

// Writes a plain line with its defines rewritten. Most lines name no define
// and go out as they are.
bool WritePlainLine(std::string_view line, Run& run, std::string& rewritten,
                    const SourcePoint& at) {
  if (size_t first = FirstRewrittenWord(line, run.defines); first != std::string_view::npos) {
    return WriteRewrittenLine(line, first, run, rewritten, at);
  }
  std::fwrite(line.data(), 1, line.size(), run.output);
  if (run.map) run.map->Wrote(line, at);
  return true;
}

// Acts on one piece of a line, read at `at`; false after a failure whose
// message is written.
bool HandlePiece(std::string_view piece, int depth, Run& run, std::string& name, std::string& value,
                 std::string& rewritten, const SourcePoint& at) {
  int kind = ClassifyLine(piece, name, value);
  if (kind != kPlainLine && run.diagnostics.Enabled(kKeywordPrefixCheck)) {
    CheckDirectiveWord(run, at, piece, kind);
  }
  if (kind != kPlainLine && run.map && run.map->KeepsDirectiveFacts() &&
      run.diagnostics.Linting() && (run.Writing() || kind == kEndifLine)) {
    NoteDirective(run, kind, at, piece, name, value);
  }
  switch (kind) {
    case kPlainLine:
      return !run.Writing() || WritePlainLine(piece, run, rewritten, at);
    case kIncludeLine: {
      if (!run.Writing()) return true;
      SourcePoint nameAt{at.file, at.line, DirectiveNamePlace(run, at, piece, name).column};
      return IncludeFile(name, depth, run, at, nameAt);
    }
    case kDefineLine:
      if (!run.Writing()) return true;
      if (run.diagnostics.Linting()) CheckDefine(run, at, piece, name, value);
      run.defines.Add(name, value);
      return true;
    // Conditionals act inside dropped branches too, so that their #else and
    // #endif pair up.
    case kIfdefLine:
      run.PushBranch(run.defines.IsDefined(name) ? 1 : 0, at);
      return true;
    case kIfndefLine:
      run.PushBranch(run.defines.IsDefined(name) ? 0 : 1, at);
      return true;
    case kElseLine:
      if (run.branches.empty()) {
        Fail(run, at,
             "Found #else statement but no corresponding #ifdef or #ifndef "
             "statement found.",
             "unmatched-conditional", "#else without an open #ifdef or #ifndef");
        return false;
      }
      run.FlipBranch();
      return true;
    case kEndifLine:
      if (run.branches.empty()) {
        // No blank after "Found": the console output other tools read.
        Fail(run, at,
             "Found#endif statement but no corresponding #ifdef or #ifndef "
             "statement found.",
             "unmatched-conditional", "#endif without an open #ifdef or #ifndef");
        return false;
      }
      run.PopBranch();
      return true;
  }
  return true;
}

// Writes the whole plain lines at the front of the read buffer (no directive,
// no NUL), `at` the place of the first: those that go out as they are
// together, with one write, the others rewritten one by one; each enters the
// line map, where the run keeps one. Most lines of most sources are such
// lines; the first one that is not is left to be read as a piece. False after a
// define cycle, whose message is written.
bool WritePlainLines(TextReader& reader, Run& run, std::string& rewritten, SourcePoint& at) {
  std::string_view bytes = reader.Buffered();
  // A line that holds a NUL is refused when it is read as a piece.
  bytes = bytes.substr(0, bytes.find('\0'));
  // The lines from `unwritten` to `taken` go out as they are, once a line
  // that is rewritten or the end of the run comes.
  size_t unwritten = 0;
  size_t taken = 0;
  auto writeUnchanged = [&] {
    std::fwrite(bytes.data() + unwritten, 1, taken - unwritten, run.output);
    unwritten = taken;
  };
  for (;;) {
    std::string_view rest = bytes.substr(taken, kLinePieceLength);
    size_t lineEnd = rest.find('\n');
    if (lineEnd == std::string_view::npos) break;
    std::string_view line = rest.substr(0, lineEnd + 1);
    size_t start = 0;
    while (line[start] == ' ' || line[start] == '\t') ++start;
    if (line[start] == '#') break;
    if (size_t first = FirstRewrittenWord(line, run.defines); first != std::string_view::npos) {
      writeUnchanged();
      if (!WriteRewrittenLine(line, first, run, rewritten, at)) return false;
      unwritten += line.size();
    } else if (run.map) {
      run.map->Wrote(line, at);
    }
    taken += line.size();
    ++at.line;
  }
  writeUnchanged();
  reader.Consume(taken);
  return true;
}

int PreprocessFile(FILE* input, const std::string& inputName, int depth, Run& run,
                   SourcePoint includedAt) {
  // Held on the heap: include files nest 64 deep, each with its read buffer.
  auto reader = std::make_unique<TextReader>(input);
  std::string piece, name, value, rewritten;
  run.names.push_back(inputName);
  if (run.map) run.map->AddFile(inputName, includedAt);
  SourcePoint at{int32_t(run.names.size() - 1), 1, 1};
  for (;;) {
    if (run.Writing() && at.column == 1 && !WritePlainLines(*reader, run, rewritten, at)) return 0;
    switch (ReadPiece(*reader, piece)) {
      case PieceRead::kEndOfFile:
        return 1;
      case PieceRead::kNulCharacter:
        Fail(run, at, Format("NUL character in '%s'.\n", inputName.c_str()), "nul-character",
             "a NUL character in the source (is it a text file?)");
        return 0;
      case PieceRead::kPiece:
        if (!HandlePiece(piece, depth, run, name, value, rewritten, at)) return 0;
        break;
    }
    // The next piece continues this line unless this one ended it.
    if (piece.back() == '\n') {
      ++at.line;
      at.column = 1;
    } else {
      at.column += int32_t(piece.size());
    }
  }
}

}  // namespace

const WarningCheck kDefineRepeated{
    "define-repeated", true,
    "a #define of a name that already has a value, which keeps it: the later value is ignored"};
const WarningCheck kDefineExtraWords{
    "define-extra-words", true,
    "a #define with words after its value (#define SIZE 124 K stores 124 and drops K)"};

DefineTable::DefineView DefineTable::At(uint32_t define) const {
  const char* record = texts_.data() + define - 1;
  uint32_t lengths[2];
  std::memcpy(lengths, record, sizeof lengths);
  const char* name = record + sizeof lengths;
  return {{name, lengths[0]}, {name + lengths[0], lengths[1]}};
}

uint32_t DefineTable::Append(std::string_view name, std::string_view value) {
  // The slots hold 32-bit offsets: defines of more than 4 GB of text are taken
  // as the memory running out, which is what so large a source meets anyway.
  if (texts_.size() + 2 * sizeof(uint32_t) + name.size() + value.size() >= UINT32_MAX) {
    throw std::bad_alloc();
  }
  uint32_t define = uint32_t(texts_.size() + 1);
  const uint32_t lengths[2] = {uint32_t(name.size()), uint32_t(value.size())};
  texts_.append(reinterpret_cast<const char*>(lengths), sizeof lengths);
  texts_.append(name);
  texts_.append(value);
  return define;
}

// The slot that holds `name`, or the empty one where it belongs.
size_t DefineTable::Probe(std::string_view name, uint32_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = HomeSlot(hash, slots_.size());; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.define == 0) return i;
    if (slot.hash != hash) continue;
    std::string_view defined = At(slot.define).name;
    if (defined.size() == name.size() && SameBytes(defined.data(), name.data(), name.size()))
      return i;
  }
}

// Doubles the slots once one more define would fill more than half of them.
void DefineTable::Grow() {
  constexpr size_t kFirstSlotCount = 64;
  if (2 * (defines_ + 1) <= slots_.size()) return;
  std::vector<Slot> old(std::max(kFirstSlotCount, 2 * slots_.size()));
  old.swap(slots_);
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.define == 0) continue;
    size_t i = HomeSlot(slot.hash, slots_.size());
    while (slots_[i].define != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void DefineTable::Add(std::string_view name, std::string_view value) {
  if (!name.empty() && !value.empty()) {
    valuedInitials_[static_cast<unsigned char>(name[0])] = true;
    hasValues_ = true;
  }
  Grow();
  uint32_t hash = HashText(name);
  Slot& slot = slots_[Probe(name, hash)];
  if (slot.define == 0) {
    slot = {hash, Append(name, value)};
    ++defines_;
  } else if (At(slot.define).value.empty() && !value.empty()) {
    // A later entry only counts while every earlier one of its name is valueless.
    slot.define = Append(name, value);
  }
}

bool DefineTable::IsDefined(std::string_view name) const {
  return !slots_.empty() && slots_[Probe(name, HashText(name))].define != 0;
}

std::string_view DefineTable::Replacement(std::string_view word) const {
  if (word.empty() || !valuedInitials_[static_cast<unsigned char>(word[0])]) return {};
  const Slot& slot = slots_[Probe(word, HashText(word))];
  return slot.define == 0 ? std::string_view() : At(slot.define).value;
}

int ClassifyLine(std::string_view line, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  // Most lines are no directive, which their first character after the blanks
  // and tabs shows.
  size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  if (start == line.size() || line[start] != '#') return kPlainLine;
  WordSplitter words(line);
  // The line end stays attached to a last word: "#endif\n" is an #endif.
  std::string_view first = words.Next(kFirstWordDelimiters);
  if (first.empty() || first[0] != '#') return kPlainLine;
  // Only the keyword's length is compared, so #includes acts as #include and
  // #ELSEIF as #else; #ifdef is tested before #ifndef.
  if (StartsWithNoCase(first, "#include")) {
    // A name between double quotes opens the same file as the bare name.
    name = words.Next(kIncludeNameDelimiters);
    return kIncludeLine;
  }
  if (StartsWithNoCase(first, "#define")) {
    name = words.Next(kArgumentDelimiters);
    value = words.Next(kArgumentDelimiters);
    return kDefineLine;
  }
  if (StartsWithNoCase(first, "#ifdef")) {
    name = words.Next(kArgumentDelimiters);
    return kIfdefLine;
  }
  if (StartsWithNoCase(first, "#ifndef")) {
    name = words.Next(kArgumentDelimiters);
    return kIfndefLine;
  }
  if (StartsWithNoCase(first, "#else")) return kElseLine;
  if (StartsWithNoCase(first, "#endif")) return kEndifLine;
  return kPlainLine;
}

size_t FirstRewrittenWord(std::string_view line, const DefineTable& defines) {
  if (!defines.HasValues()) return std::string_view::npos;
  size_t start = 0;
  for (;;) {
    while (start < line.size() && IsSubstitutionDelimiter(line[start])) ++start;
    if (start == line.size()) return std::string_view::npos;
    size_t end = start;
    while (end < line.size() && !IsSubstitutionDelimiter(line[end])) ++end;
    if (!defines.Replacement(line.substr(start, end - start)).empty()) return start;
    start = end;
  }
}

bool SubstituteDefines(std::string_view line, std::string& rewritten, const DefineTable& defines) {
  size_t first = FirstRewrittenWord(line, defines);
  if (first == std::string_view::npos) {
    rewritten.assign(line);
    return true;
  }
  return SubstituteFrom(line, first, rewritten, defines);
}

int Preprocess(FILE* input, const std::string& inputName, FILE* output, DefineTable& defines,
               BranchStack& branches, Diagnostics& diagnostics, FileSystem& files, LineMap* map) {
  auto isDropped = [](int flag) { return flag != 1; };
  size_t dropped = std::count_if(branches.begin(), branches.end(), isDropped);
  Run run{output, diagnostics, files, defines, branches, map, {}, dropped};
  return PreprocessFile(input, inputName, 0, run, SourcePoint{-1, 0, 0});
}

}  // namespace qelc
