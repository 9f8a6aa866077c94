#include "softip/modules.h"

#include <gtest/gtest.h>

#include <string>

#include "softip/library.h"
#include "softip/test_support.h"
#include "source/fatal.h"
#include "source/token_stream.h"
#include "tables/string_pool.h"

namespace qelc {
namespace {

TEST(ModuleNumberTest, KeepsTheLowEightBitsSigned) {
  EXPECT_EQ(ModuleNumber("127"), 127);
  EXPECT_EQ(ModuleNumber("128"), -128);
  EXPECT_EQ(ModuleNumber("200"), -56);
  EXPECT_EQ(ModuleNumber("300"), 44);
  EXPECT_EQ(ModuleNumber("-1"), -1);
  EXPECT_EQ(ModuleNumber("-200"), 56);
  EXPECT_EQ(ModuleNumber("+5x"), 5);
  EXPECT_EQ(ModuleNumber("abc"), 0);
  // Saturates at 2147483647 first, whose low byte is FF.
  EXPECT_EQ(ModuleNumber("99999999999"), -1);
}

class ModuleParserTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseEmptyLibrary(); }
  void TearDown() override {
    CloseTokenStream();
    ResetLibrary();
  }

  // Parses one module from `text`; the stream must then be at its end.
  const SoftIPModule& Parse(const std::string& text) {
    test::OpenTokens(dir_, text);
    ParseSoftIPModule();
    EXPECT_EQ(TokenText(), "");
    EXPECT_FALSE(Library().modules.Empty());
    return Library().modules.Last();
  }

  // Parses `text`, which must fail; returns what the failure printed.
  std::string Failure(const std::string& text) {
    size_t modules = Library().modules.Size();
    test::OpenTokens(dir_, text);
    ::testing::internal::CaptureStdout();
    try {
      ParseSoftIPModule();
      ADD_FAILURE() << "no failure";
    } catch (const FatalExit& exit) {
      EXPECT_EQ(exit.status, 1);
    }
    EXPECT_EQ(Library().modules.Size(), modules);
    return ::testing::internal::GetCapturedStdout().substr(sizeof "Parsing Soft IP X\n" - 1);
  }

  test::TempDir dir_;
};

std::string Text(StringRef ref) { return PoolString(ref); }

TEST_F(ModuleParserTest, PortFieldsEmptyGiveOneOmittedGiveZero) {
  const SoftIPModule& module = Parse(
      "X { Input : { p : q : r : s : ; p : q : r : s :: 7 ; p : q : r : s : x ;"
      " p : q : r : s : 8 : 2 : t : u ; } }");
  ASSERT_EQ(module.inputs.Size(), 4u);
  const SoftIPInput& bare = module.inputs.At(0);
  EXPECT_EQ(bare.number1, 0);
  EXPECT_EQ(bare.number2, 0);
  EXPECT_EQ(Text(bare.text5), "");
  EXPECT_EQ(bare.text5, bare.text6);
  EXPECT_EQ(module.inputs.At(1).number1, 1);
  EXPECT_EQ(module.inputs.At(1).number2, 7);
  EXPECT_EQ(module.inputs.At(2).number1, 0);  // x is no number
  const SoftIPInput& full = module.inputs.At(3);
  EXPECT_EQ(full.number1, 8);
  EXPECT_EQ(full.number2, 2);
  EXPECT_EQ(Text(full.text5), "t");
  EXPECT_EQ(Text(full.text6), "u");
}

TEST_F(ModuleParserTest, OutputDropsTheEighthFieldUnpooled) {
  const SoftIPModule& module = Parse("X { OUTPUTS : { p : q : r : s : 8 : 2 : t : u ; } }");
  ASSERT_EQ(module.outputs.Size(), 1u);
  EXPECT_EQ(Text(module.outputs.At(0).text5), "t");
  // Pooled: X p q r s t, then the empty Module text when the module is added.
  EXPECT_EQ(Library().stringBytesUsed, 2 * 6 + 1);
  EXPECT_EQ(Text(module.moduleName), "");
  EXPECT_EQ(module.moduleNumber, 0);
}

TEST_F(ModuleParserTest, ParametersWithOrWithoutCommas) {
  const SoftIPModule& module = Parse(
      "X { Macro : { MacroName ( x y z ) { } } Macro : { MacroName ( a , b , ) { } }"
      " Equation : { MacroName ( ) ; } Equation : { MacroName ( e ) ; } }");
  ASSERT_EQ(module.macroParameters.Size(), 5u);
  EXPECT_EQ(Text(module.macroParameters.At(2)), "z");
  EXPECT_EQ(Text(module.macroParameters.At(4)), "b");
  ASSERT_EQ(module.equationParameters.Size(), 1u);
  EXPECT_EQ(Text(module.equationParameters.At(0)), "e");
  EXPECT_TRUE(module.macroStatements.Empty());
}

TEST_F(ModuleParserTest, StatementLinesJoinUnquotedStatements) {
  const SoftIPModule& module = Parse(
      "X { Macro : { MacroName ( ) { 'a = b;' , 'c;' _when PN is 'X' : '' } } }");
  ASSERT_EQ(module.macroStatements.Size(), 2u);
  EXPECT_EQ(Text(module.macroStatements.At(0).condition), "1");
  EXPECT_EQ(Text(module.macroStatements.At(0).statements), "a = b;\nc;\n");
  EXPECT_EQ(Text(module.macroStatements.At(1).condition), "\\PN\\is\\'X'");
  EXPECT_EQ(Text(module.macroStatements.At(1).statements), "\n");
}

TEST_F(ModuleParserTest, BusExtNameTakesABraceRightAfterTheOpening) {
  const SoftIPModule& module = Parse("X { BusExtName : { } a } }");
  ASSERT_EQ(module.busExtNames.Size(), 2u);
  EXPECT_EQ(Text(module.busExtNames.At(0)), "}");
  EXPECT_EQ(Text(module.busExtNames.At(1)), "a");
}

TEST_F(ModuleParserTest, SecondModuleStatementReplacesTheFirst) {
  const SoftIPModule& module =
      Parse("X { Module : { a : 1 ; } Module : { b : 300 ; } }");
  EXPECT_EQ(Text(module.moduleName), "b");
  EXPECT_EQ(module.moduleNumber, 44);
}

TEST_F(ModuleParserTest, UnfinishedLoopsFailAtTheirClosingToken) {
  EXPECT_EQ(Failure("X { Module : { m : 1 ; }"),
            "Line:     1: Expecting '}', but seeing ''.\n");
  EXPECT_EQ(Failure("X { Unknown"), "Line:     1: Expecting '}', but seeing 'Unknown'.\n");
  EXPECT_EQ(Failure("X { BusExtName : { a b"), "Line:     1: Expecting '}', but seeing ''.\n");
  EXPECT_EQ(Failure("X { BusExtName : {"), "Line:     1: Expecting '}', but seeing ''.\n");
  EXPECT_EQ(Failure("X { Macro : { MacroName ( a"),
            "Line:     1: Expecting ')', but seeing ''.\n");
  EXPECT_EQ(Failure("X { Macro : { MacroName ( ) { 'a'"),
            "Line:     1: Expecting '}', but seeing ''.\n");
  EXPECT_EQ(Failure("X { Equation : { MacroName ( a"),
            "Line:     1: Expecting ')', but seeing ''.\n");
  EXPECT_EQ(Failure("X { Input : { a : b : c : d : 1 : 2 : e : f : g ; } }"),
            "Line:     1: Expecting ';', but seeing ':'.\n");
  EXPECT_EQ(Failure("X { Modules : { m : 1 ; } }"),
            "Line:     1: Expecting 'Module', but seeing 'Modules'.\n");
}

TEST_F(ModuleParserTest, TextsBeyondTheirLimitsAreRefused) {
  std::string twelve(12, 'c');
  EXPECT_EQ(Failure("X { Input : { a : b : " + twelve + " : d : ; } }"),
            "Line:     1: Text longer than 11 characters.\n");
  Parse("X { Input : { a : b : " + twelve.substr(1) + " : d : ; } }");
  EXPECT_EQ(Failure("X { Macro : { MacroName ( " + std::string(64, 'p') + " ) { } } }"),
            "Line:     1: Text longer than 63 characters.\n");
  EXPECT_EQ(Failure("X { BusExtName : { " + std::string(512, 'b') + " } }"),
            "Line:     1: Text longer than 511 characters.\n");
  // Two statements of 1020 characters and their newlines take 2042 of the 2047
  // characters of a statement line; with a third one of four the line is full.
  std::string twoStatements = "'" + std::string(1020, 's') + "' , '" + std::string(1020, 't') + "'";
  const SoftIPModule& full =
      Parse("X { Macro : { MacroName ( ) { " + twoStatements + " , 'abcd' } } }");
  EXPECT_EQ(Text(full.macroStatements.At(0).statements).size(), 2047u);
  EXPECT_EQ(Failure("X { Macro : { MacroName ( ) { " + twoStatements + " , 'abcde' } } }"),
            "Line:     1: Text longer than 2047 characters.\n");
}

}  // namespace
}  // namespace qelc
