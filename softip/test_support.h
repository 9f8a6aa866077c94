#pragma once

// Helpers shared by the soft-IP unit tests.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "softip/categories.h"
#include "softip/ipb_output.h"
#include "softip/library.h"
#include "softip/modules.h"
#include "source/test_support.h"

namespace qelc::test {

using Bytes = std::vector<unsigned char>;

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
inline Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A soft-IP compilation as it starts: an empty library whose string buffer the
// pool works on, files in memory, and no dump stream open, so dumps go nowhere.
class SoftIPState : public test_support::TextParse {
 public:
  SoftIPState() { EXPECT_TRUE(BeginSoftIPLibrary(s, library)); }

  // Adds a category section and two modules, the first of which uses every
  // list once.
  void AddFilledLibrary() {
    AddSoftIPCategory(s, library, 1.5f, "'Timers'", "Timer blocks");
    SoftIPModule uart;
    SetModuleName(s, uart, "Uart");
    SetModuleStatement(s, uart, "uart", -56);
    AddPort(s, uart, PortKind::kInput, {"clk", "wire", "in", "1", 8, 2, "t", "u"});
    AddPort(s, uart, PortKind::kOutput, {"tx", "wire", "out", "1", 1, 0, "", ""});
    AddDeclaration(s, uart, "reg", "a", "8");
    AddBusExtName(s, uart, "}");
    AddMacroParameter(s, uart, "a");
    AddMacroStatement(s, uart, "\\PN\\is\\'X'", "a = b;\nb = a;\n");
    AddEquationParameter(s, uart, "e");
    AddModule(s, library, std::move(uart));
    SoftIPModule bare;
    SetModuleName(s, bare, "Uart");
    AddModule(s, library, std::move(bare));
  }

  // The filled library as an IPB file's bytes.
  Bytes FilledLibraryBytes() {
    AddFilledLibrary();
    EXPECT_TRUE(WriteIpbFile(s, library, files, "lib.ipb"));
    return AsBytes(files.WrittenFile("lib.ipb").value_or(""));
  }

  SoftIPBuild library;
};

}  // namespace qelc::test
