#include "language/lookup.h"

#include <gtest/gtest.h>

#include "language/symbols.h"
#include "language/workspace.h"

namespace qelc::language {
namespace {

// A workspace whose root holds nothing on the disk that these sources name:
// every file is an open text.
class Lookup : public testing::Test {
 protected:
  Lookup() : files_("/nonexistent-qel-root") {}

  std::string Open(const std::string& name, std::string text) {
    std::string path = files_.PathOf(name);
    files_.Open(path, std::move(text));
    return path;
  }

  Workspace files_;
};

TEST_F(Lookup, RenameKeepsQuotesAndRenamesTheDefineThatGaveTheName) {
  std::string path = Open("dev.daf",
                          "Device QX1\n"
                          "#define DEBUG 'PA13'\n"
                          "PinNumberByPackage {\n"
                          "  When PACKAGE is 'P' :\n"
                          "    P : 1 : 'PA13'\n"
                          "}\n"
                          "Alias {\n"
                          "  When DEV is 'QX1' :\n"
                          "    SWDIO : pa13,\n"
                          "    SWD : DEBUG\n"
                          "}\n");
  SourceView view(files_, path);
  // The name is asked about at its use written in other letter case.
  std::optional<RenameTarget> target = PrepareRename(view, path, {8, 13});
  ASSERT_TRUE(target);
  EXPECT_EQ(target->name, "pa13");
  EXPECT_EQ(target->at.range, (Range{{8, 12}, {8, 16}}));
  RenameEdits edits = RenameAt(view, path, {4, 15}, "PX1");
  ASSERT_EQ(edits.refusal, "");
  ASSERT_EQ(edits.byPath.size(), 1u);
  const std::vector<TextEdit>& changed = edits.byPath.at(path);
  // The row's quoted name, the alias's bare target and, for DEBUG, the
  // define's value that the compiler read there.
  ASSERT_EQ(changed.size(), 3u);
  EXPECT_EQ(changed[0].range, (Range{{4, 12}, {4, 18}}));
  EXPECT_EQ(changed[0].newText, "'PX1'");
  EXPECT_EQ(changed[1].range, (Range{{8, 12}, {8, 16}}));
  EXPECT_EQ(changed[1].newText, "PX1");
  EXPECT_EQ(changed[2].range, (Range{{1, 14}, {1, 20}}));
  EXPECT_EQ(changed[2].newText, "'PX1'");
  // DEBUG itself leads to its #define.
  std::vector<Place> defined = DefinitionsAt(view, path, {9, 12});
  ASSERT_EQ(defined.size(), 1u);
  EXPECT_EQ(defined[0].range, (Range{{1, 8}, {1, 13}}));
  EXPECT_FALSE(RenameAt(view, path, {4, 15}, "P,1").refusal.empty());
  EXPECT_FALSE(RenameAt(view, path, {0, 1}, "X").refusal.empty());
}

TEST_F(Lookup, OutlineAndFoldsStayInTheirOwnFile) {
  Open("pins.inc",
       "PinNumberByPackage {\n"
       "  When PACKAGE is 'P' :\n"
       "    P : 1 : 'A',\n"
       "    P : 2 : 'B'\n"
       "}\n");
  std::string path = Open("dev.daf",
                          "Device QX1\n"
                          "#include pins.inc\n"
                          "Alias {\n"
                          "  When DEV is 'QX1' : X : 'A'\n"
                          "}\n");
  SourceView view(files_, path);
  std::vector<Symbol> symbols = DocumentSymbols(view, path);
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_EQ(symbols[0].name, "Alias");
  ASSERT_EQ(symbols[0].children.size(), 1u);
  EXPECT_EQ(symbols[0].children[0].name, "When DEV is 'QX1' : X : 'A'");
  std::vector<Symbol> included = DocumentSymbols(view, files_.PathOf("pins.inc"));
  ASSERT_EQ(included.size(), 1u);
  EXPECT_EQ(included[0].children[0].children.size(), 2u);
  std::vector<FoldingRange> folds = FoldingRanges(view, files_.PathOf("pins.inc"));
  ASSERT_EQ(folds.size(), 2u);
  EXPECT_EQ(folds[0].startLine, 0);
  EXPECT_EQ(folds[0].endLine, 4);
  EXPECT_EQ(folds[1].startLine, 1);
  EXPECT_EQ(folds[1].endLine, 3);
  // The pin used in the source is hovered with the row of the included file.
  std::optional<HoverText> hover = HoverAt(view, path, {3, 27});
  ASSERT_TRUE(hover);
  EXPECT_EQ(hover->markdown, "**A**\n\n- `P` pin 1\n");
}

}  // namespace
}  // namespace qelc::language
