// "-dsd": deleting the download-site list from the component folder.
#include <gtest/gtest.h>

#include <windows.h>


#include "support/installed_player_test_win32.h"
#include "support/process_win32.h"

namespace {

class SiteListDeletion : public InstalledPlayerTest {
 protected:
  std::string SiteList() const { return Component("QFXDownloadSites.txt"); }
};

TEST_F(SiteListDeletion, DeletesAPresentOrReadOnlyListAndPrintsZero) {
  for (bool readOnly : {false, true}) {
    ASSERT_TRUE(WriteTextFile(SiteList(), "[Sites]\r\n"));
    if (readOnly) ASSERT_TRUE(SetFileAttributesA(SiteList().c_str(), FILE_ATTRIBUTE_READONLY));
    ProgramRun run = RunPanel("-dsd");
    EXPECT_EQ(run.output, "0\n") << readOnly;
    EXPECT_EQ(run.exitCode, 0) << readOnly;
    EXPECT_FALSE(PathExists(SiteList())) << readOnly;
  }
}

TEST_F(SiteListDeletion, LeavesTheCodeAloneWhenThereIsNothingToDelete) {
  ProgramRun run = RunPanel("-dsd");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(SiteListDeletion, PrintsAnIoErrorWhenTheListCannotBeDeleted) {
  // A folder of that name exists but is no file that can be deleted.
  ASSERT_TRUE(MakeFolders(SiteList()));
  ProgramRun run = RunPanel("-dsd");
  EXPECT_EQ(run.output, "-44\n");
  EXPECT_EQ(run.exitCode, -44);
  EXPECT_TRUE(PathExists(SiteList()));
}

TEST_F(SiteListDeletion, DoesNothingWithoutAPlayer) {
  ASSERT_TRUE(WriteTextFile(SiteList(), "kept"));
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "elsewhere"));
  ProgramRun run = RunPanel("-dsd");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_TRUE(PathExists(SiteList()));
}

}  // namespace
