// The keyed differences of files compiled from two versions of a source: rows
// matched by their keys, whatever their places in the lists.
#include "qeldump/diff.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "qelc/qelc.h"

namespace qelc::dump {
namespace {

std::unique_ptr<InputFile> Compiled(const std::string& name, const std::string& source) {
  bool dab = name.ends_with(".dab");
  std::string sourceName = name.substr(0, name.find('.')) + (dab ? ".daf" : ".ipf");
  CompileResult result = Compile({sourceName, (dab ? "Device D\n" : "") + source});
  EXPECT_EQ(result.status, 0) << result.standardOutput << result.standardError;
  auto file = std::make_unique<InputFile>();
  file->name = name;
  for (const OutputFile& output : result.files) {
    if (output.name == name) file->bytes = output.bytes;
  }
  CheckBytes(*file);
  return file;
}

std::vector<std::string> Lines(const std::string& before, const std::string& after,
                               const char* name = "a.dab") {
  std::vector<std::string> lines;
  KeyedDifferences(*Compiled(name, before), *Compiled(name, after),
                   [&](const Difference& line) { lines.push_back(line.text); });
  return lines;
}

std::string Pins(const std::string& rows) {
  return "PinNumberByPackage {\n  When PACKAGE is 'SO8' :\n" + rows + "\n}\n";
}

TEST(KeyedDiff, APinInsertedIntoTheMiddleIsOneRowAdded) {
  EXPECT_EQ(Lines(Pins("SO8 : 1 : 'A', SO8 : 2 : 'B', SO8 : 4 : 'D'"),
                  Pins("SO8 : 1 : 'A', SO8 : 2 : 'B', SO8 : 3 : 'C', SO8 : 4 : 'D'")),
            std::vector<std::string>{"PinNumberByPackage, When PACKAGE is 'SO8': added package "
                                     "SO8 pin 3 (reserved 0, signal \"C\")"});
}

TEST(KeyedDiff, ReorderedRowsAreTheSameAndChangesNameTheirRow) {
  EXPECT_TRUE(
      Lines(Pins("SO8 : 1 : 'A', SO8 : 2 : 'B'"), Pins("SO8 : 2 : 'B', SO8 : 1 : 'A'")).empty());
  EXPECT_EQ(
      Lines(Pins("SO8 : 1 : 'A', SO8 : 2 : 'B'"), Pins("SO8 : 2 : RSV, SO8 : 1 : 'A'")),
      (std::vector<std::string>{
          "PinNumberByPackage, When PACKAGE is 'SO8', package SO8 pin 2: reserved 0 -> 1",
          "PinNumberByPackage, When PACKAGE is 'SO8', package SO8 pin 2: signal \"B\" -> \"\""}));
}

// Rows of one key pair up in the order they stand in: the second of two takes
// the second, and a third is added.
TEST(KeyedDiff, RepeatedKeysPairInOrder) {
  EXPECT_EQ(Lines(Pins("SO8 : 5 : 'X', SO8 : 5 : 'Y'"),
                  Pins("SO8 : 5 : 'X', SO8 : 5 : 'Z', SO8 : 5 : 'Y'")),
            (std::vector<std::string>{
                "PinNumberByPackage, When PACKAGE is 'SO8', package SO8 pin 5: signal \"Y\" -> "
                "\"Z\"",
                "PinNumberByPackage, When PACKAGE is 'SO8': added package SO8 pin 5 (reserved 0, "
                "signal \"Y\")"}));
}

TEST(KeyedDiff, RowsAddedAndRemovedAtBothEnds) {
  std::string before = "TypeCategory { B = 'b' C = 'c' D = 'd' }\n";
  std::string after = "TypeCategory { A = 'a' B = 'b' C = 'c' }\n";
  EXPECT_EQ(Lines(before, after),
            (std::vector<std::string>{"TypeCategory: removed category D (description \"d\")",
                                      "TypeCategory: added category A (description \"a\")"}));
  // A whole block under a new condition, with the size of its lists.
  EXPECT_EQ(Lines(Pins("SO8 : 1 : 'A'"),
                  Pins("SO8 : 1 : 'A'\n  When PACKAGE is 'SO4' : SO4 : 1 : 'A', SO4 : 2")),
            std::vector<std::string>{"PinNumberByPackage: added When PACKAGE is 'SO4' (pins 2)"});
}

// Lists end where the file's readers stop: a second, shorter section leaves
// rows of the first behind the end, which the keyed view passes over and the
// note names.
TEST(KeyedDiff, EntriesPastTheEndOfAListAreNoRows) {
  std::string shorter = "TypeCategory { A = 'a' }\n";
  auto a = Compiled("a.dab", shorter);
  auto b = Compiled("b.dab", "TypeCategory { A = 'a' B = 'b' C = 'c' }\n" + shorter);
  auto none = [](const Difference&) {};
  Comparison comparison = Compare(*a, *b, false, none);
  EXPECT_EQ(comparison.Lines(), 0u);
  EXPECT_TRUE(comparison.differ);
  EXPECT_NE(comparison.note.find("past the end of a list"), std::string::npos);
  EXPECT_GT(Compare(*a, *b, true, none).counts[int(Difference::Kind::kChanged)], 0u);
}

TEST(KeyedDiff, StatementsByTheirKindAndMapRangesByTheirStart) {
  EXPECT_EQ(Lines("DesignProlog { Always : PTerm : 'P' Decl : 'A' }\n",
                  "DesignProlog { Always : Decl : 'A' 'B' }\n"),
            (std::vector<std::string>{
                "DesignProlog, Always: removed statement PTerm (words \"P\")",
                "DesignProlog, Always, statement Decl: words \"A\" -> \"A\" \"B\""}));
  auto map = [](const std::string& ranges) {
    return "MemoryMap { Always : { Number : 1 Title : 'T' Description : 'd' Main : 'M' "
           "Secondary : 'S'\n" +
           ranges + " } }\n";
  };
  EXPECT_EQ(
      Lines(map("0x0 : 0xF : 'a' : RX : - : 16 : x\n0x10 : 0x1F : 'b' : RX : - : 16 : x"),
            map("0x10 : 0x2F : 'b' : RX : - : 32 : x\n0x0 : 0xF : 'a' : RX : - : 16 : x")),
      (std::vector<std::string>{"MemoryMap, Always, map 1, start 0x10: end \"0x1F\" -> \"0x2F\"",
                                "MemoryMap, Always, map 1, start 0x10: size \"16\" -> \"32\""}));
}

TEST(KeyedDiff, ModulesAndTheirPortsByName) {
  EXPECT_EQ(
      Lines("A { Input : { a : wire : in : 1 : ; } }\nB { Input : { b : wire : in : 1 : ; } }\n",
            "B { Input : { b : bus : in : 1 : ; } }\nA { Input : { a : wire : in : 1 : ; } }\n",
            "l.ipb"),
      std::vector<std::string>{"Modules, module B, Inputs, port b: kind \"wire\" -> \"bus\""});
}

}  // namespace
}  // namespace qelc::dump
