#include "compiler/lint_run.h"

#include <algorithm>
#include <optional>
#include <string>

#include "compiler/compilation.h"
#include "qelc/qelc.h"
#include "sections/registry.h"
#include "softip/library.h"
#include "softip/soft_ip_driver.h"
#include "source/ascii.h"
#include "source/expect.h"
#include "source/facts_recorder.h"
#include "source/line_map.h"
#include "source/text_reader.h"

namespace qelc::lint {

namespace {

// Keeps the findings of one source up to its `maxErrors`-th error (0: all of
// them) and only counts the errors after it, up to kMostErrorsCounted: the
// error that reaches that many ends the reading of the source. Progress and
// summary lines are the compiler's console text, not findings.
class Collector : public OutputSink {
 public:
  explicit Collector(size_t maxErrors) : maxErrors_(maxErrors) {}

  // The compilation whose reading the collector may end.
  void Collect(Diagnostics& diagnostics) { diagnostics_ = &diagnostics; }

  void Emit(Message message) override {
    if (message.kind != MessageKind::kFinding) return;
    bool error = message.diagnostic.severity == Severity::kError;
    if (maxErrors_ > 0 && errors_ == maxErrors_) {
      if (!error || !notShown.readToEnd) return;
      if (++notShown.errors == kMostErrorsCounted) {
        notShown.readToEnd = false;
        if (diagnostics_) diagnostics_->GiveUp(Unwind::kSource);
      }
      return;
    }
    errors_ += error;
    found.push_back(std::move(message.diagnostic));
  }

  std::vector<Diagnostic> found;
  NotShown notShown;

 private:
  size_t maxErrors_;
  size_t errors_ = 0;
  Diagnostics* diagnostics_ = nullptr;
};

bool IsSoftIpSource(std::string_view path, bool& isSource) {
  size_t dot = path.rfind('.');
  std::string_view extension = dot == std::string_view::npos ? "" : path.substr(dot);
  isSource = StartsWithNoCase(extension, ".daf") || StartsWithNoCase(extension, ".ipf");
  return StartsWithNoCase(extension, ".ipf");
}

// Where the parse may resume after an error in the block that started at
// `blockStart`: a later token that opens its line and that `opensBlock` accepts
// (the one that failed, when it is such a token), or the end of the input.
// `skipping` sees each token passed over.
template <typename OpensBlock, typename Skipping>
void SkipToNextBlock(ParseState& s, TextPoint blockStart, OpensBlock opensBlock,
                     Skipping skipping) {
  auto atResumePoint = [&] {
    const Token& token = CurrentToken(s);
    bool opensLine = token.start.line != s.tokens.PreviousTokenLine();
    bool later = token.start.line != blockStart.line || token.start.column != blockStart.column;
    return token.text.empty() || (opensLine && later && opensBlock());
  };
  while (!atResumePoint()) {
    skipping();
    // A token too long is an error of its own, reported where it stands.
    try {
      NextToken(s);
    } catch (const FatalExit&) {
    }
  }
}

// Runs one block with `parse`, and after an error moves on to where the next
// block may start; `skipping` sees the first token of a block that failed and
// each token passed over. False when nothing more of the source can be read.
template <typename Parse, typename OpensBlock, typename Skipping>
bool ParseBlock(ParseState& s, Parse parse, OpensBlock opensBlock, Skipping skipping) {
  TextPoint blockStart = CurrentToken(s).start;
  std::string first(TokenText(s));
  try {
    parse();
    return true;
  } catch (const FatalExit&) {
  }
  if (s.diagnostics.Unwinding() == Unwind::kSource) return false;
  s.diagnostics.ResumeReading();
  skipping(first);
  SkipToNextBlock(s, blockStart, opensBlock, [&] { skipping(TokenText(s)); });
  return true;
}

template <typename Parse, typename OpensBlock, typename Skipping>
void ParseBlocks(ParseState& s, Parse parse, OpensBlock opensBlock, Skipping skipping) {
  while (!TokenText(s).empty() && ParseBlock(s, parse, opensBlock, skipping)) {
  }
}

void SkipsNothing(std::string_view) {}

bool OpensSection(const Parser& p) { return FindSection(TokenText(p)) != nullptr; }

// A top-level soft-IP block: SoftIPCategory, or a module name at the start of a
// line (the blocks inside a module are indented, so they are not taken for
// one).
bool OpensSoftIpBlock(const Parser& p) {
  const Token& token = CurrentToken(p);
  return TokenIs(p, "SoftIPCategory") || (token.start.column == 1 && token.kind == kWordToken &&
                                          token.text != "}" && token.text != "{");
}

std::string DeviceHeaderExpected(const Parser& p) {
  return "a DAF source starts with 'Device NAME', found " + QuotedToken(p);
}

void ParseDaf(Compilation& compilation) {
  ParseState& s = compilation.state();
  auto opensSection = [&s] { return OpensSection(s); };
  s.opensBlock = OpensSection;
  if (!compilation.PrepareDafTables()) return;
  // A TypeCategory section passed over may have named categories that the Pin
  // section uses: from then on a name not found there proves nothing.
  const void* categories = &compilation.tables().typeCategories;
  auto skipping = [&s, categories](std::string_view word) {
    if (EqualsNoCase(word, "TypeCategory")) s.incompleteTables.insert(categories);
  };
  bool readOn = ParseBlock(
      s,
      [&] {
        NextToken(s);  // the first token may already be refused
        ExpectText(s, "Device", {"syntax", DeviceHeaderExpected});
        skipping(TokenText(s));  // a name left out takes the next word
        SkipToken(s);            // the device name
      },
      opensSection, skipping);
  if (!readOn) return;
  DafRun daf{compilation.tables(), {}, {}};
  ParseBlocks(
      s, [&] { ReadNextSection(s, daf); }, opensSection, skipping);
  CheckAcrossSections(s, daf);
}

void ParseSoftIP(Compilation& compilation) {
  ParseState& s = compilation.state();
  SoftIPBuild& library = compilation.library();
  auto opensBlock = [&s] { return OpensSoftIpBlock(s); };
  s.opensBlock = OpensSoftIpBlock;
  if (!BeginSoftIPLibrary(s, library)) return;
  // A first token that is refused (too long) is reported once and passed over,
  // not read again as a module's name.
  for (bool read = false; !read;) {
    try {
      NextToken(s);
      read = true;
    } catch (const FatalExit&) {
      if (s.diagnostics.Unwinding() == Unwind::kSource) return;
    }
  }
  ParseBlocks(
      s, [&] { ReadSoftIPBlock(s, library); }, opensBlock, SkipsNothing);
}

// A string that holds a line end and that an error names as its cause is said
// once, by the error.
void DropWarningsOfRunOnStrings(std::vector<Diagnostic>& found) {
  std::vector<Location> causes;
  for (const Diagnostic& said : found) {
    if (said.stoppedAt) causes.push_back(said.location);
  }
  std::erase_if(found, [&causes](const Diagnostic& said) {
    const Location& at = said.location;
    return said.check == kStringSpansLines.name &&
           std::any_of(causes.begin(), causes.end(), [&at](const Location& cause) {
             return cause.file == at.file && cause.line == at.line && cause.column == at.column;
           });
  });
}

// Reads `path` from `files` (see LintText); `onDisk` when the source was
// opened on the disk before.
LintStatus LintFiles(const std::string& path, bool softIp, bool onDisk, FileSystem& files,
                     const WarningSet& enabled, size_t maxErrors, std::vector<Diagnostic>& findings,
                     NotShown& notShown, SourceFacts* facts,
                     const std::vector<std::string>* repeatedPinNames) {
  Collector collector(maxErrors);
  LineMap map;
  map.KeepDirectiveFacts(facts != nullptr);
  Compilation::Preprocessed preprocessed = Compilation::Preprocessed::kCannotOpen;
  {
    Compilation compilation(files, collector);
    Diagnostics& diagnostics = compilation.diagnostics();
    diagnostics.CollectFindings(enabled);
    diagnostics.RecoverAfterErrors();
    collector.Collect(diagnostics);
    diagnostics.UseLineMap(&map);
    compilation.state().repeatedPinNames = repeatedPinNames;
    std::optional<FactRecorder> recorder;
    if (facts) compilation.state().facts = &recorder.emplace(diagnostics);
    // A name no source has, so that no #include line can name it.
    const std::string preName = "\n.pre";
    preprocessed = compilation.Preprocess(path, preName, &map);
    if (preprocessed == Compilation::Preprocessed::kDone) {
      compilation.state().tokens.Open(files.OpenForReading(preName));
      if (softIp) {
        ParseSoftIP(compilation);
      } else {
        ParseDaf(compilation);
      }
    }
    if (facts) *facts = recorder->Take(std::move(map.DirectiveFacts()));
  }
  DropWarningsOfRunOnStrings(collector.found);
  // A place the line map holds no file for (the source itself could not be
  // read) is the source's.
  for (Diagnostic& said : collector.found) {
    if (said.location.file.empty()) said.location.file = path;
    if (said.stoppedAt && said.stoppedAt->file.empty()) said.stoppedAt->file = path;
    for (Edit& fix : said.fixes) {
      if (fix.at.file.empty()) fix.at.file = path;
    }
    findings.push_back(std::move(said));
  }
  notShown = collector.notShown;
  // A source on the disk was opened before: what could not be opened now is
  // its preprocessed text's scratch file, and nothing was read.
  if (preprocessed == Compilation::Preprocessed::kCannotOpen && onDisk) {
    return LintStatus::kUnreadable;
  }
  return LintStatus::kLinted;
}

}  // namespace

LintStatus LintSource(const std::string& path, const WarningSet& enabled, size_t maxErrors,
                      std::vector<Diagnostic>& findings, NotShown& notShown,
                      const std::vector<std::string>* repeatedPinNames) {
  bool isSource = false;
  bool softIp = IsSoftIpSource(path, isSource);
  if (!isSource) return LintStatus::kNotASource;
  if (!OpenForReading(path)) return LintStatus::kUnreadable;
  // The source and its includes are read from the disk, as qelc reads them in
  // the working directory, and the preprocessed text goes to a temporary file.
  ScratchFiles files;
  return LintFiles(path, softIp, true, files, enabled, maxErrors, findings, notShown, nullptr,
                   repeatedPinNames);
}

WarningSet DefaultWarnings() {
  WarningSet on;
  for (const WarningCheck* check : AllWarningChecks()) {
    if (check->onByDefault) on.insert(check->name);
  }
  return on;
}

LintStatus LintText(const std::string& path, const MemoryFiles::Reader& read,
                    const WarningSet& enabled, size_t maxErrors, std::vector<Diagnostic>& findings,
                    NotShown& notShown, SourceFacts* facts,
                    const std::vector<std::string>* repeatedPinNames) {
  bool isSource = false;
  bool softIp = IsSoftIpSource(path, isSource);
  if (!isSource) return LintStatus::kNotASource;

  MemoryFiles files(read);
  return LintFiles(path, softIp, false, files, enabled, maxErrors, findings, notShown, facts,
                   repeatedPinNames);
}

}  // namespace qelc::lint
