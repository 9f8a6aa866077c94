#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "qelc/diagnostic.h"

namespace qelc {

// A place in the preprocessed text, counted from 1: the start of a token.
struct TextPoint {
  int32_t line = 1;
  int32_t column = 1;
  bool operator==(const TextPoint&) const = default;
};

// A stretch of the preprocessed text: from its first character to just after
// its last. A place alone stands for the stretch of the token that starts
// there, where the token is known (Diagnostics::Locate).
struct TextRange {
  TextRange() = default;
  TextRange(TextPoint at) : start(at), end(at) {}  // NOLINT: a place is a range
  TextRange(TextPoint start, TextPoint end) : start(start), end(end) {}
  TextPoint start;
  TextPoint end;
};

// The stream the qelc program prints a message's console text on.
enum class Stream { kStandardOutput, kStandardError };

// What one message of a compilation is: a line of its progress or summary, or
// a finding (a warning or an error).
enum class MessageKind { kProgress, kSummary, kFinding };

// Everything a compilation says goes out as one of these. `console` is exactly
// what the qelc program prints for it (nothing for a warning), on `stream`; a
// finding is also `diagnostic`, in the words a linter or an editor shows.
struct Message {
  MessageKind kind = MessageKind::kFinding;
  Diagnostic diagnostic;
  std::string console;
  Stream stream = Stream::kStandardOutput;
};

// Where a compilation's messages go, in the order they are said: the qelc
// program prints their console text, a linter or an editor collects them.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Emit(Message message) = 0;
};

// A warning check: its name (as -Wno-NAME gives it), whether it is on unless
// turned off, and one line on what it finds. Each is declared beside the parser
// that reports it, and listed by its folder's WarningChecks().
struct WarningCheck {
  std::string_view name;
  bool onByDefault;
  std::string_view summary;
};

// The names of the warning checks that are on in one compilation.
using WarningSet = std::unordered_set<std::string_view>;

// A check that both the preprocessor and the soft-IP parser report: a word read
// as the keyword it starts with (#includes as #include, Inputs as Input).
extern const WarningCheck kKeywordPrefixCheck;

// A check of the DAF and the soft-IP parsers: a number field whose text is not
// what is stored (a pin word A1 stored as 0, a module number kept in 8 bits).
extern const WarningCheck kNumberConversionCheck;

// The warning checks that source/ declares.
std::span<const WarningCheck* const> SourceWarningChecks();

// Ends a compilation with an exit status: thrown once the message that says
// why has been emitted, and caught where the compilation began.
struct FatalExit {
  int status;
};

// How far the linter's recovery gives up after the error just reported.
enum class Unwind {
  kEntry,    // the entry that failed: its list goes on at the next entry
  kSection,  // the section or top-level block: a table is full, or the entry ran
             // into the next one
  kSource,   // the rest of the source: the string pool is full, so every later
             // text would fail
};

class LineMap;

// Where an earlier place stands, as a finding at `finding` quotes it:
// LINE:COLUMN, with the file in front when it is another one.
std::string EarlierPlace(const Location& earlier, const Location& finding);

// The reporting side of one compilation: the sink, the warnings that are on,
// where in the user's files a place of the preprocessed text lies, and where
// the token being read stands (the default place of a message).
class Diagnostics {
 public:
  explicit Diagnostics(OutputSink& sink) : sink_(sink) {}
  Diagnostics(const Diagnostics&) = delete;
  Diagnostics& operator=(const Diagnostics&) = delete;

  // Findings are wanted (warnings, and errors in words): callers test this
  // before building a finding's text, so that the compiler pays one comparison.
  bool Linting() const { return linting_; }
  // Turns findings on, with the warnings named in `enabled`.
  void CollectFindings(WarningSet enabled);
  bool Enabled(const WarningCheck& check) const {
    return linting_ && enabled_.contains(check.name);
  }

  // The linter reads on after an error (see source/recovery.h) to report the
  // later ones too; a compilation, with findings or without, ends at the first.
  void RecoverAfterErrors() { recovering_ = linting_; }
  bool Recovers() const { return recovering_; }
  // The errors reported so far (more than one only where the linter recovers).
  int64_t ErrorsReported() const { return errors_; }

  // Places in the preprocessed text are turned into the user's places through
  // `map` (null: they stay as they are).
  void UseLineMap(const LineMap* map) { map_ = map; }
  void ReadingAt(const TextPoint* currentToken) { currentToken_ = currentToken; }
  TextPoint CurrentPoint() const { return currentToken_ ? *currentToken_ : TextPoint{}; }

  // While findings are collected the token stream tells each token it reads,
  // so that a place given by a token's start reaches to the token's end. The
  // last kRecentTokens are kept: findings are said about the tokens just read,
  // or with their whole range.
  static constexpr size_t kRecentTokens = 64;
  void ReadToken(TextPoint start, TextPoint end) {
    recent_[nextRecent_++ % kRecentTokens] = {start, end};
  }

  // The user's place of a stretch of the preprocessed text, with the #include
  // lines that reach its file. An empty range that starts a recent token
  // stands for that token.
  Location Locate(TextRange range) const;
  // EarlierPlace of two places of the preprocessed text.
  std::string EarlierPlace(TextPoint earlier, TextPoint finding) const {
    return qelc::EarlierPlace(Locate(earlier), Locate(finding));
  }

  // A progress or summary line, printed on `stream`.
  void Print(MessageKind kind, std::string console, Stream stream = Stream::kStandardOutput);

  // A warning at `at` (at the current token without one); nothing while the
  // check is off.
  void Warn(const WarningCheck& check, std::string text);
  void WarnAt(TextRange at, const WarningCheck& check, std::string text);
  void WarnAt(Location at, const WarningCheck& check, std::string text);

  // The word that a "did you mean" of the finding about to be said names for
  // the token at `at`: when the finding stands there, its fix replaces the
  // token with the word. Said or not, the proposal ends with the next finding.
  void ProposeReplacement(TextRange at, std::string word) {
    if (!linting_) return;
    proposedAt_ = at;
    proposed_ = std::move(word);
    proposedInsertion_ = false;
  }
  // The same of a text that the fix inserts at `at`.
  void ProposeInsertion(TextPoint at, std::string text) {
    ProposeReplacement(at, std::move(text));
    proposedInsertion_ = true;
  }

  // An error: its console text on `stream`, the text in words (the console text
  // on one line when there is none). The caller ends the compilation.
  void Error(std::string console, Stream stream, std::string_view check, std::string text,
             Location at);
  // The same at the current token.
  void Error(std::string console, Stream stream, std::string_view check, std::string text);
  // The same, then the end of the compilation with status 1.
  [[noreturn]] void Fail(std::string console, Stream stream, std::string_view check,
                         std::string text, Location at);
  [[noreturn]] void Fail(std::string console, Stream stream, std::string_view check,
                         std::string text = {});
  // An error at `at` of the preprocessed text.
  [[noreturn]] void FailAt(TextRange at, std::string console, Stream stream, std::string_view check,
                           std::string text = {});

  // An error said at `cause`, a place before the current token that likely led
  // to it; the finding names the current token, quoted as `found`, as the token
  // found.
  [[noreturn]] void FailAtCause(TextRange cause, std::string console, Stream stream,
                                std::string_view check, std::string text, std::string found);

  // A file of the run that could not be written or closed: "Fail to write
  // PATH." on standard error, status 1.
  [[noreturn]] void WriteFailed(const std::string& path);

  // Ends the compilation with `status` after whatever was said already.
  [[noreturn]] void Exit(int status) { throw FatalExit{status}; }

  // While linting: the error about to be reported leaves no point in reading on
  // before `scope`'s end (the compiler stops at every error anyway). The
  // recovery that catches the error reads the scope and clears it again.
  void GiveUp(Unwind scope) {
    if (recovering_ && scope > unwind_) unwind_ = scope;
  }
  Unwind Unwinding() const { return unwind_; }
  void ResumeReading() { unwind_ = Unwind::kEntry; }

 private:
  OutputSink& sink_;
  bool linting_ = false;
  bool recovering_ = false;
  int64_t errors_ = 0;
  WarningSet enabled_;
  const LineMap* map_ = nullptr;
  const TextPoint* currentToken_ = nullptr;
  Unwind unwind_ = Unwind::kEntry;
  std::array<TextRange, kRecentTokens> recent_{};
  size_t nextRecent_ = 0;
  TextRange proposedAt_;
  std::string proposed_;
  bool proposedInsertion_ = false;

  void Emit(Message message);
};

}  // namespace qelc
