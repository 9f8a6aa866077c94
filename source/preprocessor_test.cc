#include "source/preprocessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "source/line_map.h"
#include "source/test_support.h"

namespace qelc {
namespace {

TEST(ClassifyLineTest, KindNameAndValue) {
  struct Case {
    std::string_view line;
    int kind;
    std::string name, value;
  } cases[] = {
      {"abc\n", kPlainLine, "", ""},
      {"#pragma once\n", kPlainLine, "", ""},
      {"#els\n", kPlainLine, "", ""},
      {"#endi\n", kPlainLine, "", ""},
      {"x #define A B\n", kPlainLine, "", ""},
      {"  #INCLUDE\tdir/a\"b\n", kIncludeLine, "dir/a", ""},
      {"#includes  \"x y\" z\n", kIncludeLine, "x", ""},
      {"#include\n", kIncludeLine, "", ""},
      // The first word runs up to a blank or tab, so it swallows the quoted name.
      {"#include\"inc.h\"\n", kIncludeLine, "", ""},
      {"#Define\tW\t8 and more\n", kDefineLine, "W", "8"},
      {"#define A \"B C\"", kDefineLine, "A", "\"B"},
      {"#define D[1] x,y\n", kDefineLine, "D[1]", "x,y"},
      {"\t #IFDEF X further words\n", kIfdefLine, "X", ""},
      {"#ifdefX\n", kIfdefLine, "", ""},
      {"#ELSEIF X\n", kElseLine, "", ""},
      {"#endif; X\n", kEndifLine, "", ""},
  };
  for (const Case& c : cases) {
    std::string name = "stale", value = "stale";
    EXPECT_EQ(ClassifyLine(c.line, name, value), c.kind) << c.line;
    EXPECT_EQ(name, c.name) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
}

TEST(SubstituteDefinesTest, AThousandSubstitutionsAreAllowedAndOneMoreIsACycle) {
  DefineTable defines;
  for (int i = 0; i < 1000; ++i) defines.Add("N" + std::to_string(i), "N" + std::to_string(i + 1));
  std::string rewritten;
  EXPECT_TRUE(SubstituteDefines("x N0\n", rewritten, defines));
  EXPECT_EQ(rewritten, "x N1000\n");
  defines.Add("N1000", "N1001");
  EXPECT_FALSE(SubstituteDefines("x N0\n", rewritten, defines));
  EXPECT_EQ(rewritten, "x N1000\n");  // the line after the last allowed substitution
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
  const char* values[] = {"",    "A",  "B",   "C", "x",   "A[B]", "[",   "]C",
                          "B]A", "[]", "C[x", "a", "y[x", "1,2",  "x]y", "[y"};
  const char* pieces[] = {"A", "B", "C", "a", "x", " ", "[", "]", "\t", ",", "AB"};
  std::mt19937 random(12345);
  for (int round = 0; round < 1000; ++round) {
    std::vector<std::pair<std::string, std::string>> entries;
    DefineTable defines;
    for (int i = random() % 5; i > 0; --i) {
      entries.emplace_back(names[random() % std::size(names)],
                           values[random() % std::size(values)]);
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
    // A line in which no word has a value is passed over without rewriting.
    if (FirstRewrittenWord(line, defines) == std::string_view::npos) {
      EXPECT_EQ(expected, line);
    }
  }
}

// 20,000 defines over 100,000 lines: a define lookup that walked the table
// would take billions of comparisons here.
TEST(SubstituteDefinesTest, ManyDefinesOverManyLines) {
  DefineTable defines;
  for (int i = 0; i < 20000; ++i) defines.Add("D" + std::to_string(i), "v" + std::to_string(i));
  std::string rewritten;
  for (int line = 0; line < 100000; ++line) {
    int n = (line * 7) % 20000;
    std::string i = std::to_string(n), j = std::to_string(19999 - n);
    ASSERT_TRUE(SubstituteDefines("x D" + i + " D" + j + " y\n", rewritten, defines));
    ASSERT_EQ(rewritten, "x v" + i + " v" + j + " y\n");
  }
}

// Most lines go out in one write with the lines around them; a run that keeps
// a line map takes every line on its own. Both write the same bytes, over read
// buffers of 65,536 bytes that end anywhere in a line, with directives, defines,
// dropped branches, lines of about 1023 characters, carriage returns, a NUL
// and a define cycle.
TEST(PreprocessTest, LinesWrittenTogetherAreThoseWrittenOneByOne) {
  const std::string lines[] = {"  plain words ; here\n",
                               "A [B] A,B\n",
                               "#define A 1\n",
                               "#define B\n",
                               "#ifdef B\n",
                               "#ifndef A\n",
                               "#else\n",
                               "#endif\n",
                               "\t#notadirective\n",
                               " \t\n",
                               "\n",
                               "x\r\ny\r\n",
                               std::string(1021, 'w') + "\n",
                               std::string(1022, 'w') + "\n",
                               std::string(1023, 'w') + "\n",
                               std::string(1500, 'w') + "\n"};
  std::mt19937 random(2024);
  for (int round = 0; round < 20; ++round) {
    std::string source;
    int open = 0;
    while (source.size() < 200000) {
      const std::string& line = lines[random() % std::size(lines)];
      if (line.starts_with("#if")) ++open;
      if ((line == "#endif\n" || line == "#else\n") && open == 0) continue;
      if (line == "#endif\n") --open;
      source += line;
    }
    for (; open > 0; --open) source += "#endif\n";
    // Two defines that name each other: a cycle, found where they are used.
    if (round % 4 == 1) source += "#define P Q\n#define Q P\nplain\ny P\n";
    source += "last line without an end";
    if (round % 4 == 3) source[source.size() / 2] = '\0';
    LineMap map;
    test_support::Preprocessed together = test_support::PreprocessText(source);
    test_support::Preprocessed oneByOne = test_support::PreprocessText(source, &map);
    EXPECT_EQ(together.text, oneByOne.text) << round;
    EXPECT_EQ(together.status, oneByOne.status) << round;
    EXPECT_EQ(together.status, round % 2 == 1 ? 0 : 1) << round;
  }
}

}  // namespace
}  // namespace qelc
