// Sources written back from DAB files compile to the same bytes; content that
// no source stores is named, not written as something else.
#include "decompile/daf_source.h"

#include <gtest/gtest.h>

#include <cstring>

#include "formats/table_block.h"
#include "qelc/qelc.h"

namespace qelc::decompile {
namespace {

// The DAB file that `source` (a device named dev) compiles into.
std::string Compiled(const std::string& source) {
  CompileResult result = Compile({"dev.daf", source});
  EXPECT_EQ(result.status, 0) << result.standardOutput << result.standardError;
  for (const OutputFile& file : result.files) {
    if (file.name == "dev.dab") return file.bytes;
  }
  ADD_FAILURE() << "no dev.dab";
  return {};
}

struct Written {
  std::string source;
  std::vector<std::string> problems;
};

Written WriteBack(const std::string& bytes) {
  std::string problem;
  std::optional<DabFile> file = DabFile::Open(bytes, problem);
  EXPECT_TRUE(file) << problem;
  Written written;
  if (!file) return written;
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  WriteDafSource(*file, "dev.dab", out, written.problems);
  std::fclose(out);
  written.source.assign(text, size);
  std::free(text);
  return written;
}

// The block of `bytes`, to change a field the way no source does.
TableBlock& Block(std::string& bytes) { return *reinterpret_cast<TableBlock*>(bytes.data()); }

void ExpectRoundTrip(const std::string& source) {
  std::string bytes = Compiled(source);
  Written written = WriteBack(bytes);
  EXPECT_TRUE(written.problems.empty()) << written.problems.front();
  EXPECT_TRUE(Compiled(written.source) == bytes) << written.source;
}

TEST(DafSourceTest, InitializeRowsKeepTheirReservedFlag) {
  // A reserved name with reserved 0 needs its `reserve` line before `name`,
  // even where its signal entered the pool first (P0 put it there); a
  // reserved name under RSV, a row of defaults and a changeable 0 each need
  // their own form.
  ExpectRoundTrip(
      "Device dev\nInitialize {\n  When PACKAGE is 'P44' :\n"
      "    P0.name = 'SIG' ; P1.reserve = 'test' ; P1.name = 'SIG' ;\n"
      "    P2.name = 'NRST' : RSV ; P2.reserve = 'factory' ;\n"
      "    P3.displayname = 'three' ; P4.PinEdit = 1 ; P5.nchange = 0 ;\n"
      "    P6.reserve = 'only' ;\n}\n");
}

TEST(DafSourceTest, StatementListsGroupsAndPins) {
  ExpectRoundTrip(
      "Device dev\n"
      "DesignProlog {\n  Always : TITLE 'Decl' ':' x Decl : 'a' PTerm : 'p' "
      "Decl : 'b'\n}\n"
      "DesignEpilog {\n  Always : END\n  When DEV is 'X' : Equation , rev : "
      "'it\\'s' ''\n}\n"
      "Group {\n  Always :\n    Clock : 'global' : { OSC : 1 | PA3 : 1, PA4 : "
      "2 | PA5 : 0 }\n"
      "      Decl : 'CLOCK' Equation : 'E'\n    Reset : { NRST : 0 }\n}\n"
      "OutputSyntax {\n  Input : { DefaultSigName : 'IN%d' DeclWOPinNum : 'a' "
      "DeclWithPinNum : 'b'"
      " DeclWOMainFlash : 'c' DeclWMainFlash : 'd' Equation : 'e' Equation_Req "
      ": 'f'"
      " Action : 'g' }\n  Empty : { }\n}\n"
      "TypeCategory { IoType = 'I/O' Drive = 'drive' }\n"
      "Pin {\n  PA0 : PA1 : { IoType : LVCMOS33, LVCMOS18 Drive : 4mA }\n"
      "  PB0 : { if PACKAGE is 'LQFP48' IoType : A else if DEV isin ['Q1' "
      "'Q2'] IoType : B"
      " else Drive : C }\n}\n");
}

TEST(DafSourceTest, MemoryMapsAtTheirLimits) {
  std::string description(100, 'D');
  ExpectRoundTrip(
      "Device dev\nMemoryMap {\n  Always : {\n    n : 12abc t : 'T' d : '" + description + "', '" +
      description + "' m : M s : 'S'\n" + "    0x0 : 0xF : " + std::string(51, 'q') +
      " : RX : - : 4K : boot\n    1 : 2 : '3' : 4 : 5 : 6 : 7 : " + std::string(99, 'e') +
      "\n  }\n  When DEV is 'X' : { 1 : 1 2 : '' 3 : '' 4 :"
      " '' 5 : '' a : b : c : d : e : f : g }\n}\n");
}

// What readers take for the end of a list (a When : clause, an empty first
// text) is stored with the entries after it; a table that holds only the
// empty text is a table all the same; a word of 255 characters is written
// bare where quotes would make it longer than a token may be.
TEST(DafSourceTest, ListsGoOnPastEntriesThatReadersStopAt) {
  std::string word(255, 'b');
  ExpectRoundTrip(
      "Device dev\nPinNumberByPackage {\n  When : P44 : 1 : 'A', P44 : 2\n"
      "  When PACKAGE is 'P44' : P44 : 3 : 'C'\n}\n"
      "Alias { When DEV is 'X' : a : b  When : c : d }\n"
      "DesignProlog { When : x Decl : 'd'  When DEV is 'Y' : y }\n"
      "Extensions { '' : 'after an empty first text'  'daf' : " +
      word +
      " }\n"
      "DeviceSpecificInfoTable { 49 : '' }\n"
      "QelConfig { When : a  When DEV is 'Z' : b }\n");
}

// Two sections whose entries both start under the condition "1" are written
// in the order of the strings that follow it, so that the pool comes out the
// same.
TEST(DafSourceTest, SectionsFollowThePoolOrder) {
  ExpectRoundTrip(
      "Device dev\nDesignProlog {\n  Always : TITLE x\n    Decl : 'd'\n}\n"
      "Group {\n  Always :\n    Clock : { OSC : 1 }\n}\n"
      "TypeCategory { IoType = 'I/O' }\n");
  ExpectRoundTrip(
      "Device dev\nGroup {\n  Always :\n    Clock : { OSC : 1 }\n}\n"
      "DesignProlog {\n  Always : TITLE x\n    Decl : 'd'\n}\n");
}

TEST(DafSourceTest, ContentNoSourceStoresIsNamed) {
  std::string bytes = Compiled(
      "Device dev\nGroup { Always : G : { A : 1 B : 2 } }\n"
      "Initialize { When DEV is 'X' : P1.name = 'a' ; Q1.name = 'b' ; }\n"
      "TypeCategory { IoType = 'I/O' }\nPin { PA0 : { IoType : LVCMOS33 } }\n");
  TableBlock& block = Block(bytes);
  // A member two alternatives after the one before it: a source stores 1.
  block.groups[0].groups[0].members[1].alternative = 2;
  // Two rows of one pin: a source merges them.
  block.initialize[0].rows[1].pin = block.initialize[0].rows[0].pin;
  // A category that the TypeCategory table does not hold.
  PinCategory& category = block.pinGroups[0].conditions[0].categories[0];
  category.name = category.selections[0];
  std::vector<std::string> problems = WriteBack(bytes).problems;
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0], "cannot express initialize: a value no source text stores");
  EXPECT_EQ(problems[1], "cannot express groups: a value no source text stores");
  EXPECT_EQ(problems[2], "cannot express pinGroups: a value no source text stores");
}

TEST(DafSourceTest, StatementListsOutOfOrderAreNamed) {
  std::string bytes = Compiled(
      "Device dev\nOutputSyntax { S : { DefaultSigName : 'a' Action : 'b' } }\n"
      "DesignProlog { When DEV is 'X' : w PTerm : 'p' Decl : 'd' }\n");
  TableBlock& block = Block(bytes);
  // Action before DefaultSigName; Decl before PTerm: a source reads neither.
  std::swap(block.outputSyntaxes[0].statements.slots[0],
            block.outputSyntaxes[0].statements.slots[1]);
  std::swap(block.prolog[0].statements.slots[1], block.prolog[0].statements.slots[2]);
  std::vector<std::string> problems = WriteBack(bytes).problems;
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], "cannot express prolog: a value no source text stores");
  EXPECT_EQ(problems[1], "cannot express outputSyntaxes: a value no source text stores");
}

}  // namespace
}  // namespace qelc::decompile
