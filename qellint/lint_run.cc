#include "qellint/lint_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "qelc/compile.h"
#include "sections/registry.h"
#include "softip/library.h"
#include "softip/soft_ip_driver.h"
#include "source/ascii.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/line_map.h"
#include "source/preprocessor.h"
#include "source/text_reader.h"
#include "source/token_stream.h"
#include "tables/table_block.h"

namespace qelc::lint {

namespace {

class Collector : public DiagnosticSink {
 public:
  void Report(Diagnostic diagnostic) override { found.push_back(std::move(diagnostic)); }
  std::vector<Diagnostic> found;
};

// Installs the collector for one source and takes it away again, whatever way
// the run ends.
class SinkScope {
 public:
  explicit SinkScope(DiagnosticSink* sink) { SetDiagnosticSink(sink); }
  ~SinkScope() { SetDiagnosticSink(nullptr); }
};

// The parsers print progress to standard output, and a few of their failures
// print their own text: while they run, both streams go to a scratch file. The
// last line there is the message of a failure that reported no diagnostic.
class ConsoleCapture {
 public:
  ConsoleCapture() : scratch_(std::tmpfile()) {
    std::fflush(stdout);
    std::fflush(stderr);
    savedOut_ = dup(STDOUT_FILENO);
    savedErr_ = dup(STDERR_FILENO);
    int target = scratch_ ? fileno(scratch_.get()) : open("/dev/null", O_WRONLY);
    dup2(target, STDOUT_FILENO);
    dup2(target, STDERR_FILENO);
    if (!scratch_ && target >= 0) close(target);
  }
  ~ConsoleCapture() {
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut_, STDOUT_FILENO);
    dup2(savedErr_, STDERR_FILENO);
    close(savedOut_);
    close(savedErr_);
  }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  // The last line printed since the last call, without its line end.
  std::string LastLine() {
    std::string text;
    if (!scratch_) return text;
    std::fflush(stdout);
    std::fflush(stderr);
    long end = std::ftell(scratch_.get());
    if (end > read_) {
      text.resize(size_t(end - read_));
      std::fseek(scratch_.get(), read_, SEEK_SET);
      text.resize(std::fread(text.data(), 1, text.size(), scratch_.get()));
      std::fseek(scratch_.get(), end, SEEK_SET);
      read_ = end;
    }
    while (!text.empty() && text.back() == '\n') text.pop_back();
    size_t lastLineEnd = text.rfind('\n');
    return lastLineEnd == std::string::npos ? text : text.substr(lastLineEnd + 1);
  }

 private:
  FilePtr scratch_;
  int savedOut_ = -1;
  int savedErr_ = -1;
  long read_ = 0;
};

// The preprocessed text, in memory.
struct PreText {
  char* data = nullptr;
  size_t size = 0;
  ~PreText() { std::free(data); }
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
template <typename OpensBlock>
void SkipToNextBlock(TextPoint blockStart, OpensBlock opensBlock) {
  auto atResumePoint = [&] {
    const Token& token = CurrentToken();
    bool opensLine = token.start.line != PreviousTokenLine();
    bool later = token.start.line != blockStart.line || token.start.column != blockStart.column;
    return token.text.empty() || (opensLine && later && opensBlock());
  };
  while (!atResumePoint()) {
    // A token too long is an error of its own, reported where it stands.
    try {
      NextToken();
    } catch (const FatalExit&) {
    }
  }
}

// Runs one block with `parse`, and after an error moves on to where the next
// block may start. A failure that reported nothing (a message of the parsers'
// own) is reported with the text it printed.
template <typename Parse, typename OpensBlock>
void ParseBlock(Collector& collector, ConsoleCapture& console, Parse parse,
                OpensBlock opensBlock) {
  TextPoint blockStart = CurrentToken().start;
  size_t reported = collector.found.size();
  try {
    parse();
    return;
  } catch (const FatalExit&) {
  }
  std::string printed = console.LastLine();
  bool silent = true;
  for (size_t i = reported; i < collector.found.size(); ++i) {
    silent = silent && collector.found[i].severity != Severity::kError;
  }
  if (silent) {
    collector.found.push_back({Severity::kError, "compiler-error",
                               printed.empty() ? "the compiler stops here" : printed,
                               CurrentToken().start, {}});
  }
  SkipToNextBlock(blockStart, opensBlock);
}

template <typename Parse, typename OpensBlock>
void ParseBlocks(Collector& collector, ConsoleCapture& console, Parse parse,
                 OpensBlock opensBlock) {
  while (!TokenText().empty()) ParseBlock(collector, console, parse, opensBlock);
}

bool OpensSection() { return FindSection(TokenText()) != nullptr; }

// A top-level soft-IP block: SoftIPCategory, or a module name at the start of a
// line (the blocks inside a module are indented, so they are not taken for one).
bool OpensSoftIpBlock() {
  const Token& token = CurrentToken();
  return TokenIs("SoftIPCategory") || (token.start.column == 1 && token.kind == kWordToken &&
                                       token.text != "}" && token.text != "{");
}

std::string DeviceHeaderExpected() {
  return "a DAF source starts with 'Device NAME', found " + QuotedToken();
}

void ParseDaf(Collector& collector, ConsoleCapture& console) {
  PrepareTables(EmptySectionTables);
  ParseBlock(
      collector, console,
      [] {
        NextToken();  // the first token may already be refused
        ExpectText("Device", {"syntax", DeviceHeaderExpected});
        SkipToken();  // the device name
      },
      OpensSection);
  ParseBlocks(collector, console, ReadNextSection, OpensSection);
}

}  // namespace

LintStatus LintSource(const std::string& path, std::vector<Finding>& findings) {
  bool isSource = false;
  bool softIp = IsSoftIpSource(path, isSource);
  if (!isSource) return LintStatus::kNotASource;
  FilePtr source = OpenForReading(path);
  if (!source) return LintStatus::kUnreadable;

  Collector collector;
  LineMap map;
  PreText pre;
  {
    SinkScope scope(&collector);
    FilePtr preStream(open_memstream(&pre.data, &pre.size));
    DefineTable defines;
    BranchStack branches;
    bool preprocessed = Preprocess(source.get(), path, preStream.get(), defines, branches, &map);
    if (preprocessed && !branches.empty()) {
      const SourcePoint& open = map.OpenConditionals().back();
      collector.found.push_back({Severity::kError, "unmatched-conditional",
                                 "#ifdef or #ifndef without its #endif",
                                 {open.line, open.column}, map.Files()[size_t(open.file)]});
      preprocessed = false;
    }
    preStream.reset();
    if (preprocessed) {
      ConsoleCapture console;
      OpenTokenStream(FilePtr(fmemopen(pre.data, pre.size, "r")));
      if (softIp) {
        BeginSoftIPLibrary();
        ParseBlock(collector, console, NextToken, OpensSoftIpBlock);
        ParseBlocks(collector, console, ReadSoftIPBlock, OpensSoftIpBlock);
        EndSoftIPOutput();
      } else {
        ParseDaf(collector, console);
        ReleaseTables();
      }
      ResetRunState();
    }
  }
  for (Diagnostic& found : collector.found) {
    Finding finding{found.severity, std::move(found.check), std::move(found.message),
                    std::move(found.file), found.point.line, found.point.column};
    if (finding.file.empty()) {
      SourcePoint at = map.Find(found.point);
      finding.file = map.Files().empty() ? path : map.Files()[size_t(at.file)];
      finding.line = at.line;
      finding.column = at.column;
    }
    findings.push_back(std::move(finding));
  }
  return LintStatus::kLinted;
}

}  // namespace qelc::lint
