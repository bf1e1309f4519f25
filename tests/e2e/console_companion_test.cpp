// ControlPanel.com, the console companion, started as cmd starts it: it runs
// ControlPanel.exe from its own folder with the same command line, waits for
// it (also while its window is open) and ends with its exit code; it never
// runs a ControlPanel.exe of the current folder or the PATH; and the program
// outlives it, so that a closed console never cuts a change in half.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/core/platform_win32.h"
#include "installation/settings_lock.h"
#include "support/control_panel_copy_win32.h"
#include "support/fixtures_win32.h"
#include "support/folder_files_win32.h"
#include "support/panel_window_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/temp_folder_win32.h"
#include "support/test_desktop_win32.h"
#include "support/toolkit_windows_win32.h"

namespace {

constexpr char CompanionName[] = "ControlPanel.com";
constexpr char MainWindowTitle[] = "Corvalent Control Panel 3.0.6.0";
// What the installer stand-in writes: the command line it got after its name.
constexpr char StandInLog[] = "QLXFullInstall.log";

std::string CompanionOfThisBuild() { return ThisProgramFolder() + "\\" + CompanionName; }

// Sets an environment variable of this process, and so of the programs it
// starts, for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    char old[8192];
    const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length > 0 && length < sizeof old;
    if (had_) old_.assign(old, length);
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// The program and its companion, copied into a folder of their own.
class CompanionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(copy.Ready());
    ASSERT_TRUE(CopyFileA(CompanionOfThisBuild().c_str(), copy.Beside(CompanionName).c_str(), FALSE));
  }
  std::string Companion() const { return copy.Beside(CompanionName); }

  Watchdog watchdog{120000};
  ControlPanelCopy copy;
};

// The program's result codes come through whole, with its output on the
// companion's standard output and error.
TEST_F(CompanionTest, PassesOnOutputErrorsAndTheFullExitCode) {
  const struct {
    const char* arguments;
    const char* output;
    int32_t exitCode;
  } cases[] = {{"-v", "-2\n", -2},
               {"-v C:\\no-such-list.txt", "-1\n", -1},  // no player here
               {"/quiet /bogus", "-1639\n", -1639},
               {"-lu", "0\n", 0}};
  for (const auto& c : cases) {
    ProgramRun run = RunProgram(Companion(), c.arguments);
    ASSERT_TRUE(run.started) << c.arguments;
    EXPECT_TRUE(run.ended) << c.arguments;
    EXPECT_EQ(WithoutCarriageReturns(run.output), c.output) << c.arguments;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
  }
  ProgramRun refused = RunProgram(Companion(), "/quiet /bogus");
  EXPECT_NE(refused.errors.find("\"/bogus\" is not an option"), std::string::npos) << refused.errors;
}

// The program gets the companion's command line after its name exactly:
// quotes, blanks and all. A stand-in that writes what it got lies beside
// the companion in place of the program.
TEST_F(CompanionTest, HandsTheCommandLineOnAsGiven) {
  TempFolder folder;
  ASSERT_TRUE(CopyFileA(CompanionOfThisBuild().c_str(), (folder / CompanionName).c_str(), FALSE));
  ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", folder / "ControlPanel.exe"));
  for (const char* arguments : {"-v \"C:\\a folder\\list.txt\"  -cu+", "/log \"x y.log\" -ds+ \"\" -u", "-ip",
                                "\"\"", "-lu 12345\t/quiet"}) {
    DeleteFileA((folder / StandInLog).c_str());
    ProgramRun run = RunProgram(folder / CompanionName, arguments);
    ASSERT_TRUE(run.started) << arguments;
    EXPECT_EQ(run.exitCode, 0) << arguments;
    EXPECT_EQ(ReadTextFile(folder / StandInLog), arguments) << arguments;
  }
}

// A ControlPanel.exe in the current folder or on the PATH is never run; the
// one beside the companion is.
TEST_F(CompanionTest, RunsOnlyTheProgramBesideIt) {
  TempFolder current;
  TempFolder onPath;
  ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", current / "ControlPanel.exe"));
  ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", onPath / "ControlPanel.exe"));
  char path[8192] = "";
  GetEnvironmentVariableA("PATH", path, sizeof path);
  ScopedVariable searched("PATH", onPath.Path() + ";" + current.Path() + ";" + path);
  ProgramRun run = RunProgram(Companion(), "-v", current.Path());
  ASSERT_TRUE(run.started);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "-2\n");
  EXPECT_EQ(run.exitCode, -2);
  EXPECT_FALSE(PathExists(current / StandInLog)) << "the current folder's ControlPanel.exe ran";
  EXPECT_FALSE(PathExists(onPath / StandInLog)) << "the PATH's ControlPanel.exe ran";
}

// Without the program beside it, the companion says so and ends with the
// system's error as an HRESULT, a code no option gives.
TEST_F(CompanionTest, SaysWhenTheProgramIsNotBesideIt) {
  TempFolder alone;
  ASSERT_TRUE(CopyFileA(CompanionOfThisBuild().c_str(), (alone / CompanionName).c_str(), FALSE));
  ProgramRun run = RunProgram(alone / CompanionName, "-ip");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "");
  EXPECT_NE(run.errors.find("ControlPanel: cannot start"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("ControlPanel.exe"), std::string::npos) << run.errors;
  EXPECT_EQ(run.exitCode, static_cast<int32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
}

// The companion started on the test desktop with its output on a pipe;
// ended when the test is done.
class StartedCompanion {
 public:
  StartedCompanion(const std::string& companion, const std::string& arguments) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    output_ = readEnd;
    char desktop[sizeof TestDesktopName];
    lstrcpyA(desktop, TestDesktopName);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;  // the program's window opens there too
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::string commandLine = "\"" + companion + "\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(companion.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      process_ = process.hProcess;
      processId_ = process.dwProcessId;
    }
    CloseHandle(writeEnd);
  }
  ~StartedCompanion() {
    if (process_) {
      if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      CloseHandle(process_);
    }
    if (output_) CloseHandle(output_);
  }
  StartedCompanion(const StartedCompanion&) = delete;
  StartedCompanion& operator=(const StartedCompanion&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Ends the companion as the system does once the console's close handlers
  // have run; true when it is gone.
  bool EndAsAClosedConsoleDoes() {
    return TerminateProcess(process_, static_cast<UINT>(STATUS_CONTROL_C_EXIT)) &&
           WaitForSingleObject(process_, 30000) == WAIT_OBJECT_0;
  }
  DWORD ProcessId() const { return processId_; }
  bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  bool WaitForExit(int32_t* exitCode) {
    if (WaitForSingleObject(process_, 30000) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    *exitCode = static_cast<int32_t>(code);
    return true;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HANDLE output_ = nullptr;
};

// The process that started process, or 0.
DWORD ParentOf(DWORD process) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == process) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent;
}

// The process of ControlPanel.exe that parent started, or 0.
DWORD ProgramStartedBy(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD program = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent && lstrcmpiA(entry.szExeFile, "ControlPanel.exe") == 0)
      program = entry.th32ProcessID;
  CloseHandle(snapshot);
  return program;
}

// The main window of the program that the companion started.
HWND MainWindowOf(DWORD companionId) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = nullptr;
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, nullptr, MainWindowTitle)) != nullptr) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (ParentOf(owner) == companionId && IsWindowVisible(window)) found = window;
        }
        return found != nullptr;
      },
      20000);
  return found;
}

// Window mode through the companion: the window opens, the companion waits
// while it is open (cmd's prompt does not come back), and it ends with the
// program's 0 once the window is closed.
TEST_F(CompanionTest, WaitsForTheWindow) {
  ASSERT_TRUE(EnterTestDesktop());
  StartedCompanion companion(Companion(), "");
  ASSERT_TRUE(companion.Started());
  HWND window = MainWindowOf(companion.ProcessId());
  ASSERT_NE(window, nullptr) << "no main window";
  EXPECT_TRUE(companion.Running()) << "the companion did not wait for the window";
  ASSERT_TRUE(RequestClose(window));
  int32_t exitCode = -1;
  ASSERT_TRUE(companion.WaitForExit(&exitCode));
  EXPECT_EQ(exitCode, 0);
}

// The console window closed while the program waits to change a
// settings file: the system ends the companion, the program goes on alone
// and finishes its change, whole, as a run without the companion would.
TEST_F(CompanionTest, TheProgramFinishesItsChangeWhenTheCompanionIsEnded) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const std::string options = player.ComponentFolder() + "\\QuillframeConfig.ini";
  const std::string before = "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 5\r\n\r\n";
  const std::string after = "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\nLastUpdateCheckTime = 5\r\n\r\n";
  ASSERT_TRUE(WriteTextFile(options, before));
  TempFolder logs;
  const std::string log = logs / "cp.log";
  OwnedHandle program;
  {
    // Another run's change: the program waits for it, up to the lock's bound
    // (10 s), far longer than the steps below take.
    SettingsLock holder;
    ASSERT_TRUE(holder.Held());
    StartedCompanion companion(Companion(), "/quiet /log \"" + log + "\" -cu+");
    ASSERT_TRUE(companion.Started());
    DWORD programId = 0;
    ASSERT_TRUE(WaitUntil([&] { return (programId = ProgramStartedBy(companion.ProcessId())) != 0; }, 20000))
        << "the companion started no program";
    program.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, programId));
    ASSERT_TRUE(program.IsOpen());
    // The run has begun; its change waits for the lock the test holds.
    ASSERT_TRUE(WaitUntil([&] { return ReadTextFile(log).find("command line: ") != std::string::npos; }, 20000))
        << ReadTextFile(log);
    ASSERT_TRUE(companion.EndAsAClosedConsoleDoes());
    // The companion is gone in the middle of the run.
    EXPECT_EQ(WaitForSingleObject(program.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program ended with the companion";
    EXPECT_EQ(ReadTextFile(log).find("result code"), std::string::npos) << ReadTextFile(log);
    EXPECT_EQ(ReadTextFile(options), before);
  }
  // The lock is let go: the program, alone now, makes its change and ends.
  ASSERT_EQ(WaitForSingleObject(program.Get(), 30000), static_cast<DWORD>(WAIT_OBJECT_0))
      << "the program did not end by itself";
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(program.Get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ReadTextFile(options), after);
  EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QuillframeConfig.ini"});
  const std::string logText = ReadTextFile(log);
  const std::string lastLine = "] result code 0\r\n";
  ASSERT_GE(logText.size(), lastLine.size()) << logText;
  EXPECT_EQ(logText.substr(logText.size() - lastLine.size()), lastLine) << logText;
}

}  // namespace
