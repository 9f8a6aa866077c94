// The pages of compiled sources: a shape for every stored row, every text
// escaped.
#include "report/report.h"

#include <gtest/gtest.h>

#include "formats/ipb_file.h"
#include "qelc/qelc.h"

namespace qelc::report {
namespace {

std::string Compiled(const std::string& name, const std::string& source,
                     const std::string& output) {
  CompileResult result = Compile({name, source});
  EXPECT_EQ(result.status, 0) << result.standardOutput << result.standardError;
  for (const OutputFile& file : result.files) {
    if (file.name == output) return file.bytes;
  }
  ADD_FAILURE() << "no " << output;
  return {};
}

std::string DabPage(const std::string& source, std::string_view title = {}) {
  std::string bytes = Compiled("dev.daf", "Device D\n" + source, "dev.dab");
  std::string problem;
  std::optional<DabFile> file = DabFile::Open(bytes, problem);
  EXPECT_TRUE(file) << problem;
  return file ? DabReport(*file, "dev.dab", title) : "";
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ReportTest, PinShapesForEveryRowPlacedOrBesideTheBody) {
  std::string page = DabPage(
      "PinNumberByPackage {\n"
      "  When PACKAGE is 'SO8' :\n"
      "    SO8 : 1 : '<b>', SO8 : 2 : RSV, SO8 : 2 : "
      "'TWICE', SO8 : 9 : 'FAR', SO8 : A1 : 'BALL'\n"
      "  When PACKAGE is 'Q' : 'QFP4' : 4 : VDD\n"
      "}\n");
  EXPECT_EQ(Count(page, "data-pin="), 6u);
  EXPECT_NE(page.find("data-package=\"SO8\" data-pin=\"1\" data-name=\"&lt;b&gt;\">"),
            std::string::npos);
  EXPECT_NE(page.find("data-pin=\"2\" data-name=\"\" data-reserved=\"1\">"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  // Pin 2 again, pin 9 of eight and the ball stored as 0 stand beside the body.
  EXPECT_NE(page.find("Rows without a place on the body"), std::string::npos);
  EXPECT_EQ(Count(page, "class=\"pad free\""),
            6u + 3u);  // SO8 3 to 8, QFP4 1 to 3
  EXPECT_NE(page.find("When PACKAGE is &#39;SO8&#39;"), std::string::npos);
  EXPECT_NE(page.find("data-package=\"&#39;QFP4&#39;\""), std::string::npos);
}

TEST(ReportTest, MemoryMapBlocksAndTablesUnderTheirSectionHeadings) {
  std::string page = DabPage(
      "Alias { When DEV is 'D' : SWD : 'PA13' }\n"
      "MemoryMap {\n  Always :\n  {\n    Number : 7\n    Title : "
      "'Flash & more'\n"
      "    Description : 'd'\n    Main : 'M'\n    Secondary : 'S'\n"
      "    0x0 : 0xFF : 'Boot' : RX : - : 256 : b\n"
      "    0x80 : 0x1FF : 'Over' : RX : - : 384 : o\n"
      "    0x1000 : 0x10FF : 'Far' : RX : - : 256 : f\n  }\n}\n");
  EXPECT_EQ(Count(page, "data-map=\"7\""), 3u);
  EXPECT_EQ(Count(page, "class=\"block overlap\""), 1u);
  EXPECT_NE(page.find("gap 0x0200 to 0x0FFF"), std::string::npos);
  EXPECT_NE(page.find("Flash &amp; more"), std::string::npos);
  EXPECT_NE(page.find("<caption>Aliases</caption>"), std::string::npos);
  EXPECT_NE(page.find("<h2>Memory maps</h2>"), std::string::npos);
  EXPECT_NE(page.find("<th>alias</th><th>pin</th>"), std::string::npos);
  // The range's fields by the names of the example's conventions, each marked
  // as the loading tools' to read; the mark is explained once.
  EXPECT_NE(page.find("<th>protection<a class=\"mark\" href=\"#tools-decide\">*</a></th>"),
            std::string::npos);
  EXPECT_EQ(page.find("Field 5"), std::string::npos);
  EXPECT_EQ(Count(page, "id=\"tools-decide\""), 1u);
  EXPECT_EQ(page.find("src="), std::string::npos);
}

TEST(ReportTest, TablesOfTheCataloguesSectionsInItsColumns) {
  std::string page = DabPage(
      "Extensions {\n  'daf' : 'Device <description>'\n  'ipf' : 'Soft IP'\n}\n"
      "TypeShortHand {\n  1 : LV33 : IoType = 'LVCMOS 3.3 V'\n}\n"
      "TypeConversion {\n  LVCMOS25 : LVCMOS33 ;\n  LVTTL : LVCMOS33 : IoType ;\n}\n"
      "DesignProlog {\n  Always : TITLE x\n  When DEV is 'D' :\n"
      "    Decl : 'DEVICE D' 'OPTIONS <A>'\n}\n"
      "OutputSyntax {\n  Input : { DefaultSigName : 'IN%d'\n  Equation : '%s = %e;' }\n}\n");
  std::string table = page.substr(page.find("<section id=\"tables\">"));
  EXPECT_EQ(Count(table, "<tr><td>"), 10u);
  EXPECT_NE(table.find("<th>signal kind</th><th>statement</th><th>words"), std::string::npos);
  EXPECT_NE(table.find("<tr><td>daf</td><td>Device &lt;description&gt;</td></tr>"),
            std::string::npos);
  EXPECT_NE(table.find("<tr><td>1</td><td>IoType</td><td>LV33</td><td>LVCMOS 3.3 V</td></tr>"),
            std::string::npos);
  EXPECT_NE(table.find("<tr><td>LVTTL</td><td>LVCMOS33</td><td>IoType</td></tr>"),
            std::string::npos);
  // A row per statement, its words in order.
  EXPECT_NE(
      table.find("<td>When DEV is &#39;D&#39;</td><td>Decl</td><td>DEVICE D OPTIONS &lt;A&gt;"),
      std::string::npos);
  EXPECT_NE(table.find("<tr><td>Input</td><td>Equation</td><td>%s = %e;</td></tr>"),
            std::string::npos);
}

TEST(ReportTest, TitleGivenAndAnIndexOfPages) {
  std::string page = DabPage("", "QX <family>");
  EXPECT_NE(page.find("<title>QX &lt;family&gt;</title>"), std::string::npos);
  EXPECT_NE(page.find("<h1>QX &lt;family&gt;</h1><p>The DAB file dev.dab: "), std::string::npos);
  std::string index = IndexPage("", {{"a/dev.dab", "dev.dab.html", true},
                                     {"b/dev.dab", "dev.dab-2.html", true},
                                     {"lib.ipb", "lib.ipb.html", false}});
  EXPECT_NE(index.find("<h1>Devices</h1><p>3 pages, one per file."), std::string::npos);
  EXPECT_NE(index.find("<a href=\"dev.dab-2.html\">"), std::string::npos);
  EXPECT_EQ(Count(index, "<tr><td><a href="), 3u);
}

TEST(ReportTest, ModulePortsWithTheirDirections) {
  std::string bytes = Compiled("lib.ipf",
                               "M<1> { Input : { a : wire : in : 1 : ; b : bus : in : 4 : ; }\n"
                               "  Output : { y : wire : out : 1 : ; } }\n",
                               "lib.ipb");
  SoftIPLibrary library;
  std::string_view strings = ReadIpbBytes(bytes, library);
  std::string page = IpbReport(library, strings, "lib.ipb");
  EXPECT_EQ(Count(page, "data-direction=\"in\""), 2u);
  EXPECT_EQ(Count(page, "data-direction=\"out\""), 1u);
  EXPECT_NE(page.find("data-module=\"M&lt;1&gt;\" data-port=\"b\""), std::string::npos);
  EXPECT_EQ(page.find("text1"), std::string::npos);
  // A page alone has no index to lead back to; one made for an index has.
  EXPECT_EQ(page.find("Index of the pages"), std::string::npos);
  std::string listed = IpbReport(library, strings, "lib.ipb", "", "index.html");
  EXPECT_NE(listed.find("<header><p class=\"up\"><a href=\"index.html\">Index of the pages</a>"),
            std::string::npos);
}

TEST(ReportTest, ACountOfOneTakesTheSingular) {
  auto heading = [](const std::string& source) {
    std::string bytes = Compiled("lib.ipf", source, "lib.ipb");
    SoftIPLibrary library;
    std::string_view strings = ReadIpbBytes(bytes, library);
    std::string page = IpbReport(library, strings, "lib.ipb");
    size_t at = page.find("An IPB file: ");
    return at == std::string::npos ? page : page.substr(at, page.find('<', at) - at);
  };
  EXPECT_EQ(
      heading("SoftIPCategory { 1 : T = 'timers' }\nM { Input : { a : wire : in : 1 : ; } }\n"),
      "An IPB file: 1 category, 1 module.");
  EXPECT_EQ(heading("SoftIPCategory { 1 : T = 'timers' 2 : S = 'serial' }\n"),
            "An IPB file: 2 categories, 0 modules.");
}

}  // namespace
}  // namespace qelc::report
