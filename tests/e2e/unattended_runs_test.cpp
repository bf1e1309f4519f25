// Unattended runs never wait for a person and never do what was not asked: a
// command line that uses a switch ("/quiet", "/log", "/status", "/?") is read
// strictly and refused whole, before anything runs, when a token is not a
// switch, an option or an option's argument, or when its log lies in what its
// options remove or rewrite. Command lines without switches keep reading
// options by substring.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "shell/command_line.h"
#include "support/box_watcher_win32.h"
#include "support/folder_files_win32.h"
#include "support/installed_player_test_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr uint32_t UnattendedTimeoutMs = 20000;  // far past what any of these runs needs
// The code of a refused command line, as installers and scripts test for it.
constexpr int32_t RefusalCode = -1639;

const std::string ConfigText = "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 7\r\n";
const std::string SitesText = "[Download Sites]\r\nsite = https://a.example/\r\n";

class UnattendedRuns : public InstalledPlayerTest {
 protected:
  void SetUp() override {
    InstalledPlayerTest::SetUp();
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), ConfigText));
    ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), SitesText));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[Fragments]\r\n"));
    ASSERT_TRUE(WriteTextFile(application / "Setup.txt", "the maker's files"));
    ASSERT_TRUE(player.SetApplicationPath(application.Path()));
  }

  // Every file and folder of the player and the maker with its bytes, and
  // the player's registry values: what a refused run must leave as it was.
  std::string State() const {
    std::string state;
    for (const std::string& folder : {player.Root().Path(), application.Path(), work.Path(), logs.Path()})
      for (const std::string& path : TreeContents(folder)) state += path + "\n" + ReadTextFile(path) + "\n";
    bool found = false;
    state += "key " + std::to_string(MachineKeyExists(PlayerKeyPath)) + "\n";
    state += MachineString(PlayerKeyPath, "Component Path", &found) + std::to_string(found) + "\n";
    state += MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found) + std::to_string(found) + "\n";
    return state;
  }

  TempFolder application;
  TempFolder work;  // the runs' current folder
  TempFolder logs;
};

// Each line an administrator may get wrong is refused before anything runs:
// one line on standard error that names the token and points to "/?", the
// refusal code, no box, no window, nothing changed, and the run ends by
// itself.
TEST_F(UnattendedRuns, MistakenCommandLinesAreRefusedBeforeAnythingRuns) {
  const std::string folder = player.ComponentFolder();
  std::string upperFolder = folder;
  std::transform(upperFolder.begin(), upperFolder.end(), upperFolder.begin(), ::toupper);
  std::string slashed = folder;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  char shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(folder.c_str(), shortName, MAX_PATH), 0u);
  const struct {
    std::string arguments;
    std::string named;  // what the line on standard error names
  } cases[] = {
      // A log path with a blank, not quoted: its second half holds "-u".
      {"/quiet /log " + logs.Path() + "\\IT logs\\cp-update.log -cu+", "\"logs\\cp-update.log\""},
      {"/quiet -cu+ logs\\run-u.txt", "\"logs\\run-u.txt\""},
      // "/log" without its file: never a log named "-cu+", never the window.
      {"/log -cu+", "\"-cu+\""},
      {"/log /status", "\"/status\""},
      {"-u /log", "\"/log\" names no file"},
      // A switch the program does not know.
      {"/quiet -dsd /bogus", "\"/bogus\""},
      {"/quiet -u /S", "\"/S\""},
      {"/quiet --cu+", "\"--cu+\""},
      // A log inside what the options remove or rewrite, however it is written.
      {"/quiet /log \"" + folder + "\\cp.log\" -u", "the component folder"},
      {"/quiet /log \"" + upperFolder + "\\Components\\..\\cp.log\" -rcvr", "the component folder"},
      {"/quiet /log \"" + std::string(shortName) + "\\cp.log\" -u", "the component folder"},
      {"/quiet /log \"" + slashed + "/Resources/cp.log\" -dr", "the resource cache"},
      {"/log \"" + folder + "\\QuillframeConfig.ini\" -cu", "the settings file"},
      {"/log \"" + slashed + "/qfxdownloadsites.TXT\" -ds+ https://b.example/", "the settings file"},
      {"/log \"" + folder + "\\~pf0BADF00D.tmp\" -lu 5", "the temporary files"},
      {"/quiet /log \"" + application.Path() + "\\cp.log\" -rcvr", "the application folder"},
      // Window mode: the log may not lie where any of the window's commands writes.
      {"/log \"" + folder + "\\cp.log\"", "the component folder \"" + folder + "\", which the window's commands"},
      // The program's own settings file beside it, written by every run.
      {"/quiet /log \"" + ThisProgramFolder() + "\\controlpanelv306.INI\" -cu", "the program's settings file"},
  };
  const std::string before = State();
  for (const auto& c : cases) {
    ProgramRun run = RunProgram(ControlPanelProgram(), c.arguments, work.Path(), UnattendedTimeoutMs);
    ASSERT_TRUE(run.started) << c.arguments;
    EXPECT_TRUE(run.ended) << c.arguments << ": it waited for a person";
    EXPECT_EQ(run.exitCode, RefusalCode) << c.arguments;
    EXPECT_EQ(WithoutCarriageReturns(run.output), "-1639\n") << c.arguments;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << c.arguments << ": " << run.errors;
    EXPECT_NE(run.errors.find(c.named), std::string::npos) << c.arguments << ": " << run.errors;
    EXPECT_NE(run.errors.find("/?"), std::string::npos) << run.errors;
    EXPECT_EQ(State(), before) << c.arguments;
  }
  // A relative log is the file in the run's current folder, here the
  // component folder that "-u" removes.
  const ProgramRun relative = RunProgram(ControlPanelProgram(), "/quiet /log cp.log -u", folder, UnattendedTimeoutMs);
  EXPECT_EQ(relative.exitCode, RefusalCode) << relative.errors;
  EXPECT_NE(relative.errors.find("the component folder"), std::string::npos) << relative.errors;
  EXPECT_EQ(State(), before);
}

// Without a switch the options are found by substring as installers have
// always called them, and a switch of their own has no effect.
TEST_F(UnattendedRuns, CommandLinesWithoutSwitchesKeepTheirMeaning) {
  ProgramRun run = RunProgram(ControlPanelProgram(), "--cu+", work.Path(), UnattendedTimeoutMs);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_NE(ReadTextFile(Component("QuillframeConfig.ini")).find("CheckForUpdates = 1"), std::string::npos);
  run = RunProgram(ControlPanelProgram(), "abc-dsd", work.Path(), UnattendedTimeoutMs);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_FALSE(PathExists(Component("QFXDownloadSites.txt")));
  run = RunProgram(ControlPanelProgram(), "-u /S", work.Path(), UnattendedTimeoutMs);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  // "-h", "--help" and "-?" alone print the usage text and run nothing.
  const std::string beforeHelp = State();
  for (const char* arguments : {"-h", "--help", "-?"}) {
    run = RunProgram(ControlPanelProgram(), arguments, work.Path(), UnattendedTimeoutMs);
    EXPECT_EQ(run.exitCode, 0) << arguments;
    EXPECT_NE(run.output.find("-1639"), std::string::npos) << arguments;
    EXPECT_EQ(State(), beforeHelp) << arguments;
  }
  EXPECT_TRUE(FilesIn(work.Path()).empty());
}

// "-rcvr" whose installer is missing: no box of the shell or of the program
// under "/quiet"; the program says why on standard error and in the log, and
// ends with the code of a failed start.
TEST_F(UnattendedRuns, AQuietRecoveryWithoutTheInstallerEndsAndSaysWhy) {
  const std::string log = logs / "rcvr.log";
  const std::string installer = application / "QLXFullInstall.exe";
  BoxWatcher watcher;
  ProgramRun run = RunProgram(ControlPanelProgram(), "/quiet /log " + log + " -rcvr", work.Path(), UnattendedTimeoutMs);
  EXPECT_TRUE(watcher.Stop().empty()) << "no box";
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
  EXPECT_EQ(run.errors.rfind("Reinstall Failure: Could not start the installer", 0), 0u) << run.errors;
  EXPECT_NE(run.errors.find(installer), std::string::npos) << run.errors;
  const std::string logText = ReadTextFile(log);
  EXPECT_NE(logText.find("could not start the installer \"" + installer + "\" -s: "), std::string::npos) << logText;
  EXPECT_NE(logText.find("result code 0"), std::string::npos) << logText;
}

// "/status" that cannot write its document says why and ends with 1.
TEST_F(UnattendedRuns, AStatusThatCannotBeWrittenSaysWhy) {
  ProgramRun run = RunProgramWithClosedOutput(ControlPanelProgram(), "/status");
  ASSERT_TRUE(run.started);
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.errors.rfind("ControlPanel: the status document could not be written to standard output: ", 0), 0u)
      << run.errors;
  EXPECT_NE(run.errors.find("(error "), std::string::npos) << run.errors;
}

// The last write time of the file at path; 0 when it cannot be read.
uint64_t LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Puts the last write time of the file at path far in the past, so that any
// write shows.
bool MakeOld(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME when = {2001, 1, 1, 1, 12, 0, 0, 0};
  FILETIME old;
  const bool set = SystemTimeToFileTime(&when, &old) && SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
  return set;
}

uint64_t PlayerKeyWriteTime() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PlayerKeyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return 0;
  FILETIME written = {};
  const LONG read = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, &written);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime : 0;
}

// An edit that would write what the file already holds leaves it untouched,
// time stamp included, and succeeds as before.
TEST_F(UnattendedRuns, EditsThatChangeNothingWriteNothing) {
  const struct {
    std::string arguments;
    std::string file;
  } cases[] = {
      {"-cu", Component("QuillframeConfig.ini")},  // CheckForUpdates is 0 already
      {"-lu 7", Component("QuillframeConfig.ini")},
      {"/quiet -cu -lu 7", Component("QuillframeConfig.ini")},
      {"-ds+ https://a.example/", Component("QFXDownloadSites.txt")},  // the first site already
  };
  for (const auto& c : cases) {
    const std::string bytes = ReadTextFile(c.file);
    ASSERT_TRUE(MakeOld(c.file));
    const uint64_t before = LastWriteTime(c.file);
    ProgramRun run = RunProgram(ControlPanelProgram(), c.arguments, work.Path(), UnattendedTimeoutMs);
    EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n") << c.arguments;
    EXPECT_EQ(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(ReadTextFile(c.file), bytes) << c.arguments;
    EXPECT_EQ(LastWriteTime(c.file), before) << c.arguments << ": the file was written";
  }
  // "-cu+" changes it once; run again, it writes nothing more.
  ASSERT_EQ(WithoutCarriageReturns(RunProgram(ControlPanelProgram(), "-cu+", work.Path()).output), "0\n");
  ASSERT_TRUE(MakeOld(Component("QuillframeConfig.ini")));
  const uint64_t changed = LastWriteTime(Component("QuillframeConfig.ini"));
  EXPECT_EQ(WithoutCarriageReturns(RunProgram(ControlPanelProgram(), "-cu+", work.Path()).output), "0\n");
  EXPECT_EQ(LastWriteTime(Component("QuillframeConfig.ini")), changed);
  // The beta value already set is not set again: the key keeps its time.
  ASSERT_EQ(WithoutCarriageReturns(RunProgram(ControlPanelProgram(), "-r+", work.Path()).output), "0\n");
  const uint64_t keyWritten = PlayerKeyWriteTime();
  ASSERT_NE(keyWritten, 0u);
  EXPECT_EQ(WithoutCarriageReturns(RunProgram(ControlPanelProgram(), "-r+", work.Path()).output), "0\n");
  EXPECT_EQ(PlayerKeyWriteTime(), keyWritten);
}

}  // namespace
