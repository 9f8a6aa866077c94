#include "qelcmd/sources.h"

#include <gtest/gtest.h>

#include "qelcmd/scratch_folder_test.h"

namespace qelc::qelcmd {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Paths(const SourceList& list) {
  std::vector<std::string> paths;
  for (const BuildSource& source : list.sources) {
    paths.push_back(source.path.string() + " -> " + source.outputFolder.string());
  }
  return paths;
}

TEST(CollectSources, FoldersGiveTheirSourcesSortedAndFilesStayInTheirPlace) {
  ScratchFolder scratch("collect");
  fs::path root = scratch.path();
  scratch.Write("tree/b.daf", "");
  scratch.Write("tree/a/z.ipf", "");
  scratch.Write("tree/a/notes.txt", "");
  scratch.Write("tree/c.DAF", "");
  scratch.Write("one.ipf", "");
  std::string tree = (root / "tree").string();
  SourceList list = CollectSources({(root / "one.ipf").string(), tree}, std::nullopt);
  ASSERT_EQ(list.problem, "");
  EXPECT_EQ(Paths(list), (std::vector<std::string>{
                             (root / "one.ipf").string() + " -> " + root.string(),
                             tree + "/a/z.ipf -> " + tree + "/a",
                             tree + "/b.daf -> " + tree,
                             tree + "/c.DAF -> " + tree,
                         }));
}

TEST(CollectSources, AnOutputFolderKeepsTheFoldersBelowThePathGiven) {
  ScratchFolder scratch("output");
  fs::path root = scratch.path();
  scratch.Write("tree/x/y/d.daf", "");
  scratch.Write("tree/e.daf", "");
  std::string tree = (root / "tree").string();
  SourceList list = CollectSources({tree, tree + "/e.daf", tree + "/./e.daf"}, fs::path("out"));
  ASSERT_EQ(list.problem, "");
  // A source reached twice is built once.
  EXPECT_EQ(Paths(list),
            (std::vector<std::string>{tree + "/e.daf -> out/", tree + "/x/y/d.daf -> out/x/y"}));
}

TEST(CollectSources, APathThatIsNoSourceOrNoFileIsRefusedWithNothingToBuild) {
  ScratchFolder scratch("refused");
  fs::path root = scratch.path();
  scratch.Write("good.daf", "");
  scratch.Write("notes.txt", "");
  std::string good = (root / "good.daf").string();
  SourceList missing = CollectSources({good, (root / "nope").string()}, std::nullopt);
  EXPECT_EQ(missing.problem, (root / "nope").string() + ": no such file or folder");
  EXPECT_TRUE(missing.sources.empty());
  SourceList text = CollectSources({(root / "notes.txt").string(), good}, std::nullopt);
  EXPECT_EQ(text.problem,
            (root / "notes.txt").string() + ": not a DAF or IPF source (.daf or .ipf)");
  EXPECT_TRUE(text.sources.empty());
}

}  // namespace
}  // namespace qelc::qelcmd
