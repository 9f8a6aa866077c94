#include "softip/soft_ip_driver.h"

#include <cstdio>

#include "softip/categories.h"
#include "softip/ipb_file.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/compile_run.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"

namespace qelc {

namespace {

void ParseSoftIpSections() {
  while (!TokenText().empty()) ParseSoftIpBlock();
}

void PrintSummary() {
  std::fprintf(stderr, "Number of errors: %d\n", ErrorCount());
  std::fprintf(stderr, "Last token on hand: <%s>\n", TokenText().c_str());
}

}  // namespace

void CompileSoftIp(const std::string& preName, const std::string& option) {
  if (BeginSoftIpOutput() != kOutputReady) return;
  if (OpenTokenStream(preName) != 0) {
    EndSoftIpOutput();
    return;
  }
  ErrorCount() = 0;
  NextToken();
  std::fputs("Begins parsing\n", stdout);

  try {
    ParseSoftIpSections();
  } catch (const CFailMsg& failure) {
    // The run ends like it does after any other error: Out.txt is dropped as it
    // stands, not checked on closing, so a write of it that failed earlier does
    // not hide this message behind "Fail to write".
    std::fputs(failure.Message().c_str(), stdout);
    ExitRun(1);
  }

  std::string ipbName = OutputName(preName, ".ipb");
  if (ErrorCount() == 0) {
    // A failed write of Out.txt ends the run before any IPB file exists.
    FlushDumpStream();
    if (!WriteIpbFile(ipbName)) {
      // The name less its extension: the console output other tools read.
      std::printf("Fail to create %s.ipb file.", ipbName.substr(0, ipbName.size() - 4).c_str());
      CloseTokenStream();
      EndSoftIpOutput();
      return;
    }
  }
  CloseTokenStream();
  EndSoftIpOutput();
  PrintSummary();

  if (IsDebugOption(option)) {
    DecodeIpbFile(ipbName);
  } else {
    std::remove(preName.c_str());
  }
}

// Any word other than SoftIPCategory opens a module of that name; there is no
// other keyword at this level.
void ParseSoftIpBlock() {
  if (TokenIs("SoftIPCategory")) {
    ParseSoftIPCategory();
  } else {
    ParseSoftIPModule();
  }
}

void ResetSoftIp() { ResetLibrary(); }

}  // namespace qelc
