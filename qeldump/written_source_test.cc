// qeldump --source checks its answer by compiling it: a source that gives
// another field, or no file, is named, and only a source that gives every
// field back passes.
#include "qeldump/written_source.h"

#include <gtest/gtest.h>

#include "qelc/qelc.h"

namespace qelc::dump {
namespace {

InputFile Compiled(const std::string& name, const std::string& source) {
  CompileResult result = Compile({name, source});
  EXPECT_EQ(result.status, 0) << result.standardOutput;
  InputFile file;
  file.name = name;
  file.bytes = result.artifact.value().bytes;
  CheckBytes(file);
  return file;
}

TEST(WrittenSourceTest, TheCheckNamesTheFirstFieldASourceGivesOtherwise) {
  const std::string daf = "Device D\nAlias { When DEV is 'D' : A : 'PA1', B : 'PA2' }\n";
  InputFile file = Compiled("d.daf", daf);
  EXPECT_EQ(CompiledDifference(file, daf, "d.daf"), std::nullopt);
  // The same content with another pool (a string no table refers to) passes too.
  EXPECT_EQ(CompiledDifference(file,
                               "Device D\nExtensions { 'PA2' : 'x' }\n"
                               "Alias { When DEV is 'D' : A : 'PA1', B : 'PA2' }\n"
                               "Extensions { '' : '' }\n",
                               "d.daf"),
            std::nullopt);
  EXPECT_EQ(CompiledDifference(file, "Device D\nAlias { When DEV is 'D' : A : 'PA1', B : 'PA3' }\n",
                               "d.daf"),
            "cannot express aliases[0].rows[1].target: the written source gives \"PA3\", not "
            "\"PA2\"");
  std::optional<std::string> broken = CompiledDifference(file, "Device D\nAlias {\n", "d.daf");
  ASSERT_TRUE(broken);
  EXPECT_TRUE(broken->starts_with("cannot express file: the written source does not compile: "))
      << *broken;

  const std::string ipf = "SoftIPCategory { 1 : T = 'timers' }\n";
  InputFile library = Compiled("l.ipf", ipf);
  EXPECT_EQ(CompiledDifference(library, ipf, "l.ipf"), std::nullopt);
  EXPECT_NE(CompiledDifference(library, "SoftIPCategory { 2 : T = 'timers' }\n", "l.ipf"),
            std::nullopt);
}

// What a longer section left behind a later one (statements after the end
// of a shorter list, words after the end of a shorter clause) and the entries
// a reader stops at that stand first (an empty first extension, a Pin branch
// under the empty condition: `if` before a category) come back, checked.
TEST(WrittenSourceTest, LeftoversAndEmptyFirstEntriesComeBack) {
  InputFile file =
      Compiled("d.daf",
               "Device D\n"
               "OutputSyntax { S : { DefaultSigName : 'a' Equation_Req : 'q' "
               "Action : 'b' } }\n"
               "OutputSyntax { S : { Equation_Req : 'c' } }\n"
               "DesignEpilog { Always : w Decl : 'd' Equation : 'e' }\n"
               "DesignEpilog { Always : v Decl : 'f' }\n"
               "DesignProlog { When DEV is 'a' : x  When DEV is 'b' : y  When : w Decl : 'k' }\n"
               "DesignProlog { Always : z }\n"
               "QelConfig { Always : a, b, c  When DEV is 'X' : d }\n"
               "QelConfig { Always : e }\n"
               "Extensions { '' : ''  'x' : y }\n"
               "TypeCategory { Io = 'io' }\n"
               "Pin { PA0 : { if Io : x else Io : z } }\n"
               "Group { Always : G : { A : 1, B : 2 | C : 3 } H : { D : 4 } }\n"
               "Group { Always : K : { E : 5 } }\n"
               "Initialize { When DEV is 'X' : P1.name = a ; P2.name = b ; "
               "P3.name = c ; }\n"
               "Initialize { When DEV is 'X' : P2.name = d ; }\n"
               "OutputSyntax { A : { Action : 'a' } B : { Equation : 'b' } C : { Action : 'c' } }\n"
               "OutputSyntax { D : { DefaultSigName : 'd' } }\n"
               "MemoryMap { Always : { n : 1 t : T d : D m : M s : S a : b : c : d : e : f : g "
               "h : i : j : k : l : m : n  o : p : q : r : s : t : u }, "
               "{ n : 2 t : T d : D m : M s : S v : w : x : y : z : 0 : 1 } }\n"
               "MemoryMap { Always : { n : 7 t : U d : E m : N s : T "
               "a : b : c : d : e : f : g } }\n");
  std::vector<std::string> problems;
  std::string source = WrittenSource(file, problems);
  EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << source;
}

// Lists that three sections of falling length left (statements, group
// members, groups and output syntax records, clause rows that close with a
// blank row), fields that take whatever token stands there, words after the
// Always block's statements and lines of an empty pin name come back, checked.
TEST(WrittenSourceTest, ListsOfManySectionsAndAnyTokenComeBack) {
  for (const auto& [name, text] : std::initializer_list<std::pair<const char*, const char*>>{
           {"d.daf",
            "Device D\n"
            "DesignProlog { Always : a PTerm : 'p' Decl : 'd' Equation : 'e' PropertyTab : 't' }\n"
            "DesignProlog { Always : b PTerm : 'q' Decl : 'f' }\n"
            "DesignProlog { Always : c PTerm : 'r' }\n"
            "DesignEpilog { Always : x Decl : -1'a' PTerm : 'p' Decl : 'b' }\n"
            "Group { Always : G : 't' : { A : 1 , B : 2 | C : 3 , D : 4 | E : 5 } Decl : 'x' "
            "H : 'u' : { K : 1 } I : 'v' : { L : 2 } }\n"
            "Group { Always : G : { A : 1 , B : 2 } Decl : 'z' H : 'w' : { M : 3 } }\n"
            "Group { Always : G : { A : 1 } When DEV : When : { } : | , ; : } } }\n"
            "OutputSyntax { O : { DefaultSigName : 'a' DeclWOPinNum : 'b' Action : 'd' } "
            "P : { Action : 'q' } Q : { Action : 'r' } }\n"
            "OutputSyntax { O : { DefaultSigName : 'a' DeclWOPinNum : 'b' } P : { } }\n"
            "OutputSyntax { { : { DefaultSigName : 'x' } }\n"
            "PinNumberByPackage { When DEV : P : 1, P : 2, P : 3, P : 4, P : 5 : 'x' }\n"
            "PinNumberByPackage { When DEV : P : 1, P : 2 }\n"
            "PinNumberByPackage { When DEV : P : 1 }\n"
            "TypeConversion { - : + : * ; : : } ; a : ; ; }\n"
            "Initialize { When DEV : P1.name = 'A' ; .name = 'H' : RSV ; .nchange = 5 ; }\n"
            "TypeCategory { Io = 'io' Pull = 'p' }\n"
            "Pin { PA0 : PA1 : PA2 : { if PACKAGE Io : a , b Pull : c else Io : d } "
            "PB0 : PB1 : { Io : e } }\n"
            "Pin { PC0 : { if PACKAGE Pull : f else } }\n"},
           {"m.ipf",
            "X { Input : { } : ; : a : b : 1 : ; : : ; : x : y : 1 : 2 : ? : : ; }\n"
            "  Declaration : { ; : : : { ; } Declaration : { } : a : b ; }\n"
            "  BusExtName : { } a } BusExtName : { } ; }\n"
            "  Macro : { MacroName ( a , , b ) { 'p;' } } }\n"}}) {
    InputFile file = Compiled(name, text);
    std::vector<std::string> problems;
    std::string source = WrittenSource(file, problems);
    EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << source;
  }
}

}  // namespace
}  // namespace qelc::dump
