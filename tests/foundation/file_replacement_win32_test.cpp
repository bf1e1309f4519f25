#include "foundation/file_replacement.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

// A file held open without any sharing, as another program may hold it, and
// closed by a thread of its own after a short while.
class FileReleasedLater {
 public:
  FileReleasedLater(const std::string& path, DWORD heldMs)
      : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
        heldMs_(heldMs),
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
    Sleep(self->heldMs_);
    CloseHandle(self->file_);
    return 0;
  }

  HANDLE file_;
  DWORD heldMs_;
  HANDLE thread_;
};

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
    FileReleasedLater holder(folder / "p.ini", 50);
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
