#include "foundation/profile/profile_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/core/what_if.h"
#include "foundation/profile/profile_text.h"
#include "foundation/trees/tree_contents.h"
#include "foundation/trees/tree_removal.h"
#include "support/folder_files_win32.h"
#include "support/path_of.h"
#include "support/profile_dump.h"
#include "support/temp_folder_win32.h"

namespace {

// A document whose text is about bytes long.
void LoadLarge(ProfileDocument& document, size_t bytes) {
  std::string text = "[Big]\r\n";
  for (int i = 0; text.size() < bytes; ++i) text += "key" + std::to_string(i) + " = " + std::string(80, 'v') + "\r\n";
  LoadProfile(document, text);
}

const char* const oldText = "[Old]\r\nkeep = me\r\n\r\n";

TEST(ProfileFileTest, MissingFileGivesOpenFailedAndAnUnchangedDocument) {
  TempFolder folder;
  ProfileDocument document;
  LoadProfile(document, "[Kept]\nk=v\n");
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "missing.ini")), StatusOpenFailed);
  EXPECT_EQ(DumpProfile(document), "[Kept]<k=v>");
}

TEST(ProfileFileTest, EmptyFileGivesNothing) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "empty.ini", ""));
  ProfileDocument document;
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "empty.ini")), StatusOk);
  EXPECT_EQ(document.SectionCount(), 0);
}

TEST(ProfileFileTest, ReadsSectionsAndEntries) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "QuillframeConfig.ini",
                            "[ComponentMgrOptions]\r\nCheckForUpdates=1\r\nLastUpdateCheckTime=0\r\nBroadcastKey=1\r\n"));
  ProfileDocument document;
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "QuillframeConfig.ini")), StatusOk);
  EXPECT_EQ(DumpProfile(document),
            "[ComponentMgrOptions]<CheckForUpdates=1><LastUpdateCheckTime=0><BroadcastKey=1>");
}

TEST(ProfileFileTest, HeaderLastKeepsTheSectionAndGivesBadFormat) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "p.ini", "[A]\r\nk=v\r\n[Main]"));
  ProfileDocument document;
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "p.ini")), StatusBadFormat);
  EXPECT_EQ(DumpProfile(document), "[A]<k=v>[Main]");
}

TEST(ProfileFileTest, TextInOtherEncodings) {
  const std::string nul(1, '\0');
  const struct {
    const char* what;
    std::string bytes;
    Status status;
    std::string dump;  // after "[Kept]<k=v>", which the document held before
    bool mark;
    bool forbidsRewrite;
  } cases[] = {
      {"plain", "[A]\r\nk=v\r\n", StatusOk, "[A]<k=v>", false, false},
      {"UTF-8 mark", "\xEF\xBB\xBF[A]\r\nk=v\r\n", StatusOk, "[A]<k=v>", true, false},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", StatusOk, "", true, false},
      {"UTF-16 LE", std::string("\xFF\xFE[\0A\0]\0", 8), StatusForeignText, "", false, true},
      {"UTF-16 BE", std::string("\xFE\xFF\0[\0A\0]", 8), StatusForeignText, "", false, true},
      {"NUL inside", "[A]\r\nk=v\r\n" + nul + "[B]\r\nx=y\r\n", StatusForeignText, "", false, true},
      {"NULs at the end", "[A]\r\nk=v\r\n" + nul + nul, StatusOk, "[A]<k=v>", false, false},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "p.ini", c.bytes));
    ProfileDocument document;
    LoadProfile(document, "[Kept]\nk=v\n");
    EXPECT_EQ(ReadProfile(document, PathOf(folder / "p.ini")), c.status) << c.what;
    EXPECT_EQ(DumpProfile(document), "[Kept]<k=v>" + c.dump) << c.what;
    EXPECT_EQ(document.utf8ByteOrderMark, c.mark) << c.what;
    EXPECT_EQ(ReadForbidsRewrite(c.status), c.forbidsRewrite) << c.what;
  }
  EXPECT_TRUE(ReadForbidsRewrite(StatusIoError));
  EXPECT_TRUE(ReadForbidsRewrite(StatusNoMemory));
  EXPECT_FALSE(ReadForbidsRewrite(StatusOpenFailed));
  EXPECT_FALSE(ReadForbidsRewrite(StatusBadFormat));
}

TEST(ProfileFileTest, TheWriterKeepsAUtf8ByteOrderMark) {
  TempFolder folder;
  ProfileDocument document;
  LoadProfile(document, "[A]\nk=v\n");
  document.utf8ByteOrderMark = true;
  ASSERT_EQ(WriteProfile(document, PathOf(folder / "p.ini")), StatusOk);
  EXPECT_EQ(ReadTextFile(folder / "p.ini"), "\xEF\xBB\xBF[A]\r\nk = v\r\n\r\n");
  document.ClearDocument();
  EXPECT_FALSE(document.utf8ByteOrderMark);
}

TEST(ProfileFileTest, ReadsFromAGivenStreamAndLeavesItOpen) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "p.ini", "[A]\nk=v\n"));
  FileStream stream(PathOf(folder / "p.ini"));
  ASSERT_EQ(stream.Open(FileStream::ModeRead, FileStream::StandardBufferSize), StatusOk);
  ProfileDocument document;
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "other.ini"), &stream), StatusOk);
  EXPECT_EQ(DumpProfile(document), "[A]<k=v>");
  EXPECT_TRUE(stream.IsOpen());
}

// A read that fails, or gives fewer bytes than the file holds, must not pass
// for the whole file: callers would write the file back from that part.
TEST(ProfileFileTest, ATextThatCannotBeReadWholeLeavesTheDocumentAlone) {
  const struct {
    const char* what;
    int32_t mode;
    uint32_t readFirst;  // bytes the stream has read already
  } cases[] = {
      {"a stream read in part", FileStream::ModeRead, 4},
      {"a stream that cannot read", FileStream::ModeWrite, 0},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "p.ini", "[A]\r\nk=v\r\n[B]\r\nx=y\r\n"));
    FileStream stream(PathOf(folder / "p.ini"));
    ASSERT_EQ(stream.Open(c.mode, 0), StatusOk) << c.what;
    char skipped[8];
    uint32_t count = c.readFirst;
    if (c.readFirst) ASSERT_EQ(stream.Read(skipped, &count), StatusOk) << c.what;
    ProfileDocument document;
    LoadProfile(document, "[Kept]\nk=v\n");
    EXPECT_EQ(ReadProfile(document, PathOf(folder / "p.ini"), &stream), StatusIoError) << c.what;
    EXPECT_EQ(DumpProfile(document), "[Kept]<k=v>") << c.what;
    EXPECT_TRUE(stream.IsOpen()) << c.what;
  }
}

TEST(ProfileFileTest, ReadsAFileSharedForReading) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "p.ini", "[A]\nk=v\n"));
  HANDLE reader = CreateFileA((folder / "p.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ProfileDocument document;
  EXPECT_EQ(ReadProfile(document, PathOf(folder / "p.ini")), StatusOk);
  CloseHandle(reader);
  EXPECT_EQ(DumpProfile(document), "[A]<k=v>");
}

// The writer's form of the document, as the only file: new, or in place of
// what was there, read-only or not.
TEST(ProfileFileTest, WritesTheWritersFormInPlaceOfWhatWasThere) {
  // Longer than the new text: nothing of it may stay.
  const std::string longText(100000, 'x');
  const struct {
    const char* document;
    const char* existing;  // none: no file yet
    bool readOnly;
    const char* written;
  } cases[] = {
      {"[A]\nk=v\n[B]\n", nullptr, false, "[A]\r\nk = v\r\n[B]\r\n\r\n"},
      {"", nullptr, false, "\r\n"},  // an empty document is one line end
      {"[New]\nk=v\n", longText.c_str(), false, "[New]\r\nk = v\r\n\r\n"},
      {"[New]\nk=v\n", oldText, true, "[New]\r\nk = v\r\n\r\n"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder / "p.ini";
    if (c.existing) {
      ASSERT_TRUE(WriteTextFile(path, c.existing));
      if (c.readOnly) ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ProfileDocument document;
    LoadProfile(document, c.document);
    ASSERT_EQ(WriteProfile(document, PathOf(path)), StatusOk) << c.document;
    EXPECT_EQ(ReadTextFile(path), c.written) << c.document;
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"p.ini"}) << c.document;
  }
}

TEST(ProfileFileTest, LargeDocumentGoesThroughTheBufferInOrder) {
  TempFolder folder;
  ProfileDocument document;
  LoadLarge(document, 600000);
  String expected;
  ASSERT_EQ(ProfileTextOf(document, expected), StatusOk);
  ASSERT_EQ(WriteProfile(document, PathOf(folder / "big.ini")), StatusOk);
  EXPECT_EQ(ReadTextFile(folder / "big.ini"), std::string(expected.Text()));
  ProfileDocument reread;
  EXPECT_EQ(ReadProfile(reread, PathOf(folder / "big.ini")), StatusOk);
  EXPECT_EQ(DumpProfile(reread), DumpProfile(document));
}

// A file another program holds open without sharing stays as it was, and
// keeps its read-only mark.
TEST(ProfileFileTest, FileHeldOpenWithoutSharingStaysAsItWas) {
  for (bool readOnly : {false, true}) {
    TempFolder folder;
    const std::string path = folder / "held.ini";
    ASSERT_TRUE(WriteTextFile(path, oldText));
    if (readOnly) ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE holder =
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ProfileDocument document;
    LoadProfile(document, "[New]\nk=v\n");
    EXPECT_EQ(WriteProfile(document, PathOf(path)), StatusIoError) << readOnly;
    CloseHandle(holder);
    EXPECT_EQ(ReadTextFile(path), oldText) << readOnly;
    EXPECT_EQ((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, readOnly);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"held.ini"}) << readOnly;
  }
}

TEST(ProfileFileTest, MissingFolderGivesIoErrorAndMakesNothing) {
  TempFolder folder;
  ProfileDocument document;
  LoadProfile(document, "[A]\nk=v\n");
  EXPECT_EQ(WriteProfile(document, PathOf(folder / "no such folder\\p.ini")), StatusIoError);
  EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

TEST(ProfileFileTest, FolderInTheWayIsNotReplaced) {
  TempFolder folder;
  ASSERT_TRUE(MakeFolders(folder / "p.ini"));
  ASSERT_TRUE(WriteTextFile(folder / "p.ini\\inside.txt", "x"));
  ProfileDocument document;
  LoadProfile(document, "[A]\nk=v\n");
  EXPECT_EQ(WriteProfile(document, PathOf(folder / "p.ini")), StatusIoError);
  EXPECT_EQ(ReadTextFile(folder / "p.ini\\inside.txt"), "x");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"p.ini"});
}

TEST(ProfileFileTest, WrittenFileReadsBackAlike) {
  TempFolder folder;
  ProfileDocument document;
  LoadProfile(document, "[S]\nsite=a\nsite=b\n[S]\nx = y  \n[ spaced ]\n=v\n");
  ASSERT_EQ(WriteProfile(document, PathOf(folder / "p.ini")), StatusOk);
  ProfileDocument reread;
  EXPECT_EQ(ReadProfile(reread, PathOf(folder / "p.ini")), StatusOk);
  EXPECT_EQ(DumpProfile(reread), DumpProfile(document));
}

// A volume too small for the new text: the script that mounts it (a 1 MiB
// tmpfs shown to Wine as a drive letter, scripts/small-volume.sh) names its
// root in PROFILE_FULL_VOLUME. Without it the test has nothing to work on.
TEST(ProfileFileFullVolumeTest, TextThatDoesNotFitLeavesTheOldFile) {
  const char* root = getenv("PROFILE_FULL_VOLUME");
  if (!root || !*root) GTEST_SKIP() << "PROFILE_FULL_VOLUME names no small volume";
  const std::string folder = std::string(root) + "profiles";
  RemovePath(folder);
  ASSERT_TRUE(MakeFolders(folder)) << folder;
  const std::string path = folder + "\\QuillframeConfig.ini";
  ASSERT_TRUE(WriteTextFile(path, oldText));

  ProfileDocument document;
  LoadLarge(document, 3 * 1024 * 1024);
  EXPECT_EQ(WriteProfile(document, PathOf(path)), StatusIoError);
  EXPECT_EQ(ReadTextFile(path), oldText);
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"QuillframeConfig.ini"});

  // What fits is written as usual.
  LoadProfile(document, "[Small]\nk=v\n");
  EXPECT_EQ(WriteProfile(document, PathOf(path)), StatusOk);
  EXPECT_EQ(ReadTextFile(path), "[Small]\r\nk = v\r\n\r\n");
  RemovePath(folder);
}

// A run that describes its changes ("/whatif") writes, replaces and removes
// nothing on the disk; its own reads see the files as the notes leave them.
TEST(ProfileFileTest, ARunThatDescribesItsChangesWritesNothing) {
  TempFolder folder;
  const std::string existing = folder / "existing.ini";
  ASSERT_TRUE(WriteTextFile(existing, "\xEF\xBB\xBF[A]\r\nx = 1\r\n"));
  ASSERT_TRUE(WriteTextFile(folder / "Cache\\a.bin", "a"));
  const std::vector<std::string> before = TreeContents(folder.Path());
  ForgetDescribedChanges();
  DescribeChanges(true);

  ProfileDocument made;
  LoadProfile(made, "[New]\r\ny = 2\r\n");
  EXPECT_EQ(WriteProfile(made, PathOf(folder / "new.ini")), StatusOk);
  EXPECT_TRUE(PathOf(folder / "new.ini").Exists());
  ProfileDocument read;
  EXPECT_EQ(ReadProfile(read, PathOf(folder / "new.ini")), StatusOk);
  EXPECT_EQ(DumpProfile(read), DumpProfile(made));

  EXPECT_EQ(EditProfileFile(PathOf(existing), [](std::string& text) {
              text += "z = 3\r\n";
              return true;
            }),
            StatusOk);
  ProfileDocument edited;
  EXPECT_EQ(ReadProfile(edited, PathOf(existing)), StatusOk);
  EXPECT_TRUE(edited.utf8ByteOrderMark) << "the mark is kept in the noted text too";
  EXPECT_EQ(DumpProfile(edited), "[A]<x=1><z=3>");

  EXPECT_EQ(FileStream(PathOf(existing)).Delete(), StatusOk);
  EXPECT_FALSE(PathOf(existing).Exists());
  ProfileDocument gone;
  EXPECT_EQ(ReadProfile(gone, PathOf(existing)), StatusOpenFailed);

  EXPECT_EQ(RemoveTree(PathOf(folder / "Cache\\"), true, true), StatusOk);
  EXPECT_FALSE(PathOf(folder / "Cache").IsFolder());
  EXPECT_FALSE(FolderIsEmpty(PathOf(folder / "Cache"))) << "a folder that would be gone is no empty folder";

  DescribeChanges(false);
  ForgetDescribedChanges();
  EXPECT_EQ(TreeContents(folder.Path()), before) << "nothing on the disk changed";
  EXPECT_EQ(ReadTextFile(existing), "\xEF\xBB\xBF[A]\r\nx = 1\r\n");
}

}  // namespace
