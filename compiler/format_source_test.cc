#include "compiler/format_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qelc/qelc.h"

namespace qelc {
namespace {

class Includes : public IncludeResolver {
 public:
  explicit Includes(std::map<std::string, std::string> files = {}) : files_(std::move(files)) {}
  std::optional<std::string> Read(const std::string& name) override {
    auto found = files_.find(name);
    if (found == files_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::string> files_;
};

// The comments and directive lines of a text, in order, without the blanks
// around them (the sources here hold no "//" inside a string).
std::vector<std::string> CommentsAndDirectives(const std::string& text) {
  std::vector<std::string> kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '#') {
      kept.push_back(line.substr(first, line.find_last_not_of(" \t") + 1 - first));
    } else if (size_t comment = line.find("//"); comment != std::string::npos) {
      kept.push_back(line.substr(comment, line.find_last_not_of(" \t") + 1 - comment));
    }
    start = text.find('\n', end);
    start = start == std::string::npos ? text.size() : start + 1;
  }
  return kept;
}

// The DAB or IPB file a text compiles to (empty when it does not compile).
std::string Compiled(const std::string& name, const std::string& text, Includes& includes) {
  CompileOptions options;
  options.resolver = &includes;
  CompileResult result = Compile({name, text}, options);
  return result.status == 0 && result.artifact ? result.artifact->bytes : "";
}

// Formats `text`, which must compile, and checks what every formatting keeps:
// the comments and directives in their order, the compiled file, and the
// formatted text as its own format. Returns the formatted text.
std::string Formats(const std::string& name, const std::string& text,
                    std::map<std::string, std::string> files = {}) {
  Includes includes(std::move(files));
  FormattedSource result = FormatSource(name, text, &includes);
  if (!result.text) {
    ADD_FAILURE() << result.refusal << "\n" << text;
    return "";
  }
  const std::string& formatted = *result.text;
  EXPECT_EQ(CommentsAndDirectives(formatted), CommentsAndDirectives(text)) << formatted;
  std::string compiled = Compiled(name, text, includes);
  EXPECT_FALSE(compiled.empty()) << text;
  EXPECT_TRUE(Compiled(name, formatted, includes) == compiled) << formatted;
  FormattedSource again = FormatSource(name, formatted, &includes);
  EXPECT_EQ(again.text, result.text) << again.refusal;
  std::string joined;
  for (const FormattedBlock& block : result.blocks) joined += block.text;
  EXPECT_EQ(joined, formatted);
  return formatted;
}

TEST(FormatSourceTest, CommentsStayWhereTheyStand) {
  const std::string source =
      "// before the device\n"
      "Device   D1   // after the device name\n"
      "// before a section\n"
      "Alias\n"
      "{   // after the opening brace\n"
      "      // before a clause\n"
      "  When DEV is 'X' :   A : 'B' ,  // after a row\n"
      "   C:'D'\n"
      "// between clauses\n"
      "\n\n\n"
      "  When PACKAGE is 'P' :\n"
      "G : 'H'\n"
      "          // before the closing brace\n"
      "} // after the closing brace\n"
      "TypeConversion { A : B ; C : D ; }\n"
      "// at the end\n";
  EXPECT_EQ(Formats("dev.daf", source),
            "// before the device\n"
            "Device D1 // after the device name\n"
            "\n"
            "// before a section\n"
            "Alias { // after the opening brace\n"
            "  // before a clause\n"
            "  When DEV is 'X' : A : 'B', // after a row\n"
            "    C : 'D'\n"
            "  // between clauses\n"
            "\n"
            "  When PACKAGE is 'P' :\n"
            "    G : 'H'\n"
            "    // before the closing brace\n"
            "} // after the closing brace\n"
            "\n"
            "TypeConversion {\n"
            "  A : B ;\n"
            "  C : D ;\n"
            "}\n"
            "// at the end\n");
}

TEST(FormatSourceTest, DirectivesStayOnTheirLinesInsideAndBetweenSections) {
  const std::map<std::string, std::string> files = {
      {"conv.inc", "TypeConversion {\n  A : B ;\n}\n"}};
  const std::string source =
      "#define PKG 'P44'\n"
      "Device D1\n"
      "#ifdef WIDE\n"
      "Extensions { 'daf' : 'wide' }\n"
      "#else\n"
      "Extensions {\n"
      "     'daf' : 'narrow'\n"
      "#ifndef NONE\n"
      "  'ipf':'lib'\n"
      "   #endif\n"
      "}\n"
      "#endif\n"
      "Alias { When PACKAGE is PKG :\n"
      "  #define LOCAL 'x'\n"
      "  A : LOCAL\n"
      "}\n"
      "  #include \"conv.inc\"\n";
  EXPECT_EQ(Formats("dev.daf", source, files),
            "#define PKG 'P44'\n"
            "Device D1\n"
            "\n"
            "#ifdef WIDE\n"
            "Extensions {\n"
            "  'daf' : 'wide'\n"
            "}\n"
            "#else\n"
            "Extensions {\n"
            "  'daf' : 'narrow'\n"
            "#ifndef NONE\n"
            "  'ipf' : 'lib'\n"
            "#endif\n"
            "}\n"
            "#endif\n"
            "\n"
            "Alias {\n"
            "  When PACKAGE is PKG :\n"
            "#define LOCAL 'x'\n"
            "    A : LOCAL\n"
            "}\n"
            "#include \"conv.inc\"\n");
}

// Strings keep every character: blanks, escapes, line ends, and a directive
// line inside one, which the preprocessor acts on wherever it stands.
TEST(FormatSourceTest, StringsAreKeptAsWritten) {
  const std::string source =
      "Device D1\n"
      "Initialize { When DEV is 'X' : P1.name = 'two   blanks\n"
      "  and a line end' ; P2.name = 'it\\'s' ;\n"
      "  P3.name = 'a\n"
      "#define INSIDE 1\n"
      "b' ; }\n";
  std::string formatted = Formats("dev.daf", source);
  EXPECT_NE(formatted.find("'two   blanks\n  and a line end' ;\n"), std::string::npos);
  EXPECT_NE(formatted.find("    P2.name = 'it\\'s' ;\n"), std::string::npos);
  EXPECT_NE(formatted.find("'a\n#define INSIDE 1\nb' ;\n"), std::string::npos) << formatted;
}

TEST(FormatSourceTest, LineEndsAreTheSourcesOwn) {
  const std::string crlf =
      "Device D1\r\n// note\r\nAlias {\r\n When DEV is 'X' :\r\n A : 'B\r\nC'\r\n}\r\n";
  EXPECT_EQ(Formats("dev.daf", crlf),
            "Device D1\r\n\r\n// note\r\nAlias {\r\n  When DEV is 'X' :\r\n"
            "    A : 'B\r\nC'\r\n}\r\n");
  // A carriage return alone ends no line: inside a comment or a string it is
  // kept, elsewhere it is a word of its own and the source has an error.
  const std::string alone = "Device D1 // a\rb\nAlias { When DEV is 'X' : A : 'B\rC' }\n";
  EXPECT_EQ(Formats("dev.daf", alone),
            "Device D1 // a\rb\n\nAlias {\n  When DEV is 'X' : A : 'B\rC'\n}\n");
  Includes none;
  FormattedSource onlyReturns = FormatSource("dev.daf", "Device D1\rAlias {\r}\r", &none);
  EXPECT_FALSE(onlyReturns.text);
  EXPECT_EQ(onlyReturns.refusal.rfind("not formatted: the source has an error at dev.daf:1:", 0),
            0u)
      << onlyReturns.refusal;
}

TEST(FormatSourceTest, SoftIpModules) {
  const std::string source =
      "// categories\n"
      "SoftIPCategory {\n"
      "  1   : Timers = 'Timer blocks' // first\n"
      "}\n"
      "Uart {\n"
      "  Module : { uart : 2 ; }\n"
      "  // the pins\n"
      "  Input : {\n"
      "    clk   : wire : in : 1 : ;\n"
      "  }\n"
      "  Macro : {\n"
      "    MacroName ( divider , width ) {\n"
      "      'shift <= data;' , 'busy <= 1;'\n"
      "      _when PACKAGE is 'P44' and ( PN [ 3 ] isnot 'X' ) : 'tx <= shift[0];'\n"
      "    }\n"
      "  }\n"
      "  Equation : { MacroName ( divider width ) ; }\n"
      "}\n";
  EXPECT_EQ(Formats("lib.ipf", source),
            "// categories\n"
            "SoftIPCategory {\n"
            "  1 : Timers = 'Timer blocks' // first\n"
            "}\n"
            "\n"
            "Uart {\n"
            "  Module : { uart : 2 ; }\n"
            "  // the pins\n"
            "  Input : {\n"
            "    clk : wire : in : 1 : ;\n"
            "  }\n"
            "  Macro : {\n"
            "    MacroName ( divider, width ) {\n"
            "      'shift <= data;', 'busy <= 1;'\n"
            "      _when PACKAGE is 'P44' and ( PN [3] isnot 'X' ) : 'tx <= shift[0];'\n"
            "    }\n"
            "  }\n"
            "  Equation : { MacroName ( divider width ) ; }\n"
            "}\n");
}

// The examples are kept in the formatter's layout (qel fmt --check passes them).
TEST(FormatSourceTest, TheExamplesAreInTheirLayout) {
  for (const char* name : {"device.daf", "library.ipf"}) {
    std::ifstream in(
        std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / name,
        std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_EQ(Formats(name, text), text) << name;
  }
}

TEST(FormatSourceTest, RefusesASourceWithAnErrorOrALayoutThatCompilesDifferently) {
  Includes includes(std::map<std::string, std::string>{{"head.inc", "Device"}});
  FormattedSource broken =
      FormatSource("dev.daf", "Device D1\nAlias {\n  When : A\n}\n", &includes);
  EXPECT_FALSE(broken.text);
  EXPECT_EQ(broken.refusal.rfind("not formatted: the source has an error at dev.daf:4:1: ", 0), 0u)
      << broken.refusal;
  FormattedSource missing = FormatSource("dev.daf", "Device D1\n#include gone.inc\n", &includes);
  EXPECT_EQ(missing.refusal.rfind("not formatted: the source has an error at dev.daf:2:", 0), 0u)
      << missing.refusal;
  // An included file without a final line end runs into the line after its
  // #include: that line's indentation is part of a word.
  FormattedSource joined =
      FormatSource("dev.daf", "#include head.inc\n D1\nAlias {\n}\nStringQuote { x }\n", &includes);
  EXPECT_FALSE(joined.text);
  EXPECT_EQ(joined.refusal,
            "not formatted: formatting would change what the source compiles to "
            "at line 1");
}

// Each block stands for whole lines of the source, so that one block may take
// their place alone (formatting a range).
TEST(FormatSourceTest, BlocksCoverTheSourcesLines) {
  const std::string source =
      "Device D1\n\n\n"
      "Alias {   When DEV is 'X' : A : 'B' }  // end\n"
      "// lead\n"
      "TypeConversion {\n A : B ;\n}\n\n";
  std::string problem;
  std::optional<std::vector<FormattedBlock>> blocks = LayOutSource(source, problem);
  ASSERT_TRUE(blocks) << problem;
  ASSERT_EQ(blocks->size(), 2u);
  EXPECT_EQ((*blocks)[0].firstLine, 1);
  EXPECT_EQ((*blocks)[0].lastLine, 4);
  EXPECT_EQ((*blocks)[0].text, "Device D1\n\nAlias {\n  When DEV is 'X' : A : 'B'\n} // end\n");
  EXPECT_EQ((*blocks)[1].firstLine, 5);
  EXPECT_EQ((*blocks)[1].lastLine, 9);
  EXPECT_EQ((*blocks)[1].text, "\n// lead\nTypeConversion {\n  A : B ;\n}\n");
  ASSERT_TRUE(LayOutSource("", problem));
  EXPECT_TRUE(LayOutSource("", problem)->empty());
  EXPECT_FALSE(LayOutSource("Device D1\r\r\n", problem));
  EXPECT_EQ(problem, "a line ends in more than one carriage return");
}

}  // namespace
}  // namespace qelc
