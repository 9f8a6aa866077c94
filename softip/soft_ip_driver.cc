#include "softip/soft_ip_driver.h"

#include "softip/categories.h"
#include "softip/ipb_output.h"
#include "softip/modules.h"
#include "source/compile_run.h"
#include "source/expect.h"

namespace qelc {

void CompileSoftIP(ParseState& s, SoftIPBuild& library, FileSystem& files,
                   const std::string& preName, RunOptions options) {
  if (!BeginSoftIPOutput(s, library, files)) return;
  FilePtr pre = files.OpenForReading(preName);
  if (!pre) {
    EndSoftIPOutput(s, library);
    return;
  }
  s.dump.SettleIfSame(pre.get(), files);
  s.tokens.Open(std::move(pre));
  NextToken(s);
  s.diagnostics.Print(MessageKind::kProgress, "Begins parsing\n");

  // An error ends the run where it is met: Out.txt is dropped as it stands, not
  // checked on closing, so a write of it that failed earlier does not hide the
  // error's message behind "Fail to write".
  while (!TokenText(s).empty()) ReadSoftIPBlock(s, library);

  std::string ipbName = OutputName(preName, ".ipb");
  // A failed write of Out.txt ends the run before any IPB file exists.
  s.dump.Flush();
  if (!WriteIpbFile(s, library, files, ipbName)) {
    // The name less its extension: the console output other tools read.
    std::string stem = ipbName.substr(0, ipbName.size() - 4);
    s.diagnostics.Error("Fail to create " + stem + ".ipb file.", Stream::kStandardOutput,
                        "write-failed", "cannot create " + ipbName);
    s.tokens.Close();
    EndSoftIPOutput(s, library);
    return;
  }
  s.tokens.Close();
  EndSoftIPOutput(s, library);
  PrintRunSummary(s);

  if (options.decode) DecodeIpbFile(s, library, files, ipbName);
  if (!options.keepPreprocessed) files.Remove(preName);
}

// Any word other than SoftIPCategory opens a module of that name; there is no
// other keyword at this level.
void ReadSoftIPBlock(ParseState& s, SoftIPBuild& library) {
  if (TokenIs(s, "SoftIPCategory")) {
    ReadSoftIPCategory(s, library);
  } else {
    ReadSoftIPModule(s, library);
  }
}

}  // namespace qelc
