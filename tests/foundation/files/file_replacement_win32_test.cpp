#include "foundation/files/file_replacement.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

// A file held open without any sharing, as another program may hold it, and
// closed by a thread of its own as soon as that thread runs: the caller's
// next call nearly always meets the file still held (starting a thread
// takes longer than making a call), and the first wait of a retry lets the
// thread run and close it, however loaded the machine is; no time is set.
class FileReleasedLater {
 public:
  explicit FileReleasedLater(const std::string& path)
      : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
        thread_(file_ != INVALID_HANDLE_VALUE ? CreateThread(nullptr, 0, Release, this, 0, nullptr) : nullptr) {}
  ~FileReleasedLater() {
    if (thread_) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
    } else if (file_ != INVALID_HANDLE_VALUE) {
      CloseHandle(file_);
    }
  }
  FileReleasedLater(const FileReleasedLater&) = delete;
  FileReleasedLater& operator=(const FileReleasedLater&) = delete;

  bool IsHeld() const { return thread_ != nullptr; }

 private:
  static DWORD WINAPI Release(void* context) {
    auto* self = static_cast<FileReleasedLater*>(context);
    CloseHandle(self->file_);
    return 0;
  }

  HANDLE file_;
  HANDLE thread_;
};

// What writers that were ended left: their own kind of file only, and not
// one a writer still holds.
TEST(RemoveStaleSiblingFilesTest, RemovesTheFilesOfEndedWritersOnly) {
  TempFolder folder;
  const std::vector<std::string> stale = {"~pf0000ABCD.tmp", "~pf12345678.tmp"};
  const std::vector<std::string> kept = {"QuillframeConfig.ini", "~pfNOTHEX1.tmp", "~pf1234567.tmp", "other.tmp",
                                         "~pf12345678.txt", "~pf1234567890.tmp"};
  for (const std::string& name : stale) ASSERT_TRUE(WriteTextFile(folder / name, "half-written"));
  for (const std::string& name : kept) ASSERT_TRUE(WriteTextFile(folder / name, "keep"));
  ASSERT_TRUE(WriteTextFile(folder / "~pf0000BEEF.tmp", "a writer is at it"));
  {
    HeldFile writer(folder / "~pf0000BEEF.tmp", FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_EQ(RemoveStaleSiblingFiles(PathOf(folder / "QuillframeConfig.ini")), 2);
  }
  for (const std::string& name : stale) EXPECT_FALSE(PathExists(folder / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(PathExists(folder / name)) << name;
  EXPECT_TRUE(PathExists(folder / "~pf0000BEEF.tmp")) << "held by a writer";
  EXPECT_EQ(RemoveStaleSiblingFiles(PathOf(folder / "QuillframeConfig.ini")), 1) << "once let go";
}

TEST(MoveIntoPlaceTest, ReplacesTheTargetAndTheSourceIsGone) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "new.tmp", "new"));
  ASSERT_TRUE(WriteTextFile(folder / "p.ini", "old"));
  EXPECT_EQ(MoveIntoPlace(PathOf(folder / "new.tmp"), PathOf(folder / "p.ini")), StatusOk);
  EXPECT_EQ(ReadTextFile(folder / "p.ini"), "new");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"p.ini"});
}

// The other program closes the target while the move is still being tried.
TEST(MoveIntoPlaceTest, ATargetReleasedAfterTheFirstTryIsReplaced) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "new.tmp", "new"));
  ASSERT_TRUE(WriteTextFile(folder / "p.ini", "old"));
  Status status;
  {
    FileReleasedLater holder(folder / "p.ini");
    ASSERT_TRUE(holder.IsHeld());
    status = MoveIntoPlace(PathOf(folder / "new.tmp"), PathOf(folder / "p.ini"));
  }
  EXPECT_EQ(status, StatusOk);
  EXPECT_EQ(ReadTextFile(folder / "p.ini"), "new");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"p.ini"});
}

TEST(MoveIntoPlaceTest, AFolderInTheWayStaysAndSoDoesTheSource) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "new.tmp", "new"));
  ASSERT_TRUE(WriteTextFile(folder / "p.ini\\inside.txt", "inside"));
  EXPECT_EQ(MoveIntoPlace(PathOf(folder / "new.tmp"), PathOf(folder / "p.ini")), StatusIoError);
  EXPECT_EQ(ReadTextFile(folder / "p.ini\\inside.txt"), "inside");
  EXPECT_EQ(ReadTextFile(folder / "new.tmp"), "new");
}

TEST(MoveIntoPlaceTest, OnlyAFileHeldByAnotherProgramIsTriedAgain) {
  const struct {
    DWORD error;
    bool targetIsFolder;
    bool tryAgain;
  } cases[] = {
      {ERROR_SHARING_VIOLATION, false, true},
      {ERROR_LOCK_VIOLATION, false, true},
      {ERROR_ACCESS_DENIED, false, true},
      // A folder in the way gives access denied, and stays in the way.
      {ERROR_ACCESS_DENIED, true, false},
      {ERROR_SHARING_VIOLATION, true, false},
      {ERROR_PATH_NOT_FOUND, false, false},
      {ERROR_DISK_FULL, false, false},
      {ERROR_FILE_NOT_FOUND, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MoveMayClearUp(c.error, c.targetIsFolder), c.tryAgain) << c.error << (c.targetIsFolder ? " folder" : "");
  }
}

}  // namespace
