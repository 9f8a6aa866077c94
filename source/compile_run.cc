#include "source/compile_run.h"

#include "source/ascii.h"

namespace qelc {

bool IsDebugOption(std::string_view option) { return StartsWithNoCase(option, "-d"); }

std::string OutputName(const std::string& preName, std::string_view extension) {
  size_t slash = preName.rfind('/');
  size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = preName.find('.', fileStart);
  return preName.substr(0, dot) + std::string(extension);
}

void PrintRunSummary(Parser& p) {
  // Every error ends the run where it is met, so a run that reaches its summary
  // has counted none; the count stays in the console output that other tools
  // read.
  p.diagnostics.Print(MessageKind::kSummary, "Number of errors: 0\n", Stream::kStandardError);
  p.diagnostics.Print(MessageKind::kSummary,
                      "Last token on hand: <" + std::string(TokenText(p)) + ">\n",
                      Stream::kStandardError);
}

}  // namespace qelc
