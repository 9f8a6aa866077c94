// qelc: the command line over the compiler library.

#include <cstdio>
#include <string>

#include "compiler/compilation.h"
#include "compiler/usage.h"
#include "source/compile_run.h"
#include "source/files.h"

namespace {

// Prints each console text on its stream as it is said.
class ConsoleSink : public qelc::OutputSink {
 public:
  void Emit(qelc::Message message) override {
    std::FILE* stream = message.stream == qelc::Stream::kStandardOutput ? stdout : stderr;
    std::fwrite(message.console.data(), 1, message.console.size(), stream);
  }
};

int Refuse(const std::string& text, int status) {
  std::fputs(text.c_str(), stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    return Refuse(qelc::WrongArgumentCountText(), qelc::kStatusBadArgumentCount);
  }
  if (!qelc::HasSourceExtension(argv[1])) {
    return Refuse(qelc::IncorrectExtensionText(), qelc::kStatusBadExtension);
  }
  qelc::RunOptions options;
  if (argc == 3) {
    if (!qelc::IsDebugOption(argv[2])) {
      return Refuse(qelc::IncorrectOptionText(), qelc::kStatusBadOption);
    }
    options = {true, true};
  }
  // The source and its includes are read from the disk, and the files are
  // written into the working directory as the run goes.
  qelc::DiskFiles files;
  ConsoleSink sink;
  int status = qelc::Compilation(files, sink).Run(argv[1], options);
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}
