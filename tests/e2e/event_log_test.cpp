// The runs' records in the Windows Event Log: one for each change, failed
// step and refusal of the operations log, in its words, and one for the
// run's result; one for a refused command line; none for a query, a
// description or "/noevents". Wine's Event Log keeps nothing, so the records
// are read from its trace of ReportEventW (support/event_log_trace_win32.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/log/event_messages.h"
#include "foundation/log/windows_event_log.h"
#include "installation/installation.h"
#include "shell/command_line.h"
#include "shell/main_window_win32.h"
#include "support/control_panel_copy_win32.h"
#include "support/event_log_trace_win32.h"
#include "support/fixtures_win32.h"
#include "support/held_file_win32.h"
#include "support/installed_player_test_win32.h"
#include "support/operations_log_file_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"
#include "support/unregister_log_win32.h"

namespace {

constexpr char SourceKeyPath[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Corvalent Control Panel";
// The Event Log's keys are the system's: the 64-bit view, the same in both.
constexpr REGSAM SystemView = KEY_WOW64_64KEY;

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }
bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct ExpectedRecord {
  DWORD id;
  WORD type;
  std::string text;
  unsigned long processId;
};

// The records a run's log lines give, by their words, as docs/unattended.md
// lists them: every change, failed step and refusal, and the result; the
// other lines are notes. A window's closing line is its result only when the
// window wrote a record before.
std::vector<ExpectedRecord> RecordsOfLog(const std::vector<LogLine>& lines) {
  std::vector<ExpectedRecord> records;
  bool failed = false;
  for (const LogLine& line : lines) {
    const std::string& event = line.event;
    DWORD id = 0;
    if (StartsWith(event, "could not register the program ") ||
        EndsWith(event, " (unchanged)") || StartsWith(event, "kept the install root ")) {
      id = 0;
    } else if (StartsWith(event, "result code ") ||
               (StartsWith(event, "window closed; exit code ") && !records.empty())) {
      id = EVENT_RUN_RESULT;
    } else if (StartsWith(event, "removed ") ||
               (StartsWith(event, "registry value ") && EndsWith(event, " -> (removed)"))) {
      id = EVENT_REMOVED;
    } else if (StartsWith(event, "registry value ") || StartsWith(event, "settings ") ||
               StartsWith(event, "added site ") || StartsWith(event, "made ")) {
      id = EVENT_WRITTEN;
    } else if (StartsWith(event, "unregistered ")) {
      id = EVENT_UNREGISTERED;
    } else if (StartsWith(event, "started the installer ")) {
      id = EVENT_INSTALLER_STARTED;
    } else if (StartsWith(event, "could not ") || StartsWith(event, "kept ")) {
      id = EVENT_STEP_FAILED;
    } else if (StartsWith(event, "refused")) {
      id = EVENT_STEP_REFUSED;
    }
    if (id == 0) continue;
    WORD type = EVENTLOG_INFORMATION_TYPE;
    if (id == EVENT_STEP_FAILED) type = EVENTLOG_WARNING_TYPE;
    if (id == EVENT_STEP_REFUSED || (id == EVENT_RUN_RESULT && failed)) type = EVENTLOG_ERROR_TYPE;
    failed = failed || id == EVENT_STEP_FAILED || id == EVENT_STEP_REFUSED;
    records.push_back({id, type, event, line.processId});
  }
  return records;
}

std::string Shown(const std::vector<TracedRecord>& records) {
  std::string shown;
  for (const TracedRecord& record : records) {
    shown += "  " + std::to_string(record.id) + " type " + std::to_string(record.type) + ":";
    for (const TracedString& string : record.strings) shown += " [" + string.text + (string.whole ? "]" : "...]");
    shown += "\n";
  }
  return shown;
}

// The traced records are the log's records, in order, type and ID, with
// the log's words, its process id and, for the result, the command line.
void ExpectRecordsOfLog(const std::vector<TracedRecord>& records, const std::vector<LogLine>& lines,
                        const std::string& commandLine) {
  const std::vector<ExpectedRecord> expected = RecordsOfLog(lines);
  ASSERT_EQ(records.size(), expected.size()) << "traced:\n"
                                             << Shown(records) << "log:\n"
                                             << ::testing::PrintToString(Events(lines));
  for (size_t i = 0; i < records.size(); ++i) {
    const TracedRecord& record = records[i];
    const ExpectedRecord& wanted = expected[i];
    EXPECT_EQ(record.source, EventSourceName);
    EXPECT_EQ(record.id, wanted.id) << wanted.text;
    EXPECT_EQ(record.type, wanted.type) << wanted.text;
    EXPECT_EQ(record.unreadable, "") << wanted.text;
    ASSERT_EQ(record.strings.size(), wanted.id == EVENT_RUN_RESULT ? 3u : 2u) << wanted.text;
    EXPECT_TRUE(ShowsText(record.strings[0], wanted.text)) << record.strings[0].text << "\nis not\n" << wanted.text;
    EXPECT_TRUE(ShowsText(record.strings[1], std::to_string(wanted.processId))) << wanted.text;
    if (wanted.id == EVENT_RUN_RESULT)
      EXPECT_TRUE(ShowsText(record.strings[2], commandLine.empty() ? "(none)" : commandLine)) << record.strings[2].text;
  }
}

// One option's run with "/quiet /log": a player as the case arranges it,
// then its records against its log.
struct OptionCase {
  const char* name;
  std::function<void(class EventLogOptions&)> arrange;
  std::string options;
  int32_t exitCode;
};

void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.name; }

class EventLogOptions : public InstalledPlayerTest, public ::testing::WithParamInterface<OptionCase> {
 public:
  // For the cases' arrangements.
  using InstalledPlayerTest::Component;
  using InstalledPlayerTest::player;
  void SetUp() override {
    InstalledPlayerTest::SetUp();
    ASSERT_TRUE(trace.Ready()) << "the trace cannot be read: run the test through wine-run";
  }
  void TearDown() override {
    // An installer that was started ends before its folder goes.
    if (installerStarted) WaitForSingleObject(installerStarted, 30000);
    if (installerStarted) CloseHandle(installerStarted);
  }
  void WriteOptions(const std::string& text) { ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), text)); }

  EventLogTrace trace;
  UnregisterLog unregistered;
  TempFolder logs;
  TempFolder application;
  std::unique_ptr<HeldFile> held;
  HANDLE installerStarted = nullptr;
};

std::string LongSite() { return "https://" + std::string(TokenBufferBytes, 's') + ".example/"; }

const OptionCase OptionCases[] = {
    {"UpdateCheckOn", [](EventLogOptions& t) { t.WriteOptions("[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"); },
     "-cu+", 0},
    {"UpdateCheckOffAndTime",
     [](EventLogOptions& t) { t.WriteOptions("[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\nLastUpdateCheckTime = 7\r\n"); },
     "-cu -lu 99", 0},
    {"Sites",
     [](EventLogOptions& t) {
       ASSERT_TRUE(WriteTextFile(t.Component("QFXDownloadSites.txt"), "[Download Sites]\r\nsite = https://old.example/\r\n"));
     },
     "-ds+ https://new.example/ -ds https://old.example/", 0},
    {"SiteListDeleted",
     [](EventLogOptions& t) { ASSERT_TRUE(WriteTextFile(t.Component("QFXDownloadSites.txt"), "[Download Sites]\r\n")); },
     "-dsd", 0},
    {"BetaJoinedAndLeft", [](EventLogOptions&) {}, "-r+ -r", 0},
    {"ResourceCache", [](EventLogOptions& t) { ASSERT_TRUE(WriteTextFile(t.Component("Resources\\a.bin"), "a")); },
     "-dr", 1},
    {"Uninstall",
     [](EventLogOptions& t) {
       ASSERT_TRUE(CopyFixture("PlayerControl.dll", t.Component("AxQuillframe3.dll")));
       ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/"));
     },
     "-u", 0},
    // A file in use: what could not be removed is a warning, the run an error.
    {"UninstallBesideAFileInUse",
     [](EventLogOptions& t) {
       ASSERT_TRUE(WriteTextFile(t.Component("held.txt"), "held"));
       t.held.reset(new HeldFile(t.Component("held.txt"), 0));
       ASSERT_TRUE(t.held->IsOpen());
     },
     "-u", -1},
    {"UninstallRefusedForAProtectedFolder",
     [](EventLogOptions& t) {
       char windows[MAX_PATH];
       ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
       ASSERT_TRUE(t.player.SetComponentPath(windows));
     },
     "-u", -1},
    {"RecoveryStartsTheInstaller",
     [](EventLogOptions& t) {
       ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", t.application / "QLXFullInstall.exe"));
       ASSERT_TRUE(t.player.SetApplicationPath(t.application.Path()));
       t.installerStarted = CreateEventA(nullptr, TRUE, FALSE, "CpanelInstallerStarted");
       ASSERT_NE(t.installerStarted, nullptr);
     },
     "-rcvr", 1},
    {"ACutSiteIsRefused", [](EventLogOptions&) {}, "-ds+ " + LongSite(), 1},
    // A query beside a change: only the change is a record.
    {"VerifyThenUpdateCheck",
     [](EventLogOptions& t) {
       t.WriteOptions("[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n");
       ASSERT_TRUE(WriteTextFile(t.logs / "list.txt", "[DLL_Versions]\r\n"));
     },
     "-v list.txt -cu+", -3},  // a list without entries cannot be used
};

TEST_P(EventLogOptions, TheRecordsAreTheLogsChangesFailuresRefusalsAndResult) {
  const OptionCase& c = GetParam();
  c.arrange(*this);
  if (HasFatalFailure()) return;
  const std::string log = logs / "cp.log";
  const std::string arguments = "/quiet /log " + log + " " + c.options;
  const ProgramRun run = RunProgram(ControlPanelProgram(), arguments, logs.Path());
  EXPECT_EQ(run.exitCode, c.exitCode) << run.errors;
  held.reset();
  const std::vector<LogLine> lines = ReadLog(log);
  const std::vector<TracedRecord> records = trace.TakeRecords();
  ASSERT_FALSE(records.empty()) << "every run of an option that may change the installation has its result";
  ExpectRecordsOfLog(records, lines, arguments);
  EXPECT_EQ(records.back().id, EVENT_RUN_RESULT);
}

INSTANTIATE_TEST_SUITE_P(EveryChangingOption, EventLogOptions, ::testing::ValuesIn(OptionCases),
                         [](const ::testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

class EventLogRuns : public InstalledPlayerTest {
 protected:
  void SetUp() override {
    InstalledPlayerTest::SetUp();
    ASSERT_TRUE(trace.Ready()) << "the trace cannot be read: run the test through wine-run";
  }
  EventLogTrace trace;
  TempFolder logs;
};

// A refused command line runs nothing and logs nothing, but gives one
// record: the refusal as standard error says it, and the line as typed.
TEST_F(EventLogRuns, ARefusedCommandLineGivesItsRecord) {
  const std::string cases[] = {
      "/quiet /bogus",
      "/quiet -ds+",
      "/quiet /log " + Component("cp.log") + " -u",
      "/quiet -ds+ https://\xCE\xA9mirror.example/",  // a site the ANSI code page cannot hold
      "/registerevents -u",
      "/quiet -lu " + std::string(InsertionStringCharacters + 100, '7') + " /bogus",
  };
  const std::string introduction = "ControlPanel: ";
  const std::string closing = " (see \"ControlPanel.exe /?\")\n";
  for (const std::string& arguments : cases) {
    const ProgramRun run = RunProgramUtf8(ControlPanelProgram(), arguments);
    EXPECT_EQ(run.exitCode, RefusedCommandLineCode) << arguments;
    const std::string errors = WithoutCarriageReturns(run.errors);
    ASSERT_TRUE(StartsWith(errors, introduction) && EndsWith(errors, closing)) << errors;
    const std::string refusal = errors.substr(introduction.size(), errors.size() - introduction.size() - closing.size());
    const std::vector<TracedRecord> records = trace.TakeRecords();
    ASSERT_EQ(records.size(), 1u) << arguments << "\n" << Shown(records);
    const TracedRecord& record = records[0];
    EXPECT_EQ(record.source, EventSourceName);
    EXPECT_EQ(record.id, EVENT_COMMAND_LINE_REFUSED) << arguments;
    EXPECT_EQ(record.type, EVENTLOG_ERROR_TYPE) << arguments;
    ASSERT_EQ(record.strings.size(), 3u) << arguments;
    EXPECT_TRUE(ShowsText(record.strings[0], refusal)) << record.strings[0].text << "\nis not\n" << refusal;
    EXPECT_TRUE(ShowsText(record.strings[2], arguments)) << record.strings[2].text;
  }
  // Asked to leave the Event Log alone, it does.
  EXPECT_EQ(RunPanel("/quiet /noevents /bogus").exitCode, RefusedCommandLineCode);
  EXPECT_TRUE(trace.TakeRecords().empty());
}

// What changes nothing is no audit record: a query, the status, the usage
// text, a description of the changes, a quiet run without options; and a run
// asked to leave the Event Log alone writes none, though it changes what it
// changes.
TEST_F(EventLogRuns, QueriesDescriptionsAndNoEventsWriteNoRecord) {
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));
  ASSERT_TRUE(WriteTextFile(logs / "list.txt", "[DLL_Versions]\r\n"));
  ASSERT_TRUE(WriteTextFile(Component("Resources\\a.bin"), "a"));
  const struct {
    std::string arguments;
    int32_t exitCode;
  } cases[] = {
      {"-ip", QuietCode},
      {"/quiet -v list.txt", -3},
      {"-v list.txt -ip", QuietCode},
      {"/status", 0},
      {"/?", 0},
      {"/quiet", 0},
      {"/whatif /quiet /log " + (logs / "cp.log") + " -u -cu+", 0},
      {"/quiet /noevents /log " + (logs / "cp.log") + " -cu+ -dr", 1},
  };
  for (const auto& c : cases) {
    const ProgramRun run = RunProgram(ControlPanelProgram(), c.arguments, logs.Path());
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.errors;
    const std::vector<TracedRecord> records = trace.TakeRecords();
    EXPECT_TRUE(records.empty()) << c.arguments << "\n" << Shown(records);
  }
  EXPECT_NE(ReadTextFile(Component("QuillframeConfig.ini")).find("CheckForUpdates = 1"), std::string::npos)
      << "\"/noevents\" changes what the options change";
  EXPECT_FALSE(PathExists(Component("Resources")));
  EXPECT_NE(ReadTextFile(logs / "cp.log").find("] result code 1"), std::string::npos) << "the log is unchanged";
}

// The source's key as the registry holds it: the message file's path and
// type, and the types.
struct SourceRegistration {
  bool present = false;
  std::wstring messageFile;
  DWORD messageFileType = REG_NONE;
  DWORD types = 0;
  DWORD typesType = REG_NONE;
};

SourceRegistration ReadSourceRegistration() {
  SourceRegistration registration;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SourceKeyPath, 0, KEY_READ | SystemView, &key) != ERROR_SUCCESS)
    return registration;
  registration.present = true;
  wchar_t path[4096] = {};
  DWORD bytes = sizeof path - sizeof(wchar_t);
  if (RegQueryValueExW(key, L"EventMessageFile", nullptr, &registration.messageFileType,
                       reinterpret_cast<BYTE*>(path), &bytes) == ERROR_SUCCESS)
    registration.messageFile = path;
  bytes = sizeof registration.types;
  RegQueryValueExW(key, L"TypesSupported", nullptr, &registration.typesType,
                   reinterpret_cast<BYTE*>(&registration.types), &bytes);
  RegCloseKey(key);
  return registration;
}

void DeleteSourceRegistration() {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SourceKeyPath, SystemView, 0);
  ASSERT_FALSE(ReadSourceRegistration().present);
}

bool SetSourceValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SourceKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | SystemView, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const bool set = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), static_cast<int>(ansi.size()),
                                                      &wide[0], static_cast<int>(wide.size()))));
  return wide;
}

bool NamesProgram(const SourceRegistration& registration, const std::string& program) {
  return registration.messageFileType == REG_EXPAND_SZ &&
         CompareStringOrdinal(registration.messageFile.c_str(), -1, Wide(program).c_str(), -1, TRUE) == CSTR_EQUAL &&
         registration.typesType == REG_DWORD && registration.types == 7;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The first run that writes a record registers the program; a moved
// program (another copy) corrects the registration, and so does one whose
// value has another type; "/registerevents" does it alone and says so.
TEST_F(EventLogRuns, TheFirstRunRegistersTheProgramAndAMovedOneCorrectsIt) {
  DeleteSourceRegistration();
  ASSERT_EQ(RunPanel("/quiet -r+").exitCode, 0);
  EXPECT_TRUE(NamesProgram(ReadSourceRegistration(), ControlPanelProgram()));

  ControlPanelCopy moved;
  ASSERT_TRUE(moved.Ready());
  EXPECT_EQ(RunProgram(moved.Program(), "/quiet -r").exitCode, 0);
  EXPECT_TRUE(NamesProgram(ReadSourceRegistration(), moved.Program()));

  const DWORD number = 1;
  ASSERT_TRUE(SetSourceValue(L"EventMessageFile", REG_DWORD, &number, sizeof number));
  EXPECT_EQ(RunPanel("/quiet -r+").exitCode, 0);
  EXPECT_TRUE(NamesProgram(ReadSourceRegistration(), ControlPanelProgram())) << "a value of another type is replaced";
  EXPECT_FALSE(trace.TakeRecords().empty());

  // The installers' switch: nothing else runs, and no record is written.
  ASSERT_TRUE(SetSourceValue(L"TypesSupported", REG_DWORD, &number, sizeof number));
  const std::string log = logs / "cp.log";
  ProgramRun run = RunProgram(moved.Program(), "/registerevents /log " + log);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(NamesProgram(ReadSourceRegistration(), moved.Program())) << "other types are corrected";
  run = RunProgram(moved.Program(), "/registerevents /log " + log);
  EXPECT_EQ(run.exitCode, 0) << "already registered";
  const std::string program = "the program " + Quoted(moved.Program());
  const std::string as = " as the source \"Corvalent Control Panel\" of the Windows Event Log";
  const std::vector<std::string> events = Events(ReadLog(log));
  ASSERT_EQ(events.size(), 6u) << ::testing::PrintToString(events);
  EXPECT_EQ(events[1], "registered " + program + as + " in place of " + Quoted(ControlPanelProgram()));
  EXPECT_EQ(events[2], "result code 0");
  EXPECT_EQ(events[4], program + " is registered" + as);
  EXPECT_TRUE(trace.TakeRecords().empty()) << "the registration itself is no record";
}

// The source's key, read-only for everyone: a run without the right to write
// it, as a run without administrator rights on Windows.
class ReadOnlySourceKey {
 public:
  ReadOnlySourceKey() { ready_ = SetAccess(KEY_READ); }
  ~ReadOnlySourceKey() {
    SetAccess(KEY_ALL_ACCESS);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, SourceKeyPath, SystemView, 0);
  }
  bool Ready() const { return ready_; }

 private:
  // Everyone may do access on the key, and nothing else; the owner may
  // always change that.
  static bool SetAccess(DWORD access) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SourceKeyPath, 0, nullptr, 0, WRITE_DAC | SystemView, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    bool set = false;
    if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
      char aclBytes[256];
      ACL* acl = reinterpret_cast<ACL*>(aclBytes);
      SECURITY_DESCRIPTOR descriptor;
      set = InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, access, everyone) &&
            InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
      FreeSid(everyone);
    }
    RegCloseKey(key);
    return set;
  }
  bool ready_;
};

// Without the right to register, the run is the same, its code unchanged and
// nothing more on standard error; its records are written all the same, and
// the log says why the registration was not made. "/registerevents" says so
// and gives 1.
TEST_F(EventLogRuns, ARunWithoutTheRightToRegisterIsTheSame) {
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));
  DeleteSourceRegistration();
  const wchar_t elsewhere[] = L"C:\\Elsewhere\\ControlPanel.exe";
  ASSERT_TRUE(SetSourceValue(L"EventMessageFile", REG_EXPAND_SZ, elsewhere, sizeof elsewhere));
  ReadOnlySourceKey readOnly;
  ASSERT_TRUE(readOnly.Ready());
  ASSERT_FALSE(SetSourceValue(L"TypesSupported", REG_DWORD, "\7\0\0\0", 4)) << "the key is not read-only";

  const std::string log = logs / "cp.log";
  const ProgramRun run = RunPanel("/quiet /log " + log + " -cu+");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errors, "");
  EXPECT_NE(ReadTextFile(Component("QuillframeConfig.ini")).find("CheckForUpdates = 1"), std::string::npos);
  EXPECT_EQ(ReadSourceRegistration().messageFile, elsewhere);
  const std::vector<LogLine> lines = ReadLog(log);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(StartsWith(lines[1].event, "could not register the program " + Quoted(ControlPanelProgram())))
      << lines[1].event;
  ExpectRecordsOfLog(trace.TakeRecords(), lines, "/quiet /log " + log + " -cu+");

  const ProgramRun registration = RunPanel("/registerevents");
  EXPECT_EQ(registration.output, "1\n");
  EXPECT_EQ(registration.exitCode, 1);
  EXPECT_TRUE(StartsWith(registration.errors, "ControlPanel: could not register the program ")) << registration.errors;
  EXPECT_EQ(ReadSourceRegistration().messageFile, elsewhere);
}

// The program's own message table holds the text of every record, and
// FormatMessageW renders each with its insertion strings, as a reader of the
// Event Log does on any machine.
TEST(EventLogMessages, EveryRecordRendersFromTheProgramsOwnTable) {
  const std::wstring program = Wide(ControlPanelProgram());
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << GetLastError();
  const struct {
    DWORD id;
    std::vector<std::wstring> strings;
    std::wstring text;
  } cases[] = {
      {100, {L"removed folder \"C:\\Player\"", L"4242"}, L"removed folder \"C:\\Player\" (process 4242)"},
      {101, {L"removed file \"C:\\Player\\a.dll\" at the next restart", L"7"},
       L"removed file \"C:\\Player\\a.dll\" at the next restart (process 7)"},
      {102, {L"settings \"C:\\\u03A9\\QuillframeConfig.ini\" [ComponentMgrOptions] CheckForUpdates: \"0\" -> \"1\"", L"8"},
       L"settings \"C:\\\u03A9\\QuillframeConfig.ini\" [ComponentMgrOptions] CheckForUpdates: \"0\" -> \"1\" (process 8)"},
      {103, {L"unregistered library \"C:\\Player\\AxQuillframe3.dll\"", L"9"},
       L"unregistered library \"C:\\Player\\AxQuillframe3.dll\" (process 9)"},
      {104, {L"started the installer \"C:\\App\\QLXFullInstall.exe\" -s", L"10"},
       L"started the installer \"C:\\App\\QLXFullInstall.exe\" -s (process 10)"},
      {200, {L"kept \"C:\\Player\\held.txt\": in use by another program", L"11"},
       L"kept \"C:\\Player\\held.txt\": in use by another program (process 11)"},
      {300, {L"refused to uninstall from \"C:\\Windows\": a protected folder", L"12"},
       L"refused to uninstall from \"C:\\Windows\": a protected folder (process 12)"},
      {301, {L"refused the command line: \"/bogus\" is not an option; nothing was run", L"13", L"/quiet /bogus"},
       L"refused the command line: \"/bogus\" is not an option; nothing was run; command line: /quiet /bogus "
       L"(process 13)"},
      {400, {L"result code -1", L"14", L"/quiet -u"}, L"result code -1; command line: /quiet -u (process 14)"},
  };
  const DWORD ids[] = {EVENT_REMOVED,         EVENT_SCHEDULED,           EVENT_WRITTEN,
                       EVENT_UNREGISTERED,    EVENT_INSTALLER_STARTED,   EVENT_STEP_FAILED,
                       EVENT_STEP_REFUSED,    EVENT_COMMAND_LINE_REFUSED, EVENT_RUN_RESULT};
  ASSERT_EQ(sizeof ids / sizeof ids[0], sizeof cases / sizeof cases[0]);
  for (size_t i = 0; i < sizeof ids / sizeof ids[0]; ++i) EXPECT_EQ(cases[i].id, ids[i]) << "fixed for good";
  for (const auto& c : cases) {
    std::vector<DWORD_PTR> arguments;
    for (const std::wstring& string : c.strings) arguments.push_back(reinterpret_cast<DWORD_PTR>(string.c_str()));
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER, module, c.id,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0,
        reinterpret_cast<va_list*>(arguments.data()));
    ASSERT_GT(length, 0u) << c.id << ": " << GetLastError();
    EXPECT_TRUE(std::wstring(text, length) == c.text) << c.id;
    LocalFree(text);
  }

  // The table holds these IDs and no other.
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_MESSAGETABLE));
  ASSERT_NE(found, nullptr);
  const auto* table = static_cast<const MESSAGE_RESOURCE_DATA*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(table, nullptr);
  std::vector<DWORD> inTable;
  for (DWORD block = 0; block < table->NumberOfBlocks; ++block)
    for (DWORD id = table->Blocks[block].LowId; id <= table->Blocks[block].HighId; ++id) inTable.push_back(id);
  EXPECT_EQ(inTable, std::vector<DWORD>(std::begin(ids), std::end(ids)));
  FreeLibrary(module);
}

// In the window, each change is a record, and the window's end is the
// result; a window that changes nothing writes none.
class EventLogWindow : public PanelWindowTest {
 protected:
  EventLogTrace trace;
  TempFolder logs;
};

TEST_F(EventLogWindow, EachChangeOfTheWindowIsARecord) {
  ASSERT_TRUE(trace.Ready());
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\n"));
  const std::string log = logs / "window.log";
  // The first window of the copy makes the site settings beside it: a change.
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
  const std::vector<TracedRecord> first = trace.TakeRecords();
  ASSERT_EQ(first.size(), 2u) << Shown(first);
  EXPECT_EQ(first[0].id, EVENT_WRITTEN);
  EXPECT_EQ(first[1].id, EVENT_RUN_RESULT);

  // Then one that only shows the install path changes nothing.
  window = Open("/log " + log);
  ASSERT_NE(window, nullptr);
  ShowInstallPathAndClose(window);
  ExpectEndsWithZero();
  EXPECT_TRUE(trace.TakeRecords().empty());
  const size_t quietLines = ReadLog(log).size();

  // One that switches the update check off: the settings written, and the
  // window's result.
  window = Open("/log " + log);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickControl(window, CheckForUpdatesCommandId));
  ASSERT_TRUE(WaitUntil([&] { return ReadTextFile(Component("QuillframeConfig.ini")).find("= 0") != std::string::npos; },
                        5000));
  ASSERT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
  const std::vector<LogLine> lines = ReadLog(log);
  const std::vector<LogLine> changingRun(lines.begin() + static_cast<long>(quietLines), lines.end());
  const std::vector<TracedRecord> records = trace.TakeRecords();
  ExpectRecordsOfLog(records, changingRun, "/log " + log);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().id, EVENT_WRITTEN);
}

}  // namespace
