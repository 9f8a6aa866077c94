// compile-in-memory SOURCE OUTPUT
//
// Compiles the DAF or IPF source SOURCE in memory with the qelc library and
// writes the compiled DAB or IPB bytes to OUTPUT. Its diagnostics go to standard
// error as file:line:column: severity: message [check]; the exit status is the
// compile's (the one qelc gives), 2 when the files cannot be read or written.

#include <qelc/qelc.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

bool IsCompiledFile(const std::string& name) {
  return name.ends_with(".dab") || name.ends_with(".ipb");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: compile-in-memory SOURCE OUTPUT\n";
    return 2;
  }
  std::ifstream source(argv[1], std::ios::binary);
  if (!source) {
    std::cerr << argv[1] << ": cannot read the file\n";
    return 2;
  }
  std::ostringstream text;
  text << source.rdbuf();

  qelc::CompileRequest request;
  request.sourceName = argv[1];
  request.sourceText = text.str();
  // Included files are read from the working directory, as qelc reads them; a
  // qelc::IncludeResolver of one's own could serve them from anywhere.
  qelc::CompileResult result = qelc::Compile(request);

  for (const qelc::Message& message : result.diagnostics) {
    std::cerr << message.location.file << ':' << message.location.line << ':'
              << message.location.column << ": "
              << (message.severity == qelc::Severity::kError ? "error" : "warning") << ": "
              << message.text << " [" << message.check << "]\n";
  }
  for (const qelc::OutputFile& file : result.files) {
    if (!IsCompiledFile(file.name)) continue;
    std::ofstream output(argv[2], std::ios::binary);
    if (!output.write(file.bytes.data(), std::streamsize(file.bytes.size()))) {
      std::cerr << argv[2] << ": cannot write the file\n";
      return 2;
    }
  }
  return result.status;
}
