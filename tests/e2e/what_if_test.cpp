// "/whatif": the options of the line run as far as reading goes and change
// nothing (no file, folder, link or registry value, no library loaded, no
// installer started); one line per change the run would make, in the log's
// words, then the result code the run would give. What it lists is what the
// same line without it then does, in the same order.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "shell/command_line.h"
#include "support/fixtures_win32.h"
#include "support/held_file_win32.h"
#include "support/installation_snapshot_win32.h"
#include "support/navigator_keys_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"
#include "support/unregister_log_win32.h"

namespace {

// The entries of two snapshots that differ, each cut to its first 200
// bytes: what a failure shows.
std::string Differences(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::string shown;
  for (const std::string& entry : before)
    if (std::find(after.begin(), after.end(), entry) == after.end()) shown += "- " + entry.substr(0, 200) + "\n";
  for (const std::string& entry : after)
    if (std::find(before.begin(), before.end(), entry) == before.end()) shown += "+ " + entry.substr(0, 200) + "\n";
  return shown;
}

// The lines of text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The events of a log, without time and process id.
std::vector<std::string> LogEvents(const std::string& path) {
  static const std::regex form(R"(^\S+ \[\d+\] (.*)$)");
  std::vector<std::string> events;
  for (std::string line : Lines(ReadTextFile(path))) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch parts;
    if (std::regex_match(line, parts, form)) events.push_back(parts[1]);
  }
  return events;
}

// How a change reads in a run that describes it and in the log of the run
// that makes it.
constexpr struct {
  const char* described;
  const char* logged;
} ChangeWords[] = {
    {"would remove folder ", "removed folder "},
    {"would remove the contents of ", "removed the contents of "},
    {"would remove link ", "removed link "},
    {"would remove file ", "removed file "},
    {"would remove the stale temporary file ", "removed the stale temporary file "},
    {"would remove registry key ", "removed registry key "},
    {"would remove registry value ", "registry value "},
    {"would set registry value ", "registry value "},
    {"would set settings ", "settings "},
    {"would unregister library ", "unregistered library "},
    {"would add site ", "added site "},
    {"would remove site ", "removed site "},
    {"would make ", "made "},
    {"would start the installer ", "started the installer "},
    {"would show box ", "box "},
};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The log event of the change a "would" line names; empty when the line
// names no change the log knows.
std::string LoggedChange(const std::string& described) {
  for (const auto& words : ChangeWords)
    if (StartsWith(described, words.described)) return words.logged + described.substr(strlen(words.described));
  return std::string();
}

// The events of a log that are changes, in order.
std::vector<std::string> LoggedChanges(const std::vector<std::string>& events) {
  std::vector<std::string> changes;
  for (const std::string& event : events) {
    if (event.size() >= 11 && event.compare(event.size() - 11, 11, "(unchanged)") == 0) continue;
    for (const auto& words : ChangeWords) {
      if (StartsWith(event, words.logged)) {
        changes.push_back(event);
        break;
      }
    }
  }
  return changes;
}

// The changes a "/whatif" run listed, in the log's words, in order; each of
// its lines must be a change the log knows, and its code comes last.
std::vector<std::string> DescribedChanges(const ProgramRun& described) {
  std::vector<std::string> output = Lines(described.output);
  std::vector<std::string> expected;
  if (output.empty()) {
    ADD_FAILURE() << "no output";
    return expected;
  }
  EXPECT_EQ(output.back(), std::to_string(described.exitCode)) << "the result code last";
  output.pop_back();
  for (const std::string& line : output) {
    EXPECT_TRUE(StartsWith(line, "would ")) << line;
    const std::string logged = LoggedChange(line);
    EXPECT_NE(logged, "") << "a change the log knows: " << line;
    expected.push_back(logged);
  }
  return expected;
}

// Runs options for real with the log at log and expects what the "/whatif"
// run described foretold: the changes it listed (at least one), in the same
// order, and its code.
void ExpectTheRunThatWasDescribed(const std::string& options, const ProgramRun& described, const std::string& log) {
  const std::vector<std::string> expected = DescribedChanges(described);
  EXPECT_FALSE(expected.empty()) << "every line changes something";
  RemovePath(log);
  ProgramRun made = RunPanel("/log " + log + " " + options);
  EXPECT_EQ(made.exitCode, described.exitCode) << "the code the run gives";
  EXPECT_EQ(LoggedChanges(LogEvents(log)), expected) << "the same changes in the same order";
}

// An installation made for the test with something for every changing
// option: the player's libraries (which record being loaded), a resource
// cache, the settings files, a file an interrupted write
// left, the beta value, a Netscape plug-ins folder with the plug-in, and the
// application folder with the full installer (which records being started).
// The component folder lies in an install root of its own.
class TestInstallation {
 public:
  TestInstallation() {
    made = MakeFolders(component) && player.SetComponentPath(component) && player.SetApplicationPath(application) &&
           SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/") &&
           CopyFixture("PlayerControl.dll", component + "\\AxQuillframe3.dll") &&
           CopyFixture("PlayerControl.dll", component + "\\Components\\AxQuillframeCore.dll") &&
           CopyFixture("PlayerControl.dll", LongLibraryPath()) &&
           WriteTextFile(component + "\\Resources\\UpdateVersionList_v2.txt", "[DLL_Versions]\r\n") &&
           WriteTextFile(component + "\\Resources\\cache\\a.bin", std::string(3000, 'a')) &&
           WriteTextFile(component + "\\QuillframeConfig.ini",
                         "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 7\r\n") &&
           WriteTextFile(component + "\\QFXDownloadSites.txt",
                         "; kept as it is\r\n[Download Sites]\r\nsite = https://old.example/\r\n") &&
           WriteTextFile(component + "\\~pf0BADF00D.tmp", "[Download Sites]\r\nsite = htt") &&
           WriteTextFile(player.Root() / "Outside\\kept.txt", "not the player's") &&
           WriteTextFile(plugins + "\\NPQuillframe3.dll", "plug-in") &&
           WriteTextFile(plugins + "\\Quillframe3.class", "class") && navigator.Install("4.7", plugins) &&
           CopyFixture("QLXFullInstall.exe", application + "\\QLXFullInstall.exe");
    started = CreateEventA(nullptr, TRUE, FALSE, "CpanelInstallerStarted");
    made = made && started;
  }
  ~TestInstallation() {
    if (started) CloseHandle(started);
  }

  // A library whose path is longer than the 256 characters a program path
  // keeps.
  std::string LongLibraryPath() const {
    const std::string folder = component + "\\Components\\";
    const std::string name = "AxQuillframeLong.dll";
    return folder + std::string(258 - folder.size() - name.size() - 1, 'f') + "\\" + name;
  }

  // The whole tree and the player's, the maker's and Netscape's keys.
  std::vector<std::string> Snapshot() const {
    std::vector<std::string> entries = TreeSnapshot(player.Root().Path());
    for (const std::string& key : RegistrySnapshot({TechnologyKeyPath, MakerKeyPath, NetscapeKeyPath}))
      entries.push_back(key);
    return entries;
  }

  UnregisterLog libraries;
  PlayerInstallation player;
  NavigatorKeys navigator;
  const std::string component = player.Root() / "Programs\\Player";
  const std::string application = player.Root() / "Application";
  const std::string plugins = player.Root() / "Plugins";
  HANDLE started = nullptr;
  bool made = false;
};

// Every changing option and lines that combine them: "/whatif" changes
// nothing, and its lines are the changes the same line then makes.
TEST(WhatIf, ChangesNothingAndListsWhatTheRunThenDoes) {
  const char* lines[] = {
      "-u",
      "-rcvr",
      "-r+",
      "-r",
      "-dr",
      "-dsd",
      "-ds+ https://new.example/",
      "-ds https://old.example/",
      "-cu+",
      "-lu 99",
      "-cu+ -cu -lu 5",
      "-ds+ https://a.example/ -ds https://a.example/ -dsd -ds+ https://b.example/",
      "-dsd -ds https://old.example/",  // makes an empty list
      "-r -r+ -r",
      "-dr -cu+ -u -cu+ -r+",
      "-rcvr -dsd -ds+ Default",
  };
  TempFolder logs;
  for (const char* options : lines) {
    SCOPED_TRACE(options);
    // Each line on an installation of its own.
    TestInstallation installation;
    ASSERT_TRUE(installation.made);
    const UnregisterLog& libraries = installation.libraries;
    HANDLE started = installation.started;
    const std::vector<std::string> before = installation.Snapshot();
    ProgramRun described = RunPanel(std::string("/whatif ") + options);
    ASSERT_TRUE(described.ended);
    EXPECT_EQ(described.errors, "");
    EXPECT_EQ(Differences(before, installation.Snapshot()), "") << "nothing changed";
    EXPECT_TRUE(libraries.Loaded().empty()) << "no library loaded";
    EXPECT_TRUE(libraries.Libraries().empty());
    EXPECT_NE(WaitForSingleObject(started, 0), WAIT_OBJECT_0) << "no installer started";

    ExpectTheRunThatWasDescribed(options, described, logs / "run.log");
    EXPECT_NE(Differences(before, installation.Snapshot()), "") << "the run changed something";
    // The records the checks above read are made: the run that uninstalls
    // loads the libraries, and the recovery starts the installer.
    const std::string line = options;
    const bool uninstalls = line.find("-u") != std::string::npos || line.find("-rcvr") != std::string::npos;
    EXPECT_EQ(libraries.Loaded().empty(), !uninstalls);
    if (line.find("-rcvr") != std::string::npos)
      EXPECT_EQ(WaitForSingleObject(started, 30000), WAIT_OBJECT_0) << "the installer started";
  }
}

// A folder of the cache that cannot be listed (another program holds it and
// shares nothing): "/whatif" lists what the run then removes around it, in
// the same order, and gives the run's code.
TEST(WhatIf, ListsTheRemovalAroundAFolderThatCannotBeListed) {
  TempFolder logs;
  for (const char* options : {"-dr", "-u"}) {
    SCOPED_TRACE(options);
    TestInstallation installation;
    ASSERT_TRUE(installation.made);
    const std::string locked = installation.component + "\\Resources\\Locked";
    ASSERT_TRUE(WriteTextFile(locked + "\\inside.bin", "inside"));
    HeldFile held(locked, 0);
    ASSERT_TRUE(held.IsOpen());
    ProgramRun described = RunPanel(std::string("/whatif ") + options);
    ExpectTheRunThatWasDescribed(options, described, logs / "run.log");
    EXPECT_EQ(ReadTextFile(locked + "\\inside.bin"), "inside");
  }
}

// Options that change nothing print what they always print; alone it opens
// no window; with "/status" it is refused; with "/log" its lines go there.
TEST(WhatIf, PrintsWhatTheOptionsThatChangeNothingPrint) {
  TestInstallation installation;
  ASSERT_TRUE(installation.made);
  const std::string& component = installation.component;
  TempFolder logs;
  ASSERT_TRUE(WriteTextFile(logs / "list.txt", "[DLL_Versions]\r\nAxQuillframe3.dll = 9.9.9.9\r\n"));
  // Nothing for "-cu" to clear up: it would remove this file first.
  RemovePath(component + "\\~pf0BADF00D.tmp");
  const ProgramRun verified = RunPanel("-v " + (logs / "list.txt"));
  const struct {
    std::string arguments;
    std::string output;
    int32_t exitCode;
  } cases[] = {
      {"/whatif", "would change nothing\n0\n", 0},
      {"/WhatIf -ip", "\"" + component + "\"", QuietCode},
      {"/whatif -v " + (logs / "list.txt"), verified.output, verified.exitCode},
      {"/whatif -cu", "would change nothing\n0\n", 0},  // already "0"
      {"/status /whatif", std::to_string(RefusedCommandLineCode) + "\n", RefusedCommandLineCode},
  };
  const std::vector<std::string> before = installation.Snapshot();
  for (const auto& c : cases) {
    ProgramRun run = RunPanel(c.arguments, 30000);
    EXPECT_TRUE(run.ended) << c.arguments << ": no window waits";
    EXPECT_EQ(run.output, c.output) << c.arguments;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
  }
  EXPECT_EQ(Differences(before, installation.Snapshot()), "");

  const std::string log = logs / "pilot.log";
  ProgramRun run = RunPanel("/whatif /log " + log + " -dr");
  const std::string removal = "would remove folder \"" + component + "\\Resources\"";
  EXPECT_NE(run.output.find(removal + "\n"), std::string::npos) << run.output;
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> events = LogEvents(log);
  ASSERT_FALSE(events.empty());
  EXPECT_NE(std::find(events.begin(), events.end(), removal), events.end());
  EXPECT_EQ(events.back(), "result code 1 (the run would give it; nothing was changed)");
  EXPECT_EQ(Differences(before, installation.Snapshot()), "") << "only the log was written, outside the installation";
}

}  // namespace
