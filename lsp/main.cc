// qel-language-server: a language server for DAF and IPF sources, speaking the
// language server protocol over standard input and output.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "lsp/message_reader.h"
#include "lsp/server.h"

namespace {

constexpr const char* kUsage =
    "usage: qel-language-server [--help | --version]\n"
    "A language server for DAF and IPF sources: speaks the language server protocol\n"
    "(JSON-RPC with Content-Length headers) on standard input and output, and logs\n"
    "to standard error.\n";

void Log(std::string_view line) {
  std::fprintf(stderr, "qel-language-server: %.*s\n", int(line.size()), line.data());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("qel-language-server %s\n", QELC_VERSION);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::ios::sync_with_stdio(false);
  qelc::lsp::Server server(
      [](std::string_view body) {
        std::string framed = qelc::lsp::Framed(body);
        std::fwrite(framed.data(), 1, framed.size(), stdout);
        std::fflush(stdout);
      },
      Log);
  qelc::lsp::MessageReader reader(std::cin);
  for (;;) {
    qelc::lsp::ReadMessage message = reader.Next();
    if (message.kind == qelc::lsp::ReadMessage::Kind::kEnd) {
      if (!message.problem.empty()) Log(message.problem);
      Log("the input ended without an exit notification");
      break;
    }
    if (message.kind == qelc::lsp::ReadMessage::Kind::kMalformed) {
      server.Malformed(message.problem);
      continue;
    }
    if (!server.Handle(message.body)) break;
  }
  return server.ExitStatus();
}
