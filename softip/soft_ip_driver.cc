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

void ReadSoftIPSections() {
  while (!TokenText().empty()) ReadSoftIPBlock();
}

}  // namespace

void CompileSoftIP(const std::string& preName, const std::string& option) {
  if (!BeginSoftIPOutput()) return;
  if (!OpenTokenStream(preName)) {
    EndSoftIPOutput();
    return;
  }
  NextToken();
  std::fputs("Begins parsing\n", stdout);

  // An error ends the run where it is met: Out.txt is dropped as it stands, not
  // checked on closing, so a write of it that failed earlier does not hide the
  // error's message behind "Fail to write".
  ReadSoftIPSections();

  std::string ipbName = OutputName(preName, ".ipb");
  // A failed write of Out.txt ends the run before any IPB file exists.
  FlushDumpStream();
  if (!WriteIpbFile(ipbName)) {
    // The name less its extension: the console output other tools read.
    std::printf("Fail to create %s.ipb file.", ipbName.substr(0, ipbName.size() - 4).c_str());
    CloseTokenStream();
    EndSoftIPOutput();
    return;
  }
  CloseTokenStream();
  EndSoftIPOutput();
  PrintRunSummary();

  if (IsDebugOption(option)) {
    DecodeIpbFile(ipbName);
  } else {
    std::remove(preName.c_str());
  }
}

// Any word other than SoftIPCategory opens a module of that name; there is no
// other keyword at this level.
void ReadSoftIPBlock() {
  if (TokenIs("SoftIPCategory")) {
    ReadSoftIPCategory();
  } else {
    ReadSoftIPModule();
  }
}

void ResetSoftIP() { ResetLibrary(); }

}  // namespace qelc
