#include "source/preprocessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

namespace qelc {
namespace {

namespace fs = std::filesystem;

struct Classified {
  int kind;
  std::string name;
  std::string value;
  bool operator==(const Classified&) const = default;
};

Classified Classify(std::string_view line) {
  Classified result{0, "stale name", "stale value"};
  result.kind = ClassifyLine(line, result.name, result.value);
  return result;
}

TEST(ClassifyLineTest, PlainLines) {
  for (std::string_view line : {"abc\n", "  \t\n", " \t ", "#pragma once\n", "#\n", "#els\n",
                                "#endi\n", "x #define A B\n", "\n"}) {
    EXPECT_EQ(Classify(line), (Classified{kPlainLine, "", ""})) << line;
  }
}

TEST(ClassifyLineTest, Directives) {
  struct Case {
    std::string_view line;
    Classified expected;
  } cases[] = {
      {"#include \"inc.h\"\n", {kIncludeLine, "inc.h", ""}},
      {"#include inc.h\n", {kIncludeLine, "inc.h", ""}},
      {"  #INCLUDE\tdir/a\"b\n", {kIncludeLine, "dir/a", ""}},
      {"#includes  \"x y\" z\n", {kIncludeLine, "x", ""}},
      {"#include\n", {kIncludeLine, "", ""}},
      // The first word runs up to a blank or tab, so it swallows the quoted name.
      {"#include\"inc.h\"\n", {kIncludeLine, "", ""}},
      {"#define W 8\n", {kDefineLine, "W", "8"}},
      {"#Define\tW\t8 and more\n", {kDefineLine, "W", "8"}},
      {"#define A \"B C\"", {kDefineLine, "A", "\"B"}},
      {"#define X\n", {kDefineLine, "X", ""}},
      {"#define\n", {kDefineLine, "", ""}},
      {"#define D[1] x,y\n", {kDefineLine, "D[1]", "x,y"}},
      {"#ifdef X\n", {kIfdefLine, "X", ""}},
      {"\t #IFDEF X further words\n", {kIfdefLine, "X", ""}},
      {"#ifdef\n", {kIfdefLine, "", ""}},
      {"#ifdefX\n", {kIfdefLine, "", ""}},
      {"#ifndef Y\n", {kIfndefLine, "Y", ""}},
      {"#else\n", {kElseLine, "", ""}},
      {"#ELSEIF X\n", {kElseLine, "", ""}},
      {"#endif\n", {kEndifLine, "", ""}},
      {"#endif; X\n", {kEndifLine, "", ""}},
      {"#endif", {kEndifLine, "", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(Classify(c.line), c.expected) << c.line;
}

DefineTable Defines(std::initializer_list<std::pair<const char*, const char*>> entries) {
  DefineTable defines;
  for (auto [name, value] : entries) defines.Add(name, value);
  return defines;
}

std::string Substitute(std::string_view line, const DefineTable& defines) {
  std::string rewritten = "stale";
  EXPECT_TRUE(SubstituteDefines(line, rewritten, defines)) << line;
  return rewritten;
}

TEST(SubstituteDefinesTest, OnlyWholeWordsBetweenBlanksTabsAndBrackets) {
  DefineTable defines = Defines({{"W", "8"}});
  EXPECT_EQ(Substitute("x D[W] W2 W, \"W\" (W) w\tW\n", defines),
            "x D[8] W2 W, \"W\" (W) w\t8\n");
  EXPECT_EQ(Substitute("x W", defines), "x 8");
  EXPECT_EQ(Substitute("W\n", defines), "8\n");
  EXPECT_EQ(Substitute("[W]W[W\n", defines), "[8]8[8\n");
}

TEST(SubstituteDefinesTest, FirstValuedEntryWins) {
  DefineTable defines = Defines({{"X", "1"}, {"X", "2"}, {"E", ""}, {"V", ""}, {"V", "3"}});
  EXPECT_EQ(Substitute("a X E V\n", defines), "a 1 E 3\n");
  EXPECT_TRUE(defines.IsDefined("E"));
  EXPECT_FALSE(defines.IsDefined("e"));
  EXPECT_EQ(defines.Replacement("E"), nullptr);
}

TEST(SubstituteDefinesTest, InsertedValueIsExaminedExceptAsFirstWord) {
  DefineTable defines = Defines({{"P", "Q"}, {"Q", "R"}});
  EXPECT_EQ(Substitute("y P\n", defines), "y R\n");
  EXPECT_EQ(Substitute("P y\n", defines), "Q y\n");
  // "Q P" -> the second P becomes Q, which is examined again and becomes R.
  EXPECT_EQ(Substitute("P P\n", defines), "Q R\n");
}

TEST(SubstituteDefinesTest, ValueWithBracketsSplitsIntoWords) {
  DefineTable defines = Defines({{"V", "A[B]"}, {"A", "1"}, {"B", "2"}, {"O", "["}, {"Y", "Z"}});
  EXPECT_EQ(Substitute("x V\n", defines), "x 1[2]\n");
  // A becomes the first word of the new line and is not examined.
  EXPECT_EQ(Substitute("V y\n", defines), "A[2] y\n");
  // After O, the first word of "[ Y Y" is the first Y.
  EXPECT_EQ(Substitute("O Y Y\n", defines), "[ Y Z\n");
}

TEST(SubstituteDefinesTest, AThousandSubstitutionsAreAllowed) {
  DefineTable defines;
  for (int i = 0; i < 1000; ++i) defines.Add("N" + std::to_string(i), "N" + std::to_string(i + 1));
  EXPECT_EQ(Substitute("x N0\n", defines), "x N1000\n");

  defines.Add("N1000", "N1001");
  std::string rewritten;
  EXPECT_FALSE(SubstituteDefines("x N0\n", rewritten, defines));
  EXPECT_EQ(rewritten, "x N1000\n");
}

TEST(SubstituteDefinesTest, CycleStopsWithTheLineAfterTheLastSubstitution) {
  DefineTable defines = Defines({{"A", "B"}, {"B", "A"}, {"G", "G[G]"}});
  std::string rewritten;
  EXPECT_FALSE(SubstituteDefines("x A y\n", rewritten, defines));
  EXPECT_EQ(rewritten, "x A y\n");
  EXPECT_FALSE(SubstituteDefines("x G y\n", rewritten, defines));
  std::string grown = "x G";
  for (int i = 0; i < 1000; ++i) grown += "[G]";
  EXPECT_EQ(rewritten, grown + " y\n");
}

// The rewriting done the slow, literal way with the C tokenizer: walk the
// entries in order for each word, and after every substitution split the new
// line again from its front and go on with its second word.
bool RescanningRewrite(std::string& line,
                       const std::vector<std::pair<std::string, std::string>>& entries) {
  const char* delimiters = " \t\n[]";
  std::string tokens = line;
  char* word = std::strtok(tokens.data(), delimiters);
  for (int substitutions = 0; word;) {
    const std::string* value = nullptr;
    for (const auto& [name, entryValue] : entries) {
      if (!entryValue.empty() && name == word) {
        value = &entryValue;
        break;
      }
    }
    if (!value) {
      word = std::strtok(nullptr, delimiters);
      continue;
    }
    if (++substitutions > kMaxSubstitutionsPerLine) return false;
    size_t start = word - tokens.data();
    line = line.substr(0, start) + *value + line.substr(start + std::strlen(word));
    tokens = line;
    std::strtok(tokens.data(), delimiters);
    word = std::strtok(nullptr, delimiters);
  }
  return true;
}

TEST(SubstituteDefinesTest, AgreesWithRescanningFromTheFront) {
  const char* names[] = {"A", "B", "C", "", "a"};
  const char* values[] = {"",   "A",   "B",   "C",  "x",   "A[B]", "[",  "]C",
                          "B]A", "[]", "C[x", "a", "y[x", "1,2", "x]y", "[y"};
  const char* pieces[] = {"A", "B", "C", "a", "x", " ", "[", "]", "\t", ",", "AB"};
  std::mt19937 random(12345);
  for (int round = 0; round < 1000; ++round) {
    std::vector<std::pair<std::string, std::string>> entries;
    DefineTable defines;
    for (int i = random() % 5; i > 0; --i) {
      entries.emplace_back(names[random() % std::size(names)], values[random() % std::size(values)]);
      defines.Add(entries.back().first, entries.back().second);
    }
    std::string line;
    for (int i = random() % 16; i > 0; --i) line += pieces[random() % std::size(pieces)];
    if (random() % 2) line += "\n";

    std::string expected = line;
    bool expectedEnds = RescanningRewrite(expected, entries);
    std::string rewritten;
    EXPECT_EQ(SubstituteDefines(line, rewritten, defines), expectedEnds) << line;
    EXPECT_EQ(rewritten, expected) << line;
  }
}

// A temporary directory that is the working directory while it lives, so that
// include names are relative to it as they are in a compile run.
class PreprocessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    directory_ = fs::temp_directory_path() /
                 ("qelc_pre_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    fs::current_path(directory_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(directory_);
  }

  static void WriteFile(const std::string& name, std::string_view text) {
    std::ofstream(name, std::ios::binary) << text;
  }

  // Runs the preprocessor over `source`; returns its result and fills output and errors.
  int Run(std::string_view source) {
    FILE* input = std::tmpfile();
    FILE* output = std::tmpfile();
    std::fwrite(source.data(), 1, source.size(), input);
    std::rewind(input);
    ::testing::internal::CaptureStderr();
    int result = Preprocess(input, "dev.daf", output, defines, branches);
    errors = ::testing::internal::GetCapturedStderr();
    std::rewind(output);
    output_.clear();
    for (int c = std::fgetc(output); c != EOF; c = std::fgetc(output)) output_.push_back(char(c));
    std::fclose(input);
    std::fclose(output);
    return result;
  }

  DefineTable defines;
  BranchStack branches;
  std::string output_;
  std::string errors;

 private:
  fs::path previous_;
  fs::path directory_;
};

TEST_F(PreprocessTest, CopiesPlainTextInTextMode) {
  EXPECT_EQ(Run("Device X\r\n#notadirective a\r\r\n\n  \t"), 1);
  EXPECT_EQ(output_, "Device X\n#notadirective a\r\n\n  \t");
  EXPECT_EQ(errors, "");
}

TEST_F(PreprocessTest, DirectivesAreNotWrittenAndBranchesNest) {
  EXPECT_EQ(Run("#define A 1\n"
                "#define w\n"
                "#ifdef A\n"
                "a A\n"
                "#ifndef A\n"
                "#include missing.inc\n"
                "#define B 2\n"
                "#ifdef A\n"
                "#else\n"
                "not written\n"
                "#endif\n"
                "#else\n"
                "b B\n"
                "#endif\n"
                "#else\n"
                "c\n"
                "#endif more words\n"
                "#ifdef W\n"
                "case\n"
                "#else\n"
                "d\n"
                "#ELSE\n"
                "e\n"
                "#endif\n"),
            1);
  EXPECT_EQ(output_, "a 1\nb B\nd\n");
  EXPECT_TRUE(branches.empty());
  EXPECT_FALSE(defines.IsDefined("B"));
}

TEST_F(PreprocessTest, NamelessDirectivesUseTheEmptyName) {
  EXPECT_EQ(Run("#ifdef\nno\n#endif\n#define\n#ifdef\nyes\n#endif\n#ifndef\nno\n#endif\n"), 1);
  EXPECT_EQ(output_, "yes\n");
  EXPECT_EQ(Run("#include\n"), 0);
  EXPECT_EQ(errors, "Cannot open include file ''.\n");
}

TEST_F(PreprocessTest, UnclosedIfdefIsLeftOnTheStack) {
  EXPECT_EQ(Run("#ifdef X\n#ifndef X\n"), 1);
  EXPECT_EQ(branches, (BranchStack{0, 1}));
}

TEST_F(PreprocessTest, EndifOrElseWithoutIfdefFails) {
  EXPECT_EQ(Run("a\n#endif\nb\n"), 0);
  EXPECT_EQ(output_, "a\n");
  EXPECT_EQ(errors,
            "Found#endif statement but no corresponding #ifdef or #ifndef statement found.");
  EXPECT_EQ(Run("a\n#else\nb\n"), 0);
  EXPECT_EQ(output_, "a\n");
  EXPECT_EQ(errors,
            "Found #else statement but no corresponding #ifdef or #ifndef statement found.");
}

TEST_F(PreprocessTest, IncludedFileSharesDefinesAndBranches) {
  fs::create_directory("sub");
  WriteFile("sub/inc.h", "#define W 8\ninc W\n#ifdef W\n");
  EXPECT_EQ(Run("a\n#include \"sub/inc.h\"\nW\n#endif\nb W\n"), 1);
  EXPECT_EQ(output_, "a\ninc 8\n8\nb 8\n");
}

TEST_F(PreprocessTest, MissingOrDirectoryIncludeFails) {
  EXPECT_EQ(Run("a\n#include nope.h\nb\n"), 0);
  EXPECT_EQ(output_, "a\n");
  EXPECT_EQ(errors, "Cannot open include file 'nope.h'.\n");
  fs::create_directory("dir");
  EXPECT_EQ(Run("#include dir\n"), 0);
  EXPECT_EQ(errors, "Cannot open include file 'dir'.\n");
}

TEST_F(PreprocessTest, IncludesNestSixtyFourDeep) {
  for (int level = 1; level <= 64; ++level) {
    std::string next = "#include f" + std::to_string(level + 1) + "\n";
    WriteFile("f" + std::to_string(level), level < 64 ? next : "deepest\n");
  }
  EXPECT_EQ(Run("#include f1\n"), 1);
  EXPECT_EQ(output_, "deepest\n");

  WriteFile("f64", "#include f65\n");
  EXPECT_EQ(Run("#include f1\n"), 0);
  EXPECT_EQ(errors, "Include files nested too deeply at 'f65'.\n");
}

TEST_F(PreprocessTest, IncludeCycleEndsAtTheDepthBound) {
  WriteFile("self.inc", "line\n#include self.inc\n");
  EXPECT_EQ(Run("#include self.inc\n"), 0);
  std::string expected;
  for (int level = 1; level <= 64; ++level) expected += "line\n";
  EXPECT_EQ(output_, expected);
  EXPECT_EQ(errors, "Include files nested too deeply at 'self.inc'.\n");
}

TEST_F(PreprocessTest, NulCharacterIsRefused) {
  WriteFile("nul.inc", std::string("ok\nx\0y\n", 7));
  EXPECT_EQ(Run("a\n#include nul.inc\n"), 0);
  EXPECT_EQ(output_, "a\nok\n");
  EXPECT_EQ(errors, "NUL character in 'nul.inc'.\n");
  EXPECT_EQ(Run(std::string("a\n\0", 3)), 0);
  EXPECT_EQ(errors, "NUL character in 'dev.daf'.\n");
}

TEST_F(PreprocessTest, LongLineIsHandledInPiecesOf1023Characters) {
  std::string x(1021, 'x');
  EXPECT_EQ(Run("#define W 8\n" + x + " WW W\n"), 1);
  EXPECT_EQ(output_, x + " 8" + "8 8\n");
  // The second piece of this line is a directive of its own.
  EXPECT_EQ(Run(std::string(1023, 'a') + "#define Z 1\nZ\n"), 1);
  EXPECT_EQ(output_, std::string(1023, 'a') + "1\n");
}

TEST_F(PreprocessTest, DefineCycleIsReportedWithTheLineCut) {
  EXPECT_EQ(Run("a\n#define G G[G]\nx G\nb\n"), 0);
  EXPECT_EQ(output_, "a\n");
  std::string shown = "x G";
  while (shown.size() < 80) shown += "[G]";
  shown.resize(80);
  EXPECT_EQ(errors, "Define substitution does not end in line: " + shown + "\n");

  EXPECT_EQ(Run("#define A B\n#define B A\ny A\n"), 0);
  EXPECT_EQ(errors, "Define substitution does not end in line: y A\n");
}

// 20,000 defines over 100,000 lines: a define lookup that walked the table
// would take billions of comparisons here.
TEST_F(PreprocessTest, ManyDefinesOverManyLines) {
  std::string source, expected;
  for (int i = 0; i < 20000; ++i) {
    source += "#define D" + std::to_string(i) + " v" + std::to_string(i) + "\n";
  }
  for (int line = 0; line < 100000; ++line) {
    int i = (line * 7) % 20000;
    source += "x D" + std::to_string(i) + " D" + std::to_string(19999 - i) + " y\n";
    expected += "x v" + std::to_string(i) + " v" + std::to_string(19999 - i) + " y\n";
  }
  EXPECT_EQ(Run(source), 1);
  EXPECT_EQ(output_, expected);
}

}  // namespace
}  // namespace qelc
