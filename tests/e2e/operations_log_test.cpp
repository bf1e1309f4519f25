// "/log FILE": what a run changed, refused and showed, and its result, one
// UTF-8 line per event with the local time and the process id, appended to a
// file that several runs may share; a log that cannot be written changes
// nothing of the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "shell/command_line.h"
#include "shell/main_window_win32.h"
#include "support/box_watcher_win32.h"
#include "support/fixtures_win32.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/installed_player_test_win32.h"
#include "support/operations_log_file_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

// Every expected event occurs in events, in this order (others may lie between).
void ExpectInOrder(const std::vector<std::string>& events, const std::vector<std::string>& expected) {
  size_t at = 0;
  for (const std::string& event : expected) {
    while (at < events.size() && events[at] != event) ++at;
    ASSERT_LT(at, events.size()) << "missing or out of order: " << event << "\nin:\n"
                                 << ::testing::PrintToString(events);
    ++at;
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// UTF-8 of a wide text, as the log writes names.
std::string Utf8(const std::wstring& text);

// UTF-8 of a text in the ANSI code page, as the log writes the program's texts.
std::string Utf8OfAnsi(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size()))));
  return Utf8(wide);
}

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 4, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                       &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

class OperationsLog : public InstalledPlayerTest {
 protected:
  TempFolder logs;
  std::string log = logs / "cp.log";
};

// The administrator's run: no box, the code of the table, and a log of what
// was removed, what was kept and why.
TEST_F(OperationsLog, AQuietUninstallSaysWhatWasRemovedAndWhatWasKept) {
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("AxQuillframe3.dll")));
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("AxQuillframeOld.dll")));
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/"));
  const std::wstring heldName = L"\u03A9mega.txt";  // outside the code page
  const std::string folder = player.ComponentFolder();
  const std::wstring heldPath = std::wstring(folder.begin(), folder.end()) + L"\\" + heldName;
  HANDLE held =
      CreateFileW(heldPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE) << GetLastError();  // the player is running
  BoxWatcher watcher;
  const std::string arguments = "/quiet /log " + log + " -u";
  ProgramRun run = RunPanel(arguments);
  EXPECT_TRUE(watcher.Stop().empty()) << "no box";
  CloseHandle(held);
  EXPECT_EQ(run.output, "-1\n");
  EXPECT_EQ(run.exitCode, -1);
  const std::string damaged = "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)";
  EXPECT_EQ(run.errors, "Uninstall Failure: Could not Load ActiveX Component.  (Please Exit Netscape and/or "
                        "Explorer)\n");
  const std::vector<LogLine> lines = ReadLog(log);
  ExpectInOrder(Events(lines),
                {"command line: " + arguments,
                 "registry value HKLM\\Software\\Quillframe\\Quillframe3 \"Additional Download URL\": "
                 "\"http://beta.example/\" -> (removed)",
                 "box \"Uninstall Failure\": Could not Load ActiveX Component.\\n (Please Exit Netscape and/or "
                 "Explorer)",
                 "could not remove folder " + Quoted(player.ComponentFolder()),
                 "kept " + Quoted(Utf8(heldPath)) + ": in use by another program",
                 "kept the player's registry keys: the component folder " + Quoted(player.ComponentFolder()) +
                     " is still there; run the uninstall again once its files are free",
                 "result code -1"});
  for (const std::string& library : {"AxQuillframe3.dll", "AxQuillframeOld.dll"}) {
    const std::string unregistered = "unregistered library " + Quoted(Component(library));
    const std::string notLoaded = "could not load library " + Quoted(Component(library));
    bool found = false;
    for (const LogLine& line : lines) found = found || line.event == unregistered || line.event == notLoaded;
    EXPECT_TRUE(found) << library;
  }
  std::set<unsigned long> processes;
  for (const LogLine& line : lines) processes.insert(line.processId);
  EXPECT_EQ(processes.size(), 1u);

  // Run again once the file is free: everything goes, and the log grows.
  run = RunPanel("/log " + log + " -u");
  EXPECT_EQ(run.output, "0\n");
  const std::vector<std::string> events = Events(ReadLog(log));
  EXPECT_EQ(events.front(), "command line: " + arguments) << "never truncated";
  ExpectInOrder(events, {"result code -1", "removed folder " + Quoted(player.ComponentFolder()),
                         "removed registry key HKLM\\Software\\Quillframe\\Quillframe3", "result code 0"});
}

TEST_F(OperationsLog, SitesAndSettingsWithTheirOldAndNewValues) {
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"),
                            "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 7\r\n"));
  ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), "[Download Sites]\r\nsite = https://old.example/\r\n"));
  // What an interrupted write left; the first writer clears it.
  ASSERT_TRUE(WriteTextFile(Component("~pf0BADF00D.tmp"), "[Download Sites]\r\nsite = htt"));
  // A log named in the code page but outside ASCII, in a folder that exists.
  const std::string named = logs / "journal-\xE9t\xE9.log";
  const std::string arguments = "/LOG \"" + named + "\" -ds+ https://new.example/ -cu+ -lu 99 -ds https://old.example/";
  ProgramRun run = RunPanel(arguments);
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.errors, "");
  const std::string sites = Quoted(Component("QFXDownloadSites.txt"));
  const std::string options = "settings " + Quoted(Component("QuillframeConfig.ini")) + " [ComponentMgrOptions] ";
  EXPECT_EQ(Events(ReadLog(named)),
            (std::vector<std::string>{"command line: " + Utf8OfAnsi(arguments),
                                      "removed the stale temporary file " + Quoted(Component("~pf0BADF00D.tmp")) +
                                          " of an interrupted write",
                                      "added site \"https://new.example/\" to " + sites,
                                      options + "CheckForUpdates: \"0\" -> \"1\"",
                                      options + "LastUpdateCheckTime: \"7\" -> \"99\"",
                                      "removed site \"https://old.example/\" from " + sites, "result code 0"}));
  EXPECT_EQ(ReadTextFile(Component("QFXDownloadSites.txt")), "[Download Sites]\r\nsite = https://new.example/\r\n")
      << "the file name was never read as an option";

  // The beta value set and removed, and the site list deleted, appended to
  // the same log.
  ASSERT_EQ(RunPanel("/log \"" + named + "\" -r+").output, "0\n");
  bool found = false;
  const std::string betaSite = MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found);
  ASSERT_TRUE(found);
  ASSERT_EQ(RunPanel("/log \"" + named + "\" -r -dsd").output, "0\n");
  const std::string beta = "registry value HKLM\\Software\\Quillframe\\Quillframe3 \"Additional Download URL\": ";
  ExpectInOrder(Events(ReadLog(named)), {"result code 0", beta + "(none) -> " + Quoted(betaSite), "result code 0",
                                         beta + Quoted(betaSite) + " -> (removed)", "removed file " + sites,
                                         "result code 0"});
}

// (A change that gives up waiting for the settings lock says so in the log:
// concurrent_changes_test, within the one wait of the lock's bound there.)
TEST_F(OperationsLog, RefusalsSayWhy) {
  const std::string longSite(TokenBufferBytes + 10, 's');
  EXPECT_EQ(RunPanel("/log " + log + " -ds+ " + longSite).output, "1\n");
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  ASSERT_TRUE(player.SetComponentPath(windows));
  EXPECT_EQ(RunPanel("/log " + log + " -u").output, "-1\n");
  ExpectInOrder(Events(ReadLog(log)),
                {"refused -ds+: its site is longer than 2047 characters, and cut it would name something else",
                 "result code 1",
                 "refused to uninstall from " + Quoted(windows) +
                     ": a protected folder (a drive root, the Windows folder or a shared folder); nothing was changed",
                 "result code -1"});
}

// A log that cannot be written is said once on standard error; the run is the
// same as without it.
TEST_F(OperationsLog, ALogThatCannotBeWrittenChangesNothingOfTheRun) {
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));
  const struct {
    std::string arguments;
    std::string named;  // what the line on standard error names
  } cases[] = {
      {"/log " + logs.Path() + " -cu+", Quoted(logs.Path())},  // a folder
      // Its missing folders would be made, but a file stands where one of
      // them goes.
      {"/log " + (logs / "inTheWay.txt\\missing\\cp.log") + " -cu+", Quoted(logs / "inTheWay.txt\\missing\\cp.log")},
      // Its folders are made, but no file can have its name: they are
      // taken away again.
      {"/log " + (logs / "made\\then\\cp<.log") + " -cu+", Quoted(logs / "made\\then\\cp<.log")},
  };
  ASSERT_TRUE(WriteTextFile(logs / "inTheWay.txt", "a file"));
  for (const auto& c : cases) {
    ProgramRun run = RunPanel(c.arguments);
    EXPECT_EQ(run.output, "0\n") << c.arguments;
    EXPECT_EQ(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << c.arguments << ": " << run.errors;
    EXPECT_NE(run.errors.find(c.named), std::string::npos) << run.errors;
    EXPECT_NE(ReadTextFile(Component("QuillframeConfig.ini")).find("CheckForUpdates = 1"), std::string::npos)
        << c.arguments;
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));
    EXPECT_EQ(FilesIn(logs.Path()), std::vector<std::string>{"inTheWay.txt"}) << c.arguments;
  }
}

// Runs that log to one file at the same time never mix within a line.
TEST_F(OperationsLog, RunsAtTheSameTimeKeepTheirLinesWhole) {
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"),
                            "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 0\r\n"));
  std::vector<std::string> runs;
  for (int i = 0; i < 8; ++i)
    runs.push_back("/log " + log + " -ds+ https://site" + std::to_string(i) + ".example/ -cu+ -cu -lu " +
                   std::string(200, static_cast<char>('a' + i)));
  for (const ProgramRun& run : RunProgramsTogether(ControlPanelProgram(), runs))
    EXPECT_EQ(run.exitCode, 0) << run.errors;
  const std::vector<LogLine> lines = ReadLog(log);
  if (HasFailure()) ADD_FAILURE() << ::testing::PrintToString(Events(lines));
  std::set<unsigned long> processes;
  int results = 0;
  for (const LogLine& line : lines) {
    processes.insert(line.processId);
    if (line.event == "result code 0") ++results;
  }
  EXPECT_EQ(processes.size(), runs.size());
  EXPECT_EQ(results, static_cast<int>(runs.size()));
  for (const std::string& arguments : runs) {
    bool found = false;
    for (const LogLine& line : lines) found = found || line.event == "command line: " + arguments;
    EXPECT_TRUE(found) << arguments;
  }
}

class OperationsLogWindow : public PanelWindowTest {};

// In window mode the log holds each command, with the boxes it showed.
TEST_F(OperationsLogWindow, HoldsEachCommandOfTheWindow) {
  ASSERT_TRUE(player.Install());
  TempFolder logs;
  const std::string log = logs / "window.log";
  HWND window = Open("/log " + log);
  ASSERT_NE(window, nullptr);
  ShowInstallPathAndClose(window);
  ExpectEndsWithZero();
  EXPECT_EQ(Events(ReadLog(log)),
            (std::vector<std::string>{"command line: /log " + log, "window opened",
                                      "made " + Quoted(copy.Beside("ControlPanelv306.ini")) +
                                          " with the built-in sites",
                                      "window command: \"Display QLX Install Path...\"",
                                      "box \"Install Path\": " + player.ComponentFolder(),
                                      "window command: \"Ok\"", "window closed; exit code 0"}));
}

}  // namespace
