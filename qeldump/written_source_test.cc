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
               "MemoryMap { Always : { n : 1 t : T d : D m : M s : S a : b : c : d : e : f : g "
               "h : i : j : k : l : m : n  o : p : q : r : s : t : u }, "
               "{ n : 2 t : T d : D m : M s : S v : w : x : y : z : 0 : 1 } }\n"
               "MemoryMap { Always : { n : 7 t : U d : E m : N s : T "
               "a : b : c : d : e : f : g } }\n");
  std::vector<std::string> problems;
  std::string source = WrittenSource(file, problems);
  EXPECT_TRUE(problems.empty()) << problems.front() << "\n" << source;
}

}  // namespace
}  // namespace qelc::dump
