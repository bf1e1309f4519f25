// Every name and key as typed: the command line is read from its wide form,
// so a version list, a log, a site or a time typed with characters the ANSI
// code page cannot hold reaches what it names, or fails without touching
// anything; never the look-alike the code page would make of it, which is
// planted beside each true one here so that reaching it shows. Also the
// strict reading's refusals and the log's missing folders, each command line
// judged by the files and keys before and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installation/installation.h"
#include "shell/command_line.h"
#include "support/fixtures_win32.h"
#include "support/foreign_names_win32.h"
#include "support/installation_snapshot_win32.h"
#include "support/installed_player_test_win32.h"
#include "support/links_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr uint32_t RunTimeoutMs = 20000;  // far past what any of these runs needs

const std::string ConfigText = "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 7\r\n";
// The installed library's version is "3, 0, 1, 27": the true list matches
// it, the look-alike list does not.
const std::string MatchingList = "[DLL_Versions]\r\nDLL = NpQuillframe3\r\nVersion = 3.0.1.27\r\n";
const std::string OtherList = "[DLL_Versions]\r\nDLL = NpQuillframe3\r\nVersion = 9.9.9.9\r\n";
const std::string PlantedLog = "a look-alike's log\r\n";

// A file that must hold a text after a run (or, with present false, must
// not be there).
struct FileAfter {
  std::string path;  // UTF-8
  std::string holds;
  bool present = true;
};

struct CommandLineCase {
  std::string arguments;  // UTF-8, as typed
  int32_t code;
  bool unchanged;  // every file and key as before
  std::vector<FileAfter> after;
  std::string errorsHold;  // on standard error; empty: nothing is written there
};

class NamesAsTyped : public InstalledPlayerTest {
 protected:
  void SetUp() override {
    if (CodePageHolds(L"\x03A9")) GTEST_SKIP() << "this code page holds the Greek capital omega";
    InstalledPlayerTest::SetUp();
    ASSERT_TRUE(CopyFixture("VersionSpaced.dll", Component("NpQuillframe3.dll")));
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), ConfigText));
    std::string sites = "[Download Sites]\r\nsite = https://a.example/\r\n";
    // Beside each true name, the file and the site its look-alike names.
    for (const ForeignName& name : ForeignNames) {
      ASSERT_TRUE(WriteFileUtf8(lists / (std::string(name.utf8) + ".txt"), MatchingList));
      const std::string lookAlike = LookAlikeOf(name.wide);
      if (lookAlike.empty()) continue;
      ASSERT_TRUE(WriteTextFile(lists / (lookAlike + ".txt"), OtherList));
      ASSERT_TRUE(WriteTextFile(logs / (lookAlike + ".log"), PlantedLog));
      sites += "site = https://" + lookAlike + ".example/\r\n";
    }
    ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), sites));
  }

  // Every file under the test's folders with its bytes, and the player's
  // values.
  std::string State() const {
    std::string state;
    for (const std::string& folder : {player.Root().Path(), lists.Path(), logs.Path()})
      for (const std::string& entry : TreeSnapshot(folder)) state += folder + "\\" + entry + "\n";
    bool found = false;
    state += "key " + std::to_string(MachineKeyExists(PlayerKeyPath)) + "\n";
    state += MachineString(PlayerKeyPath, "Component Path", &found) + std::to_string(found) + "\n";
    state += MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found) + std::to_string(found) + "\n";
    return state;
  }

  void ExpectRun(const CommandLineCase& c) {
    const std::string before = State();
    const ProgramRun run = RunProgramUtf8(ControlPanelProgram(), c.arguments, work.Path(), RunTimeoutMs);
    ASSERT_TRUE(run.started) << c.arguments;
    EXPECT_TRUE(run.ended) << c.arguments << ": it waited for a person";
    EXPECT_EQ(WithoutCarriageReturns(run.output), std::to_string(c.code) + "\n") << c.arguments;
    EXPECT_EQ(run.exitCode, c.code) << c.arguments;
    if (c.errorsHold.empty()) {
      EXPECT_EQ(run.errors, "") << c.arguments;
    } else {
      EXPECT_NE(run.errors.find(c.errorsHold), std::string::npos) << c.arguments << ": " << run.errors;
    }
    if (c.unchanged) {
      EXPECT_EQ(State(), before) << c.arguments;
    }
    for (const FileAfter& file : c.after) {
      bool found = false;
      const std::string bytes = ReadFileUtf8(file.path, &found);
      EXPECT_EQ(found, file.present) << c.arguments << ": " << file.path;
      if (file.present) {
        EXPECT_NE(bytes.find(file.holds), std::string::npos) << c.arguments << ": " << bytes;
      }
    }
  }

  TempFolder lists;
  TempFolder logs;
  TempFolder work;  // the runs' current folder
};

TEST_F(NamesAsTyped, EachArgumentReachesWhatItNamesAndNeverItsLookAlike) {
  const std::string refused = "ControlPanel: refused the command line: ";
  for (const ForeignName& name : ForeignNames) {
    const std::string n = name.utf8;
    const std::string lookAlike = LookAlikeOf(name.wide);
    const std::string list = lists / (n + ".txt");
    const std::string log = logs / (n + ".log");
    const std::string config = Component("QuillframeConfig.ini");
    const std::string sites = Component("QFXDownloadSites.txt");
    std::vector<FileAfter> lookAlikesKept;
    if (!lookAlike.empty()) lookAlikesKept.push_back({logs / (lookAlike + ".log"), PlantedLog});
    const CommandLineCase cases[] = {
        // The version list by its own name, not the look-alike that fails.
        {"-v \"" + list + "\"", 0, true, {}, ""},
        {"/quiet -v " + list, 0, true, {}, ""},
        // A log made under its own name; the look-alike's log untouched.
        {"/quiet /log \"" + log + "\" -cu+", 0, false,
         {{log, "command line: /quiet /log \"" + log + "\" -cu+"}, {config, "CheckForUpdates = 1"}}, ""},
        {"/log " + log + " -cu", 0, false, {{log, "command line: /log " + log + " -cu\r\n"}, {config, "CheckForUpdates = 0"}}, ""},
        // A site or time the settings files cannot hold: never stored or
        // matched as its look-alike. Without a switch the option fails...
        {"-ds+ https://" + n + ".example/", 1, true, {}, ""},
        {"-ds https://" + n + ".example/", 1, true, {}, ""},
        {"-lu " + n, 1, true, {}, ""},
        {"-cu -lu 1" + n, 1, true, {}, ""},
        // ... and with one the line is refused before anything runs.
        {"/quiet -ds+ https://" + n + ".example/", RefusedCommandLineCode, true, {},
         refused + "the ANSI code page of the player's settings files cannot hold the site \"https://" + n +
             ".example/\" after \"-ds+\""},
        {"/q -cu+ -lu " + n, RefusedCommandLineCode, true, {}, "the time \"" + n + "\""},
        {"/log \"" + logs / (n + "-lu.log") + "\" -ds " + n, RefusedCommandLineCode, true, {}, "\"" + n + "\""},
        // A log typed outside the code page is still refused inside what
        // the run removes, and no folder is made for it there.
        {"/quiet /log \"" + Component(n + "\\cp.log") + "\" -u", RefusedCommandLineCode, true, {},
         "lies in the component folder"},
        // A refusal shows the token as typed.
        {"/quiet " + n, RefusedCommandLineCode, true, {}, refused + "\"" + n + "\" is not an option"},
        // A log's missing folders are made, and named in its first lines.
        {"/quiet /log \"" + logs / (n + "\\deep\\cp.log") + "\" -cu+", 0, false,
         {{logs / (n + "\\deep\\cp.log"), "made folder \"" + logs / n + "\" for the log"},
          {logs / (n + "\\deep\\cp.log"), "made folder \"" + logs / (n + "\\deep") + "\" for the log"}},
         ""},
    };
    for (const CommandLineCase& c : cases) ExpectRun(c);
    for (const FileAfter& kept : lookAlikesKept) EXPECT_EQ(ReadFileUtf8(kept.path), kept.holds) << kept.path;
  }
  // A site and a time the code page holds work as they always did.
  ExpectRun({"-ds+ https://caf\xC3\xA9.example/ -lu 12\xC3\xA9", 0, false,
             {{Component("QuillframeConfig.ini"), "LastUpdateCheckTime = 12\xE9"},
              {Component("QFXDownloadSites.txt"), "https://caf\xE9.example/"}},
             ""});
}

// With a switch, the strict reading has no holes: nothing runs and nothing
// changes for a line it cannot take whole; "/q" and "/qn" are "/quiet".
TEST_F(NamesAsTyped, TheStrictReadingRefusesWhatItCannotTakeWhole) {
  const std::string config = Component("QuillframeConfig.ini");
  const CommandLineCase cases[] = {
      {"/status -u", RefusedCommandLineCode, true, {}, "\"/status\" runs nothing else, but the command line also holds \"-u\""},
      {"/status /quiet -dsd", RefusedCommandLineCode, true, {}, "\"-dsd\""},
      {"/quiet -ds+", RefusedCommandLineCode, true, {}, "\"-ds+\" is not followed by its site"},
      {"/quiet -cu+ -v", RefusedCommandLineCode, true, {}, "\"-v\" is not followed by its version-list file"},
      {"/log \"" + logs / "a.log" + "\" -cu+ /log \"" + logs / "b.log" + "\"", RefusedCommandLineCode, true, {},
       "\"/log\" is given twice"},
      // Lines without a switch keep their meaning: "-ds+" alone still ends
      // the line with 0.
      {"-ds+", 0, true, {}, ""},
      {"/q -cu+", 0, false, {{config, "CheckForUpdates = 1"}}, ""},
      {"/Qn -cu", 0, false, {{config, "CheckForUpdates = 0"}}, ""},
      {"/q /log \"" + logs / "new\\folders\\q.log" + "\" -lu 99", 0, false,
       {{config, "LastUpdateCheckTime = 99"}, {logs / "new\\folders\\q.log", "made folder \"" + logs / "new" + "\""}},
       ""},
  };
  for (const CommandLineCase& c : cases) ExpectRun(c);
  // "/qn -u" is quiet: no box waits, and the player is gone.
  const ProgramRun run = RunProgramUtf8(ControlPanelProgram(), "/qn -u", work.Path(), RunTimeoutMs);
  EXPECT_TRUE(run.ended) << "it waited for a person";
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
}

// A log's folders are never made through a link: the run goes on without a
// log, says so, and nothing is made where the link leads.
TEST_F(NamesAsTyped, ALogsFoldersAreNeverMadeThroughALink) {
  const TempFolder elsewhere;
  const SymbolicLink link(logs / "link", elsewhere.Path());
  ASSERT_TRUE(link.Made());
  const std::string log = logs / "link\\new\\cp.log";
  ExpectRun({"/log \"" + log + "\" -cu+", 0, false,
             {{Component("QuillframeConfig.ini"), "CheckForUpdates = 1"}, {log, "", false}},
             "ControlPanel: the log \"" + log + "\" cannot be opened: its folder would be made through the link \"" +
                 logs / "link" + "\"; the run goes on without it"});
  EXPECT_FALSE(PathExists(elsewhere / "new"));
}

}  // namespace
