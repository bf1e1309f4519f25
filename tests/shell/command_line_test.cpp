#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Tokens(const char* commandLine) {
  std::vector<std::string> tokens;
  char token[TokenBufferBytes];
  for (const char* position = NextToken(commandLine, token); position; position = NextToken(position, token))
    tokens.push_back(token);
  return tokens;
}

TEST(NextTokenTest, SplitsTheCommandLine) {
  const struct {
    const char* commandLine;
    std::vector<std::string> tokens;
  } cases[] = {
      {"", {}},
      {"    ", {}},
      {"-ip", {"-ip"}},
      {"  -cu+   -lu  123 ", {"-cu+", "-lu", "123"}},
      {"\"\" -ip", {}},  // an empty quoted token ends the command line at once
      {"\"-ip\"", {"-ip"}},
      // The closing quote is where the next token starts: it reads as a
      // quoted token of its own, blanks included.
      {"-v \"C:\\my list.txt\" -cu+", {"-v", "C:\\my list.txt", " -cu+"}},
      {"-v \"unclosed name", {"-v", "unclosed name"}},
      {"-ip\r\n-u", {"-ip"}},
      {"-ip\n-u", {"-ip"}},
      {"\r-ip", {}},
      {"a\tb", {"a\tb"}},  // only byte 32 separates tokens
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.commandLine), c.tokens) << "[" << c.commandLine << "]";
}

TEST(NextTokenTest, MissingArgumentsGiveNone) {
  char token[TokenBufferBytes];
  EXPECT_EQ(NextToken(nullptr, token), nullptr);
  EXPECT_EQ(NextToken("-ip", nullptr), nullptr);
}

TEST(NextTokenTest, ReturnsThePositionOfTheEndingByte) {
  const char* commandLine = "-ds \"site\" next";
  char token[TokenBufferBytes];
  const char* position = NextToken(commandLine, token);
  EXPECT_EQ(position, commandLine + 3);
  position = NextToken(position, token);
  EXPECT_STREQ(token, "site");
  EXPECT_EQ(position, commandLine + 9);  // the closing quote
}

TEST(NextTokenTest, CutsATokenLongerThanTheBufferAndPassesOverTheRest) {
  const std::string longToken(5000, 'x');
  const std::string commandLine = longToken + " -ip";
  std::vector<std::string> tokens = Tokens(commandLine.c_str());
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0], std::string(TokenBufferBytes - 1, 'x'));
  EXPECT_EQ(tokens[1], "-ip");

  const std::string exact(TokenBufferBytes - 1, 'y');
  tokens = Tokens(exact.c_str());
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0], exact);
}

TEST(NextTokenTest, TellsWhetherTheTokenWasCut) {
  const struct {
    std::string commandLine;
    bool cut;
  } cases[] = {
      {std::string(TokenBufferBytes - 1, 'y'), false},
      {std::string(TokenBufferBytes, 'y'), true},
      {"\"" + std::string(TokenBufferBytes, 'q') + "\"", true},
      {"-ip", false},
  };
  for (const auto& c : cases) {
    char token[TokenBufferBytes];
    bool cut = !c.cut;
    EXPECT_NE(NextToken(c.commandLine.c_str(), token, &cut), nullptr);
    EXPECT_EQ(cut, c.cut) << c.commandLine.size();
  }
  char token[TokenBufferBytes];
  bool cut = true;
  EXPECT_EQ(NextToken("   ", token, &cut), nullptr);
  EXPECT_FALSE(cut);
}

// What the C runtime hands to WinMain, found in the whole command line
// (UTF-8 of its wide form): the program's name, quoted or not, and the
// blanks after it are passed over.
TEST(AfterProgramNameTest, PassesOverTheProgramsNameAsTheRuntimeDoes) {
  const struct {
    const char* whole;
    const char* after;
  } cases[] = {
      {"ControlPanel.exe -u", "-u"},
      {"\"C:\\Program Files\\ControlPanel.exe\" /quiet -cu+", "/quiet -cu+"},
      {"C:\\\"my tools\"\\ControlPanel.exe  -v \"a b.txt\"", "-v \"a b.txt\""},
      {"\"C:\\\xCE\xA9tools\\ControlPanel.exe\" /log C:\\logs\\\xCE\xA9x.log -cu+", "/log C:\\logs\\\xCE\xA9x.log -cu+"},
      {"ControlPanel.exe", ""},
      {"ControlPanel.exe   ", ""},
      {"ControlPanel.exe\t-ip", "-ip"},
      {"\"unclosed name -u", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(AfterProgramName(c.whole), c.after) << c.whole;
  EXPECT_STREQ(AfterProgramName(static_cast<const char*>(nullptr)), "");
  // The console companion reads its wide command line by the same rule.
  EXPECT_EQ(std::wstring(AfterProgramName(L"C:\\\"my tools\"\\ControlPanel.com  -v \"a b.txt\"")), L"-v \"a b.txt\"");
  EXPECT_EQ(std::wstring(AfterProgramName(L"ControlPanel\t\u03A9x.log")), L"\u03A9x.log");
}

struct Call {
  Option option;
  std::string argument;
  bool operator==(const Call& other) const { return option == other.option && argument == other.argument; }
};

std::vector<Call> calls;
int32_t codeToSet;  // what every recorded action sets; 12345 leaves the code alone

void Record(Option option, const char* argument, int32_t& resultCode, OptionOutcome&) {
  calls.push_back({option, argument ? argument : "<none>"});
  if (codeToSet != 12345) resultCode = codeToSet;
}

std::vector<Call> Dispatch(const char* commandLine, int32_t* result, int32_t setCode = 12345) {
  calls.clear();
  codeToSet = setCode;
  *result = DispatchCommandLineWith(commandLine, Record);
  return calls;
}

TEST(DispatchCommandLineTest, RunsTheOptionsFoundBySubstringInTheirOrder) {
  const struct {
    const char* commandLine;
    std::vector<Call> calls;
    int32_t result = 0;  // "-v" sets -2 before its action runs
  } cases[] = {
      {"-ip", {{Option::InstallPath, "<none>"}}},
      {"-u", {{Option::Uninstall, "<none>"}}},
      {"-ip-u", {{Option::InstallPath, "<none>"}, {Option::Uninstall, "<none>"}}},
      {"-rcvr", {{Option::Recover, "<none>"}}},
      {"-r", {{Option::LeaveBeta, "<none>"}}},
      {"-r+", {{Option::JoinBeta, "<none>"}}},
      {"-dr", {{Option::DeleteResources, "<none>"}}},
      {"-dsd", {{Option::DeleteSiteList, "<none>"}}},
      {"abc-dsd", {{Option::DeleteSiteList, "<none>"}}},
      {"-ds site", {{Option::RemoveSite, "site"}}},
      {"-ds+ Default", {{Option::AddSite, "Default"}}},
      {"-v list.txt", {{Option::Verify, "list.txt"}}, -2},
      {"-cu", {{Option::UpdateCheckOff, "<none>"}}},
      {"-cu+", {{Option::UpdateCheckOn, "<none>"}}},
      {"--cu+", {{Option::UpdateCheckOn, "<none>"}}},
      {"x-cu+y", {{Option::UpdateCheckOn, "<none>"}}},
      {"-lu 1234", {{Option::LastUpdateTime, "1234"}}},
      {"-cu+ -lu 99", {{Option::UpdateCheckOn, "<none>"}, {Option::LastUpdateTime, "99"}}},
      // Only the first option of the chain runs for one token.
      {"-dr-cu", {{Option::DeleteResources, "<none>"}}},
      {"-IP -CU", {}},  // case counts
      {"hello", {}},
      // The argument is taken as it is, even when it looks like an option.
      {"-ds -ip", {{Option::RemoveSite, "-ip"}}},
      {"-v \"C:\\a list.txt\" -cu+", {{Option::Verify, "C:\\a list.txt"}, {Option::UpdateCheckOn, "<none>"}}, -2},
      // "-u" in a chain option's token runs too.
      {"-u-cu", {{Option::Uninstall, "<none>"}, {Option::UpdateCheckOff, "<none>"}}},
  };
  for (const auto& c : cases) {
    int32_t result;
    EXPECT_EQ(Dispatch(c.commandLine, &result), c.calls) << c.commandLine;
    EXPECT_EQ(result, c.result) << c.commandLine;
  }
}

TEST(DispatchCommandLineTest, NoTokenMeansWindowMode) {
  for (const char* commandLine : {"", "   ", "\"\"", "\"\" -ip"}) {
    int32_t result;
    EXPECT_TRUE(Dispatch(commandLine, &result).empty()) << commandLine;
    EXPECT_EQ(result, WindowModeCode) << commandLine;
  }
}

TEST(DispatchCommandLineTest, AMissingArgumentEndsTheCommandLine) {
  const struct {
    const char* commandLine;
    int32_t result;
    size_t callCount;
  } cases[] = {
      {"-v", -2, 0},  // "-v" sets -2 before it reads its argument
      {"-lu", 0, 0},
      {"-ds", 0, 0},
      {"-ds+", 0, 0},
      {"-cu+ -lu", 7, 1},  // the earlier option's code stays
  };
  for (const auto& c : cases) {
    int32_t result;
    EXPECT_EQ(Dispatch(c.commandLine, &result, 7).size(), c.callCount) << c.commandLine;
    EXPECT_EQ(result, c.result) << c.commandLine;
  }
}

void FailOnlyTheFirst(Option option, const char* argument, int32_t& resultCode, OptionOutcome&) {
  calls.push_back({option, argument ? argument : "<none>"});
  if (calls.size() == 1) resultCode = 1;
}

TEST(DispatchCommandLineTest, TheResultCodeIsKeptAcrossTokens) {
  calls.clear();
  EXPECT_EQ(DispatchCommandLineWith("-cu+ -lu 5 unknown", FailOnlyTheFirst), 1);
  EXPECT_EQ(calls.size(), 2u);
}

TEST(DispatchCommandLineTest, AnOptionWhoseArgumentWasCutIsNotRunAndFails) {
  const std::string longArgument(TokenBufferBytes + 10, 'a');
  const struct {
    std::string option;
    int32_t code;
  } cases[] = {{"-ds+", 1}, {"-ds", 1}, {"-lu", 1}, {"-v", -3}};
  for (const auto& c : cases) {
    int32_t result = 12345;
    EXPECT_TRUE(Dispatch((c.option + " " + longArgument).c_str(), &result).empty()) << c.option;
    EXPECT_EQ(result, c.code) << c.option;
    // The options after it still run.
    EXPECT_EQ(Dispatch((c.option + " " + longArgument + " -cu+").c_str(), &result).size(), 1u) << c.option;
  }
  // An argument that just fits is passed whole.
  const std::string fits(TokenBufferBytes - 1, 'b');
  int32_t result;
  std::vector<Call> recorded = Dispatch(("-ds+ " + fits).c_str(), &result);
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].argument, fits);
}

// The code of an option that fails as a whole: its failure code of the
// option table, whatever the code was before; "-dr" keeps the code it finds.
TEST(OptionFailureCodeTest, IsTheFailureCodeOfTheOptionsRow) {
  const struct {
    Option option;
    int32_t code;
  } cases[] = {
      {Option::InstallPath, QuietCode}, {Option::Uninstall, 1},      {Option::Recover, 0},
      {Option::JoinBeta, 1},            {Option::LeaveBeta, 1},      {Option::DeleteResources, 7},
      {Option::DeleteSiteList, -44},    {Option::AddSite, 1},        {Option::RemoveSite, 1},
      {Option::Verify, -3},             {Option::UpdateCheckOn, 1},  {Option::UpdateCheckOff, 1},
      {Option::LastUpdateTime, 1},
  };
  static_assert(sizeof cases / sizeof cases[0] == sizeof OptionTable / sizeof OptionTable[0], "every option");
  for (const auto& c : cases) EXPECT_EQ(OptionFailureCode(c.option, 7), c.code) << RowOf(c.option).text;
  for (Option option : {Option::AddSite, Option::RemoveSite, Option::LastUpdateTime, Option::Verify})
    EXPECT_EQ(CutArgumentCode(option), OptionFailureCode(option, 0)) << RowOf(option).text;
}

TEST(DispatchCommandLineTest, ALongTokenIsCutNotOverrun) {
  // "-ip" beyond the cut is not seen; "-ip" before it is.
  std::string lateOption = std::string(3000, 'x') + "-ip";
  int32_t result;
  EXPECT_TRUE(Dispatch(lateOption.c_str(), &result).empty());
  EXPECT_EQ(result, 0);
  std::string earlyOption = "-ip" + std::string(3000, 'x');
  EXPECT_EQ(Dispatch(earlyOption.c_str(), &result).size(), 1u);
}

// Every row of the usage table names an option that the dispatcher runs as
// that option, with its argument when it takes one; the usage text shows
// each row.
TEST(OptionUsageTest, EachRowIsTheOptionTheDispatcherRuns) {
  const std::string usage = UsageText();
  for (const OptionRow& row : OptionTable) {
    const std::string commandLine = std::string(row.text) + (row.argument ? " the-argument" : "");
    int32_t result = 0;
    EXPECT_EQ(Dispatch(commandLine.c_str(), &result),
              (std::vector<Call>{{row.option, row.argument ? "the-argument" : "<none>"}}))
        << row.text;
    EXPECT_NE(usage.find("  " + std::string(row.text) + (row.argument ? " " + std::string(row.argument) : "") + " "),
              std::string::npos)
        << row.text;
  }
  for (const char* text : {"/?", "/help", "/quiet", "/log FILE", "/status", "/whatif", "/noevents", "/registerevents"})
    EXPECT_NE(usage.find(text), std::string::npos) << text;
}

// A command line without switches is read as it always was: nothing is
// refused and the options are found by substring.
TEST(ReadCommandLineTest, WithoutSwitchesNothingIsStrict) {
  for (const char* commandLine : {"", "-u /S", "--cu+", "abc-dsd", "hello -ip", "\"/quiet\" -u", "x/quiet /quietly",
                                  "-h -u", "/no-ui /logs /statuses", "/quick -u", "x/q -u", "/qb -u", "\"/qn\" -u"}) {
    const CommandLineReading reading = ReadCommandLine(commandLine);
    EXPECT_FALSE(reading.strict) << commandLine;
    EXPECT_TRUE(reading.refusal.empty()) << commandLine;
    EXPECT_FALSE(reading.switches.help) << commandLine;
  }
  for (const char* commandLine : {"-h", "--help", "-?", "  -?  "}) {
    const CommandLineReading reading = ReadCommandLine(commandLine);
    EXPECT_FALSE(reading.strict) << commandLine;
    EXPECT_TRUE(reading.switches.help) << commandLine;
  }
}

// With a switch every token is a switch, a whole option or an option's
// argument; the options are listed with their arguments in their order.
TEST(ReadCommandLineTest, WithASwitchEveryTokenIsKnown) {
  const struct {
    const char* commandLine;
    RunSwitches switches;
    std::vector<Call> steps;
  } cases[] = {
      {"/quiet -u", {false, true, false, false, ""}, {{Option::Uninstall, ""}}},
      {"-cu+ /QUIET", {false, true, false, false, ""}, {{Option::UpdateCheckOn, ""}}},
      {"/Quiet /?", {true, true, false, false, ""}, {}},
      {"/help -ds+ x", {true, false, false, false, ""}, {{Option::AddSite, "x"}}},
      {"/quiet -h", {true, true, false, false, ""}, {}},
      {"/STATUS", {false, false, true, false, ""}, {}},
      {"/log C:\\logs\\run-u.txt -cu+", {false, false, false, true, "C:\\logs\\run-u.txt"},
       {{Option::UpdateCheckOn, ""}}},
      {"-u /Log \"C:\\my logs\\cp.log\" -cu+", {false, false, false, true, "C:\\my logs\\cp.log"},
       {{Option::Uninstall, ""}, {Option::UpdateCheckOn, ""}}},
      {"/log \"C:\\open.log", {false, false, false, true, "C:\\open.log"}, {}},
      // Arguments are taken as they are, a "/" or an option's text included.
      {"/quiet -ds+ /sites/x -v \"C:\\a list-u.txt\" -lu -u", {false, true, false, false, ""},
       {{Option::AddSite, "/sites/x"}, {Option::Verify, "C:\\a list-u.txt"}, {Option::LastUpdateTime, "-u"}}},
      {"/quiet \"-ip\"", {false, true, false, false, ""}, {{Option::InstallPath, ""}}},
      {"/WhatIf -u -cu+", {false, false, false, false, "", true},
       {{Option::Uninstall, ""}, {Option::UpdateCheckOn, ""}}},
      {"/log cp.log /whatif", {false, false, false, true, "cp.log", true}, {}},
      // "/q" and "/qn", as Windows installers take them, are "/quiet".
      {"/q -rcvr", {false, true, false, false, ""}, {{Option::Recover, ""}}},
      {"/qn -u", {false, true, false, false, ""}, {{Option::Uninstall, ""}}},
      {"-cu /QN /Q", {false, true, false, false, ""}, {{Option::UpdateCheckOff, ""}}},
      // Help beside an option runs nothing, so it may stand beside "/status".
      {"/status /?", {true, false, true, false, ""}, {}},
      {"/quiet -rcvr -r -r+ -dr -dsd -ds a -cu", {false, true, false, false, ""},
       {{Option::Recover, ""}, {Option::LeaveBeta, ""}, {Option::JoinBeta, ""}, {Option::DeleteResources, ""},
        {Option::DeleteSiteList, ""}, {Option::RemoveSite, "a"}, {Option::UpdateCheckOff, ""}}},
      // The Windows Event Log left alone, and the program registered for it.
      {"/NoEvents -u", {false, false, false, false, "", false, true, false}, {{Option::Uninstall, ""}}},
      {"/quiet /log reg.log /registerevents", {false, true, false, true, "reg.log", false, false, true}, {}},
  };
  for (const auto& c : cases) {
    const CommandLineReading reading = ReadCommandLine(c.commandLine);
    EXPECT_TRUE(reading.strict) << c.commandLine;
    EXPECT_EQ(reading.refusal, "") << c.commandLine;
    EXPECT_EQ(reading.switches.help, c.switches.help) << c.commandLine;
    EXPECT_EQ(reading.switches.quiet, c.switches.quiet) << c.commandLine;
    EXPECT_EQ(reading.switches.status, c.switches.status) << c.commandLine;
    EXPECT_EQ(reading.switches.log, c.switches.log) << c.commandLine;
    EXPECT_EQ(reading.switches.logFile, c.switches.logFile) << c.commandLine;
    EXPECT_EQ(reading.switches.whatIf, c.switches.whatIf) << c.commandLine;
    EXPECT_EQ(reading.switches.noEvents, c.switches.noEvents) << c.commandLine;
    EXPECT_EQ(reading.switches.registerEvents, c.switches.registerEvents) << c.commandLine;
    std::vector<Call> steps;
    for (const OptionStep& step : reading.steps) steps.push_back({step.option, step.argument});
    EXPECT_EQ(steps, c.steps) << c.commandLine;
  }
}

// Anything else refuses the whole command line, and the refusal names the
// token.
TEST(ReadCommandLineTest, AnythingElseIsRefused) {
  const struct {
    std::string commandLine;
    std::string named;
  } cases[] = {
      {"/quiet /log C:\\IT logs\\cp-update.log -cu+", "\"logs\\cp-update.log\""},
      {"/quiet -cu+ logs\\run-u.txt", "\"logs\\run-u.txt\""},
      {"/log -cu+", "\"-cu+\""},
      {"/log /status", "\"/status\""},
      {"-cu+ /log", "\"/log\" names no file"},
      {"/quiet -dsd /bogus", "\"/bogus\""},
      {"/quiet --cu+", "\"--cu+\""},
      {"/quiet -IP", "\"-IP\""},
      {"/quiet \"\" -u", "\"\""},
      {"/quiet \"/quiet\"", "\"/quiet\""},
      {"/quiet -u /S", "\"/S\""},
      {"/status /whatif", "\"/whatif\""},
      {"/WHATIF /log a.log /status", "\"/whatif\""},
      {"/whatif \"/whatif\"", "\"/whatif\""},
      {"/log " + std::string(TokenBufferBytes + 10, 'l') + " -cu+", "longer than 2047"},
      // "/status" runs nothing else: an option beside it would seem to have run.
      {"/status -u", "\"/status\" runs nothing else, but the command line also holds \"-u\""},
      {"/quiet -cu+ /status", "\"-cu+\""},
      {"/q /status -v list.txt", "\"-v\""},
      // A missing argument is never a success code.
      {"/quiet -ds+", "\"-ds+\" is not followed by its site"},
      {"/qn -cu+ -v", "\"-v\" is not followed by its version-list file"},
      {"/log C:\\a.log -lu", "\"-lu\" is not followed by its time"},
      {"/? -ds", "\"-ds\" is not followed by its site"},
      // One run, one log.
      {"/log a.log -cu+ /log b.log", "\"/log\" is given twice"},
      {"/LOG a.log /log a.log", "\"/log\" is given twice"},
      // The registration is all its run does.
      {"/registerevents -u", "\"/registerevents\" runs nothing else, but the command line also holds \"-u\""},
      {"/registerevents /status", "does not go with \"/status\""},
      {"/whatif /registerevents", "does not go with \"/whatif\""},
      {"/REGISTEREVENTS /noevents", "does not go with \"/noevents\""},
      {"/noevents /bogus", "\"/bogus\""},
  };
  for (const auto& c : cases) {
    const CommandLineReading reading = ReadCommandLine(c.commandLine.c_str());
    EXPECT_TRUE(reading.strict) << c.commandLine;
    EXPECT_NE(reading.refusal.find(c.named), std::string::npos) << c.commandLine << ": " << reading.refusal;
    EXPECT_TRUE(reading.steps.empty()) << c.commandLine;
    EXPECT_FALSE(reading.switches.help || reading.switches.quiet || reading.switches.log || reading.switches.whatIf ||
                 reading.switches.noEvents || reading.switches.registerEvents)
        << c.commandLine;
    const std::string line = RefusalLine(reading.refusal);
    EXPECT_EQ(line.find("ControlPanel: " + RefusalEvent(reading.refusal)), 0u) << line;
    EXPECT_NE(line.find("/?"), std::string::npos) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
  }
}

// Whether "/quiet" and "/noevents" were given is kept also for a refused
// command line, so that a run without standard output says its refusal in a
// box only when it was not asked to be quiet, and writes the refusal's record
// unless it was asked to leave the Event Log alone; a quoted switch is no
// switch.
TEST(ReadCommandLineTest, QuietAndNoEventsAreKnownAlsoWhenTheLineIsRefused) {
  const struct {
    const char* commandLine;
    bool refused;
    bool quiet;
    bool noEvents;
  } cases[] = {
      {"/quiet /bogus", true, true, false},      {"/bogus /QUIET -u", true, true, false},
      {"/status /bogus", true, false, false},    {"/quiet \"/quiet\"", true, true, false},
      {"/log \"/quiet\"", true, false, false},   {"/quiet -u", false, true, false},
      {"-u", false, false, false},               {"\"/quiet\" -u", false, false, false},
      {"/noevents /bogus", true, false, true},   {"/quiet -cu+ -x /NOEVENTS", true, true, true},
      {"\"/noevents\" /quiet", true, true, false}, {"/noevents -cu+", false, false, true},
  };
  for (const auto& c : cases) {
    const CommandLineReading reading = ReadCommandLine(c.commandLine);
    EXPECT_EQ(!reading.refusal.empty(), c.refused) << c.commandLine;
    EXPECT_EQ(reading.quietGiven, c.quiet) << c.commandLine;
    EXPECT_EQ(reading.noEventsGiven, c.noEvents) << c.commandLine;
  }
}

// A run may change the installation when it opens the window or runs an
// option that is no query; the Windows Event Log hears only such runs.
TEST(ReadCommandLineTest, OnlyARunThatMayChangeTheInstallationIsAudited) {
  const struct {
    const char* commandLine;
    bool mayChange;
  } cases[] = {
      {"", true},                  // the window
      {"/log C:\\a.log", true},    // the window, with a log
      {"-cu+", true},              {"x-cu+y", true},           {"-ip -u", true},
      {"-v list.txt -cu+", true},  {"/quiet -dr", true},       {"/noevents -u", true},  // the caller reads the switch
      {"-ip", false},              {"-v list.txt", false},     {"-ip -v list.txt", false},
      {"/quiet -ip", false},       {"/quiet -v list.txt", false},
      {"-ds+", false},             // its argument is missing: nothing runs
      {"/quiet", false},           // quiet without options: nothing runs
      {"/whatif -u", false},       {"/status", false},         {"/?", false},           {"-h", false},
      {"/registerevents", false},  {"/quiet -u /bogus", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MayChangeTheInstallation(ReadCommandLine(c.commandLine), c.commandLine), c.mayChange) << c.commandLine;
}

// A strictly read command line runs its options as the dispatcher runs the
// same options: a cut argument fails its option. (A missing argument, which
// ends the dispatcher's line, refuses a strict one.)
TEST(RunOptionStepsTest, RunsAsTheDispatcherRunsTheSameOptions) {
  const std::string longArgument(TokenBufferBytes + 10, 'a');
  for (const std::string& options :
       {std::string("-cu+ -lu 5"), std::string("-v list.txt -dr"), std::string("-lu ") + longArgument + " -cu",
        std::string("-ip -u -rcvr -r+ -r -dsd -ds x")}) {
    int32_t dispatched = 0;
    const std::vector<Call> dispatchedCalls = Dispatch(options.c_str(), &dispatched);
    const CommandLineReading reading = ReadCommandLine(("/quiet " + options).c_str());
    ASSERT_EQ(reading.refusal, "") << options;
    calls.clear();
    codeToSet = 12345;
    EXPECT_EQ(RunOptionSteps(reading.steps, Record), dispatched) << options;
    EXPECT_EQ(calls, dispatchedCalls) << options;
  }
}

}  // namespace

namespace {

TEST(StandardCodesTest, EachOptionsCodesAndOutcomesMapAsItsRowSays) {
  const struct {
    Option option;
    int32_t code;
    OptionOutcome outcome;
    int32_t standard;
  } cases[] = {
      {Option::Uninstall, 0, OptionOutcome::AsCoded, 0},
      {Option::Uninstall, -1, OptionOutcome::AsCoded, 1603},
      {Option::Uninstall, -1, OptionOutcome::RestartPending, 3010},
      {Option::Uninstall, 1, OptionOutcome::NoPlayer, 1605},
      {Option::Uninstall, 1, OptionOutcome::LockNotHad, 1618},
      {Option::Recover, 1, OptionOutcome::AsCoded, 0},
      {Option::Recover, 0, OptionOutcome::AsCoded, 1603},
      {Option::DeleteResources, 1, OptionOutcome::AsCoded, 0},
      {Option::DeleteResources, 0, OptionOutcome::AsCoded, 0},
      {Option::DeleteResources, 0, OptionOutcome::Failed, 1603},
      {Option::DeleteSiteList, -44, OptionOutcome::AsCoded, 1603},
      {Option::LeaveBeta, 1, OptionOutcome::NothingNeeded, 0},
      {Option::UpdateCheckOn, 1, OptionOutcome::AsCoded, 1603},
      // The options that report keep their own codes.
      {Option::Verify, 3, OptionOutcome::AsCoded, 3},
      {Option::InstallPath, QuietCode, OptionOutcome::AsCoded, QuietCode},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StandardCodeOf(c.option, c.code, c.outcome), c.standard)
        << RowOf(c.option).text << " " << c.code << " " << static_cast<int>(c.outcome);
  for (const OptionRow& row : OptionTable) EXPECT_EQ(StandardRowOf(row.option).option, row.option) << row.text;
}

TEST(StandardCodesTest, ALinesCodesCombineToTheMostUrgent) {
  const struct {
    std::vector<int32_t> codes;
    int32_t combined;
  } cases[] = {
      {{}, 0},
      {{1605, 1605}, 1605},
      {{0, 1605}, 0},
      {{1605, 3010}, 3010},
      {{3010, 1618}, 1618},
      {{1603, 1618, 3010}, 1603},
  };
  for (const auto& c : cases) EXPECT_EQ(CombinedStandardCode(c.codes), c.combined);
}

TEST(ReadCommandLineTest, StandardCodesAreASwitchKnownAlsoWhenTheLineIsRefused) {
  CommandLineReading reading = ReadCommandLine("-u /MsiCodes");
  EXPECT_TRUE(reading.strict);
  EXPECT_TRUE(reading.switches.standardCodes);
  EXPECT_TRUE(reading.refusal.empty());
  reading = ReadCommandLine("-u stray /msicodes");
  EXPECT_FALSE(reading.refusal.empty());
  EXPECT_TRUE(reading.standardCodesGiven);
  EXPECT_FALSE(ReadCommandLine("/status /msicodes").refusal.empty());
  EXPECT_NE(UsageText().find("/msicodes"), std::string::npos);
}

int32_t ActionCode(Option option) { return option == Option::DeleteResources ? 1 : 0; }

void ReportNoPlayerForTheCache(Option option, const char*, int32_t& resultCode, OptionOutcome& outcome) {
  resultCode = ActionCode(option);
  if (option == Option::UpdateCheckOn) outcome = OptionOutcome::NoPlayer;
}

TEST(RunOptionStepsTest, WithStandardCodesEachOptionRunsFromZeroAndTheCodesCombine) {
  const CommandLineReading reading = ReadCommandLine("/quiet -dr -cu+");
  EXPECT_EQ(RunOptionSteps(reading.steps, ReportNoPlayerForTheCache, false), 0) << "the last option's own code";
  EXPECT_EQ(RunOptionSteps(reading.steps, ReportNoPlayerForTheCache, true), 0) << "-dr acted";
  EXPECT_EQ(RunOptionSteps(ReadCommandLine("/quiet -cu+").steps, ReportNoPlayerForTheCache, true), 1605);
  EXPECT_EQ(RunOptionSteps(ReadCommandLine("/quiet -v x").steps, ReportNoPlayerForTheCache, true), 0)
      << "a line that only reports gives its own code";
}

}  // namespace
