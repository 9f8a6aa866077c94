#include "source/recovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/expect.h"
#include "source/fatal.h"
#include "source/test_support.h"

namespace qelc {
namespace {

// A list of entries `name ':' value ';'` up to '}', read the way the sections
// read theirs; `Read` gives the names of the entries read without an error.
class RecoveryTest : public ::testing::Test {
 protected:
  void Open(const std::string& text, bool linting = true) {
    p_.Open(text);
    p_.s.braceDepth = 0;
    p_.s.listEndTaken = {0, 0};
    if (linting) {
      p_.diagnostics.CollectFindings({});
      p_.diagnostics.RecoverAfterErrors();
    }
    NextToken(p_.s);
  }

  test_support::RunResult Read(std::vector<std::string>& names) {
    return p_.Run([&] {
      while (!TokenIs(p_.s, "}") && !TokenText(p_.s).empty()) {
        std::string name;
        bool read = ReadEntry(p_.s, AfterSeparator<';'>, [&] {
          name = TakeWord(p_.s);
          ExpectText(p_.s, ":");
          if (TokenIs(p_.s, "full")) Overflow(p_.s, "Exceed number of entries.\n");
          SkipToken(p_.s);
          ExpectText(p_.s, ";");
        });
        if (read) names.push_back(name);
      }
    });
  }

  // How many errors the run reported.
  static size_t Errors(const test_support::RunResult& run) {
    size_t count = 0;
    for (size_t at = 0; (at = run.out.find("Expecting", at)) != std::string::npos; ++at) ++count;
    return count;
  }

  test_support::TextParse p_;
};

TEST_F(RecoveryTest, AfterAnErrorTheListGoesOnAtItsNextEntry) {
  std::vector<std::string> names;
  Open("a : 1 ;\n b 2 ;\n c : 3 ;\n d : 4 e ;\n f : 5 ;\n}");
  test_support::RunResult run = Read(names);
  EXPECT_FALSE(run.exited);
  EXPECT_EQ(Errors(run), 2u);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "c", "f"}));
  EXPECT_EQ(TokenText(p_.s), "}");

  // The braces of a failed entry are passed over whole: the ';' inside them
  // ends nothing.
  names.clear();
  Open("a : { x ; y } z ; b : 2 ; }");
  run = Read(names);
  EXPECT_EQ(Errors(run), 1u);
  EXPECT_EQ(names, (std::vector<std::string>{"b"}));
  EXPECT_EQ(TokenText(p_.s), "}");
}

TEST_F(RecoveryTest, TheCompilerStopsAtTheFirstError) {
  std::vector<std::string> names;
  Open("a : 1 ; b 2 ; c : 3 ; }", false);
  test_support::RunResult run = Read(names);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Errors(run), 1u);
  EXPECT_EQ(names, (std::vector<std::string>{"a"}));
}

TEST_F(RecoveryTest, SomeErrorsGiveUpTheSection) {
  // A full table: every later entry would overflow it again.
  std::vector<std::string> names;
  Open("a : 1 ; b : full ; c : 3 ; }");
  test_support::RunResult run = Read(names);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.err, "Exceed number of entries.\n");
  EXPECT_EQ(p_.diagnostics.Unwinding(), Unwind::kSection);
  EXPECT_EQ(names, (std::vector<std::string>{"a"}));
  p_.diagnostics.ResumeReading();

  // The next section's keyword at the start of a line, where the list lacks
  // its '}'; and the end of the input.
  p_.s.opensBlock = [](const Parser& p) { return TokenIs(p, "Next"); };
  for (const char* text : {"a : 1 ; b 2 ;\nNext { c : 3 ; }", "a : 1 ; b 2 c : 3"}) {
    names.clear();
    Open(text);
    run = Read(names);
    EXPECT_TRUE(run.exited) << text;
    EXPECT_EQ(Errors(run), 1u) << text;
    EXPECT_EQ(p_.diagnostics.Unwinding(), Unwind::kSection) << text;
    p_.diagnostics.ResumeReading();
  }
  EXPECT_EQ(TokenText(p_.s), "");
}

// Items `name '{' (word ',')* '}'`, the words resuming at their ','.
TEST_F(RecoveryTest, AnEntryEndsWithItsBrace) {
  auto atComma = [](const Parser& p) { return TokenIs(p, ",") ? ResumeAt::kAfter : ResumeAt::kNo; };
  auto readItems = [&](std::vector<std::string>& words) {
    return p_.Run([&] {
      while (!TokenIs(p_.s, "}") && !TokenText(p_.s).empty()) {
        ReadEntry(
            p_.s, NoOtherEnd,
            [&] {
              SkipToken(p_.s);
              ExpectText(p_.s, "{");
              while (!TokenIs(p_.s, "}")) {
                ReadEntry(p_.s, atComma, [&] {
                  words.push_back(TakeWord(p_.s));
                  if (TokenIs(p_.s, "!")) ExpectText(p_.s, ",");
                  ExpectText(p_.s, ",");
                });
              }
              ExpectText(p_.s, "}");
            },
            true);
      }
    });
  };
  // An error inside: the item ends with the '}' of its '{'; one in a word:
  // the words go on after its ','.
  std::vector<std::string> words;
  Open("i : { a , } j { b ! , c , } k { d , } }");
  test_support::RunResult run = readItems(words);
  EXPECT_FALSE(run.exited);
  EXPECT_EQ(Errors(run), 2u);
  EXPECT_EQ(words, (std::vector<std::string>{"b", "c", "d"}));
  EXPECT_EQ(TokenText(p_.s), "}");

  // An item that lacks its '{' ends with a '}' on its line or under its first
  // word; a '}' further out closes the list.
  for (const char* text : {"i a , } j { b , } }", "  i\n  a ,\n  }\n  j { b , }\n}"}) {
    words.clear();
    Open(text);
    run = readItems(words);
    EXPECT_EQ(Errors(run), 1u) << text;
    EXPECT_EQ(words, (std::vector<std::string>{"b"})) << text;
    EXPECT_EQ(TokenText(p_.s), "}") << text;
  }
  words.clear();
  Open("  i\n    a ,\n}\n  j { b , }");
  run = readItems(words);
  EXPECT_EQ(Errors(run), 1u);
  EXPECT_TRUE(words.empty());
  EXPECT_EQ(TokenText(p_.s), "}");
}

}  // namespace
}  // namespace qelc
