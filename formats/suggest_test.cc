#include "formats/suggest.h"

#include <gtest/gtest.h>

#include <string>

namespace qelc {
namespace {

TEST(EditDistanceTest, CountsEditsLetterCaseAside) {
  EXPECT_EQ(EditDistance("Initialise", "Initialize", 2), 1);
  EXPECT_EQ(EditDistance("PACKAGE", "package", 2), 0);
  EXPECT_EQ(EditDistance("Pin", "Pn", 2), 1);         // a deletion
  EXPECT_EQ(EditDistance("Alias", "Aliass", 2), 1);   // an insertion at the end
  EXPECT_EQ(EditDistance("Mdoule", "Module", 2), 2);  // two letters swapped
  EXPECT_EQ(EditDistance("", "ab", 2), 2);
  EXPECT_EQ(EditDistance("ab", "", 2), 2);
}

TEST(EditDistanceTest, StopsAboveTheLimit) {
  EXPECT_EQ(EditDistance("Group", "Output", 2), 3);  // 3 edits: one above the limit
  EXPECT_EQ(EditDistance("a", "abcd", 2), 3);        // lengths alone differ by 3
  EXPECT_EQ(EditDistance("abcdef", "uvwxyz", 2), 3);
  // A long word far from the diagonal's start is still measured right.
  std::string long_word(500, 'x');
  std::string one_off = long_word;
  one_off[250] = 'y';
  EXPECT_EQ(EditDistance(long_word, one_off, 2), 1);
  EXPECT_EQ(EditDistance(long_word, long_word + "yy", 2), 2);
}

TEST(SuggestionTest, NamesTheOneNearestCandidate) {
  Suggestion suggestion("Initialise");
  for (const char* keyword : {"Alias", "Initialize", "Pin", "Group"}) suggestion.Consider(keyword);
  EXPECT_EQ(suggestion.Text(), "; did you mean 'Initialize'?");

  Suggestion nearest("PNN");
  for (const char* variable : {"PN", "DEVBIN", "IN_NUM", "IPN"}) nearest.Consider(variable);
  EXPECT_EQ(nearest.Text(), "; did you mean 'PN'?");  // one edit; IPN needs two

  Suggestion tied("IN");
  for (const char* variable : {"PN", "DEVBIN", "IPN"}) tied.Consider(variable);
  EXPECT_EQ(tied.Text(), "");  // PN and IPN are both one edit away

  Suggestion letterCase("io");
  for (const char* category : {"IN", "IO", "OUT"}) letterCase.Consider(category);
  EXPECT_EQ(letterCase.Text(), "; did you mean 'IO'?");  // nearer than IN
}

TEST(SuggestionTest, SaysNothingWithoutAResemblance) {
  Suggestion far("Foo");
  for (const char* keyword : {"Alias", "Pin", "Group"}) far.Consider(keyword);
  EXPECT_EQ(far.Text(), "");

  Suggestion short_word("X");
  short_word.Consider("IO");  // two edits replace the whole candidate
  EXPECT_EQ(short_word.Text(), "");

  Suggestion same("Pin");
  same.Consider("Pin");  // the word itself is not a suggestion
  EXPECT_EQ(same.Text(), "");
}

}  // namespace
}  // namespace qelc
