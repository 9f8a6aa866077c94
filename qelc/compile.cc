#include "qelc/compile.h"

#include <cstdio>

#include "sections/registry.h"
#include "softip/soft_ip_driver.h"
#include "source/ascii.h"
#include "source/condition.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/preprocessor.h"
#include "source/text_reader.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int kStatusBadExtension = 2;
constexpr int kStatusBadOption = 3;
constexpr int kStatusBadArgumentCount = 4;

constexpr size_t kPreBufferSize = 1 << 20;

void PrintShortUsage() {
  std::fputs("Correct usage : qelc filename \n", stderr);
  std::fputs("where :\n", stderr);
  std::fputs("filename is file name with extension 'daf' or 'ipf'.\n\n", stderr);
}

void PrintLongUsage() {
  std::fputs("Correct usage : qelc filename -d\n", stderr);
  std::fputs("where :\n", stderr);
  std::fputs("filename is file name with extension 'daf' or 'ipf'.\n", stderr);
  std::fputs("-d for debug (optional).\n\n", stderr);
}

bool HasSourceExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view extension = name.substr(dot);
  return StartsWithNoCase(extension, ".daf") || StartsWithNoCase(extension, ".ipf");
}

int CommandLine(int argc, const char* const* argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("\nWrong number of arguments.\n\n", stderr);
    PrintShortUsage();
    return kStatusBadArgumentCount;
  }
  if (!HasSourceExtension(argv[1])) {
    std::fputs("\nIncorrect file extension.\n\n", stderr);
    PrintShortUsage();
    return kStatusBadExtension;
  }
  std::string option = argc == 3 ? argv[2] : "";
  if (argc == 3 && !IsDebugOption(option)) {
    std::fputs("\nIncorrect option parameter.\n\n", stderr);
    PrintLongUsage();
    return kStatusBadOption;
  }
  CompileSource(argv[1], option);
  return 0;
}

// Closes a file that was written; a failed write ends the run.
void FinishWrittenFile(FilePtr file, const std::string& path) {
  bool failed = std::ferror(file.get()) != 0;
  failed = std::fclose(file.release()) != 0 || failed;
  if (failed) {
    std::fprintf(stderr, "Fail to write %s.\n", path.c_str());
    ExitRun(1);
  }
}

// sections -> section*, up to the end of input
void ReadSections() {
  while (!TokenText().empty()) ReadNextSection();
}

}  // namespace

void CompileSource(const std::string& sourceName, const std::string& option) {
  size_t dot = sourceName.rfind('.');
  std::string preName = sourceName.substr(0, dot) + ".pre";
  bool isSoftIP = EqualsNoCase(sourceName.substr(dot + 1, 3), "ipf");

  FilePtr source = OpenForReading(sourceName);
  if (!source) return;
  // The preprocessor writes line by line; a large buffer keeps the writes to
  // the system few. It is set up once: a run that fills a fresh megabyte would
  // cost more than a small source's whole compile.
  static char preBuffer[kPreBufferSize];
  FilePtr pre(std::fopen(preName.c_str(), "w"));
  if (!pre) return;
  std::setvbuf(pre.get(), preBuffer, _IOFBF, sizeof preBuffer);

  DefineTable defines;
  BranchStack branches;
  if (!Preprocess(source.get(), sourceName, pre.get(), defines, branches)) ExitRun(1);
  if (!branches.empty()) {
    std::fputs(
        "The number of #ifdef and #ifndef statement doesn't match the number of #endif statement",
        stderr);
    ExitRun(1);
  }
  source.reset();
  FinishWrittenFile(std::move(pre), preName);

  if (isSoftIP) {
    CompileSoftIP(preName, option);
  } else {
    CompileDaf(preName, option);
  }
}

void CompileDaf(const std::string& preName, const std::string& option) {
  if (!InitTables(EmptySectionTables)) ExitRun(1);
  if (!OpenTokenStream(preName)) return;
  NextToken();
  std::fputs("Begins parsing\n", stdout);
  ExpectText("Device");
  SkipToken();  // the device name, which the DAB file does not keep

  ReadSections();

  FlushDumpStream();
  WriteDabFile(OutputName(preName, ".dab"));
  CloseTokenStream();
  ReleaseTables();
  PrintRunSummary();
  if (!IsDebugOption(option)) std::remove(preName.c_str());
}

void ResetRunState() {
  CloseTokenStream();
  ResetTables();
  ResetSoftIP();
  DropDumpStream();
  ClearCondition();
}

int RunQelc(int argc, const char* const* argv) {
  int status;
  try {
    status = CommandLine(argc, argv);
  } catch (const FatalExit& exit) {
    status = exit.status;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  ResetRunState();
  return status;
}

}  // namespace qelc
