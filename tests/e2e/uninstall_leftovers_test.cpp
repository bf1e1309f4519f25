// What the uninstall and the cache removal leave, and why: every name is
// seen (names outside the ANSI code page, paths past 256 characters), what
// cannot be seen counts as content (a folder that cannot be listed stays, the
// rest goes), a player installed straight into a
// shared folder or a drive root uninstalls while that folder stays, every
// user's profile folders and the native program folders are protected, and
// a failed uninstall can be run again.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/links_win32.h"
#include "support/navigator_keys_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Writes bytes to the file at path (a wide path, "\\?\" forms allowed),
// making its folders.
bool WriteWideFile(const std::wstring& path, const std::string& bytes) {
  for (size_t at = path.find(L'\\', 7); at != std::wstring::npos; at = path.find(L'\\', at + 1))
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool WideExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Names no ANSI code page of this system holds together.
const wchar_t* const ForeignNames[] = {L"\u03A9mega", L"\u65E5\u672C"};

TEST(UninstallLeftovers, NamesOutsideTheCodePageDoNotBlockTheCacheRemoval) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const std::wstring resources = Wide(player.ComponentFolder() + "\\Resources");
  for (const wchar_t* name : ForeignNames) ASSERT_TRUE(WriteWideFile(resources + L"\\" + name + L"\\cache.bin", "c"));
  ASSERT_TRUE(WriteTextFile(player.ComponentFolder() + "\\Resources\\plain.txt", "p"));
  ProgramRun run = RunPanel("-dr");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_FALSE(WideExists(resources));
}

TEST(UninstallLeftovers, NamesOutsideTheCodePageDoNotBlockTheUninstall) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  for (const wchar_t* name : ForeignNames)
    ASSERT_TRUE(WriteWideFile(Wide(player.ComponentFolder()) + L"\\" + name + L"\\" + name + L".txt", "x"));
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
}

TEST(UninstallLeftovers, AnotherProductsFilesInTheRootAreSeenWhateverTheirNames) {
  // The install root holds only another product's file, under a name outside
  // the code page, or so deep that its path passes 256 characters: it stays.
  const std::wstring deepName = L"Other\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'f') + L".dat";
  const std::vector<std::wstring> others = {std::wstring(ForeignNames[0]) + L"\\notes.txt", deepName};
  for (const std::wstring& other : others) {
    PlayerInstallation player;
    ASSERT_TRUE(player.Install());
    const std::wstring path = L"\\\\?\\" + Wide(player.Root().Path()) + L"\\" + other;
    if (other == deepName) ASSERT_GT(path.size() - 4, 256u);
    ASSERT_TRUE(WriteWideFile(path, "theirs"));
    ProgramRun run = RunPanel("-u");
    EXPECT_EQ(run.output, "0\n");
    EXPECT_FALSE(PathExists(player.ComponentFolder()));
    EXPECT_TRUE(WideExists(path)) << "another product's file";
    DeleteFileW(path.c_str());
  }
}

// With and without a Netscape plug-ins folder: the walk of Netscape's keys
// removes the plug-in files only, so the player's key still names what is
// left, and a second run finishes the job.
TEST(UninstallLeftovers, AFailedUninstallCanBeRunAgain) {
  for (const bool netscape : {false, true}) {
    SCOPED_TRACE(netscape ? "with a Netscape plug-ins folder" : "without Netscape");
    PlayerInstallation player;
    NavigatorKeys navigator;
    ASSERT_TRUE(player.Install());
    const std::string plugins = player.Root() / "Plugins";
    if (netscape) {
      ASSERT_TRUE(WriteTextFile(plugins + "\\NPQuillframe3.dll", "plug-in"));
      ASSERT_TRUE(navigator.Install("4.7", plugins));
    }
    const std::string settings = player.ComponentFolder() + "\\QuillframeConfig.ini";
    ASSERT_TRUE(WriteTextFile(settings, "[ComponentMgrOptions]\r\n"));
    TempFolder logs;
    const std::string log = logs / "cp.log";
    {
      HeldFile held(settings, 0);  // the player is running
      ASSERT_TRUE(held.IsOpen());
      ProgramRun run = RunPanel("/log \"" + log + "\" -u");
      EXPECT_EQ(run.output, "-1\n");
      bool found = false;
      EXPECT_EQ(MachineString(PlayerKeyPath, ComponentPathValueName, &found), player.ComponentFolder());
      EXPECT_TRUE(found) << "the key that names what is left stays";
      EXPECT_TRUE(MachineKeyExists(TechnologyKeyPath));
      EXPECT_EQ(ReadTextFile(log).find("removed registry key"), std::string::npos) << ReadTextFile(log);
      EXPECT_NE(ReadTextFile(log).find("kept the player's registry keys"), std::string::npos);
      EXPECT_FALSE(PathExists(plugins + "\\NPQuillframe3.dll"));
      run = RunPanel("-ip");
      EXPECT_EQ(run.output, "\"" + player.ComponentFolder() + "\"");
    }
    ProgramRun run = RunPanel("-u");
    EXPECT_EQ(run.output, "0\n");
    EXPECT_FALSE(PathExists(player.ComponentFolder()));
    EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  }
}

// A folder that cannot be listed (another program holds it open and shares
// nothing): what it holds was never seen, so it stays, with the folders
// above it; everything else goes, the code is the option's failure, the log
// names the folder and why, and "/whatif" foretells the code. Once the folder
// is free, the uninstall is run again.
TEST(UninstallLeftovers, AFolderThatCannotBeListedStaysAndTheRestGoes) {
  const struct {
    std::string option;
    std::string tree;  // below the component folder: the tree the option removes
    std::string output;
  } cases[] = {
      {"-dr", "\\Resources", "0\n"},
      {"-u", "", "-1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    PlayerInstallation player;
    ASSERT_TRUE(player.Install());
    const std::string tree = player.ComponentFolder() + c.tree;
    const std::string locked = tree + "\\Outer\\Locked";
    ASSERT_TRUE(WriteTextFile(locked + "\\inside.bin", "inside"));
    ASSERT_TRUE(WriteTextFile(tree + "\\Outer\\beside.txt", "beside"));
    ASSERT_TRUE(WriteTextFile(tree + "\\Media\\clip.bin", "clip"));
    ASSERT_TRUE(WriteTextFile(tree + "\\list.txt", "list"));
    TempFolder logs;
    const std::string log = logs / "cp.log";
    {
      HeldFile held(locked, 0);
      ASSERT_TRUE(held.IsOpen());
      ProgramRun described = RunPanel("/whatif " + c.option);
      ProgramRun run = RunPanel("/log \"" + log + "\" " + c.option);
      EXPECT_EQ(run.output, c.output);
      EXPECT_EQ(described.exitCode, run.exitCode) << "/whatif foretells the code";
      for (const char* gone : {"\\Outer\\beside.txt", "\\Media", "\\list.txt"})
        EXPECT_FALSE(PathExists(tree + gone)) << gone;
      const std::string logText = ReadTextFile(log);
      EXPECT_NE(logText.find("kept folder \"" + locked + "\": its contents cannot be listed (in use by another program)"),
                std::string::npos)
          << logText;
      EXPECT_EQ(logText.find("holds a link"), std::string::npos) << logText;
    }
    EXPECT_EQ(ReadTextFile(locked + "\\inside.bin"), "inside");
    if (c.option == "-u") {
      EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << "the key that names what is left stays";
      EXPECT_EQ(RunPanel("-u").output, "0\n");
      EXPECT_FALSE(PathExists(player.ComponentFolder()));
    }
  }
}

TEST(UninstallLeftovers, APlayerInADriveRootOrASharedFolderUninstallsAndTheFolderStays) {
  PlayerInstallation player;
  TempFolder volume;
  ASSERT_TRUE(WriteTextFile(volume / "top.txt", "top"));
  DriveMapping drive(volume.Path());
  ASSERT_TRUE(drive.Mapped());
  char programFiles[MAX_PATH], commonAppData[MAX_PATH], appData[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles), S_OK);
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, commonAppData), S_OK);
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
  for (const std::string& folder : {drive.Root() + "Quillframe3", std::string(programFiles) + "\\CpanelTestPlayer",
                                    std::string(commonAppData) + "\\CpanelTestPlayer",
                                    std::string(appData) + "\\CpanelTestPlayer"}) {
    ASSERT_TRUE(WriteTextFile(folder + "\\QuillframeConfig.ini", "[ComponentMgrOptions]\r\n"));
    const std::string root = folder.substr(0, folder.find_last_of('\\'));
    const std::vector<std::string> rootBefore = FilesIn(root.size() == 2 ? root + "\\" : root);
    ASSERT_TRUE(player.SetComponentPath(folder));
    ProgramRun run = RunPanel("-u");
    EXPECT_EQ(run.output, "0\n") << folder;
    EXPECT_FALSE(PathExists(folder)) << folder;
    EXPECT_TRUE(PathExists(root + "\\")) << folder;
    std::vector<std::string> rootAfter = FilesIn(root.size() == 2 ? root + "\\" : root);
    rootAfter.push_back(folder.substr(folder.find_last_of('\\') + 1));
    std::sort(rootAfter.begin(), rootAfter.end());
    EXPECT_EQ(rootAfter, rootBefore) << folder;
    EXPECT_FALSE(MachineKeyExists(PlayerKeyPath)) << folder;
    RemovePath(folder);
  }
  EXPECT_EQ(ReadTextFile(volume / "top.txt"), "top");
}

TEST(UninstallLeftovers, EveryUsersProfileAndTheNativeProgramFoldersAreProtected) {
  char profile[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile), S_OK);
  std::string profiles(profile);
  profiles = profiles.substr(0, profiles.find_last_of('\\'));
  const std::string other = profiles + "\\CpanelOtherUser";
  // The native "Program Files\Common Files" of a 64-bit system, which a
  // 32-bit program learns only from the environment; the child inherits it.
  TempFolder nativeCommon;
  ASSERT_TRUE(SetEnvironmentVariableA("CommonProgramW6432", nativeCommon.Path().c_str()));
  struct Cleanup {
    std::string folder;
    ~Cleanup() {
      RemovePath(folder);
      SetEnvironmentVariableA("CommonProgramW6432", nullptr);
    }
  } cleanup{other};
  const std::vector<std::string> folders = {other,
                                            other + "\\Documents",
                                            other + "\\Desktop",
                                            other + "\\AppData",
                                            other + "\\AppData\\Roaming",
                                            other + "\\AppData\\Local",
                                            nativeCommon.Path()};
  for (const std::string& folder : folders) ASSERT_TRUE(WriteTextFile(folder + "\\keep.txt", "keep"));
  PlayerInstallation player;
  for (const std::string& folder : folders) {
    ASSERT_TRUE(player.SetComponentPath(folder));
    ProgramRun run = RunPanel("-u");
    EXPECT_EQ(run.output, "-1\n") << folder;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << folder;
  }
  for (const std::string& folder : folders) EXPECT_EQ(ReadTextFile(folder + "\\keep.txt"), "keep") << folder;
  // A program's own folder inside another user's application data may go.
  ASSERT_TRUE(WriteTextFile(other + "\\AppData\\Roaming\\Player\\QuillframeConfig.ini", "[x]\r\n"));
  ASSERT_TRUE(player.SetComponentPath(other + "\\AppData\\Roaming\\Player"));
  EXPECT_EQ(RunPanel("-u").output, "0\n");
  EXPECT_FALSE(PathExists(other + "\\AppData\\Roaming\\Player"));
  EXPECT_TRUE(PathExists(other + "\\AppData\\Roaming\\keep.txt"));
}

}  // namespace
