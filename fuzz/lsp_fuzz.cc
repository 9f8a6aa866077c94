// The language server's reading of its input: the Content-Length framing, the
// JSON of each message and what the server does with it (a document opened and
// changed, then asked about), with replies going nowhere. The diagnostics
// thread is given a quiet time no input reaches, so every run is the same.
#include <chrono>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "lsp/message_reader.h"
#include "lsp/server.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qelc::fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  qelc::lsp::Server server([](std::string_view) {}, [](std::string_view) {}, std::chrono::hours(1));
  qelc::lsp::MessageReader reader(input);
  for (;;) {
    qelc::lsp::ReadMessage message = reader.Next();
    if (message.kind == qelc::lsp::ReadMessage::Kind::kEnd) break;
    if (message.kind == qelc::lsp::ReadMessage::Kind::kMalformed) {
      server.Malformed(message.problem);
    } else if (!server.Handle(message.body)) {
      break;
    }
  }
  return 0;
}
