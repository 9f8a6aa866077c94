// compile-in-memory SOURCE OUTPUT
//
// Compiles the DAF or IPF source SOURCE in memory with the qelc library and
// writes the compiled DAB or IPB bytes to OUTPUT. Its diagnostics go to
// standard error as file:line:column: severity: message [check]; the exit
// status is the compile's (the one qelc gives), 2 when the files cannot be read
// or written.

#include <qelc/qelc.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

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

  // Included files are read from the working directory, as qelc reads them; a
  // qelc::IncludeResolver of one's own could serve them from anywhere.
  qelc::CompileResult result = qelc::Compile({argv[1], text.str()});

  for (const qelc::Diagnostic& diagnostic : result.diagnostics) {
    const qelc::Location& at = diagnostic.location;
    std::cerr << at.file << ':' << at.line << ':' << at.column << ": "
              << (diagnostic.severity == qelc::Severity::kError ? "error" : "warning") << ": "
              << diagnostic.message << " [" << diagnostic.check << "]\n";
  }
  if (result.artifact) {
    std::ofstream output(argv[2], std::ios::binary);
    const std::string& bytes = result.artifact->bytes;
    if (!output.write(bytes.data(), std::streamsize(bytes.size()))) {
      std::cerr << argv[2] << ": cannot write the file\n";
      return 2;
    }
  }
  return result.status;
}
