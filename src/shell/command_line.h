#pragma once
// The command line of option mode: splitting it into tokens and running each
// option, left to right, through the option table.

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// The dispatcher copies every token, option or argument, into one buffer of
// this size. A longer token is cut to TokenBufferBytes - 1 characters; the
// rest of it is passed over, so it never turns into tokens of its own.
constexpr uint32_t TokenBufferBytes = 2048;

// Result codes the entry point treats specially.
constexpr int32_t WindowModeCode = -999;  // no token at all: open the main window
constexpr int32_t QuietCode = -998;       // the option printed its own output

// Copies the next token of the command line at position into token (a buffer
// of TokenBufferBytes) and returns where the following call resumes, or none
// when no further non-empty token exists or an argument is missing.
// Tokens are separated by blanks (byte 32 only); a carriage return or line
// feed ends the command line. A token that starts with a double quote runs to
// the next double quote, and the returned position is that closing quote, so
// the text after it reads as another quoted token. cut, when given, is set
// to whether the token was longer than the buffer holds.
const char* NextToken(const char* position, char* token, bool* cut = nullptr);

// The text after the program's name in a process's whole command line
// (GetCommandLineW, as UTF-8): what the C runtime hands to WinMain, read
// from the wide form so that no character is lost to the ANSI code page.
// The name ends at the first blank or control character outside double
// quotes; what follows it up to the next other character is passed over.
// The console companion finds its own arguments in its wide command line by
// the same rule, so that it hands the program exactly what the program
// would have read after the companion's name.
template <typename Char>
const Char* AfterProgramName(const Char* wholeCommandLine) {
  constexpr Char Blank = ' ';
  constexpr Char Quote = '"';
  static const Char none[] = {0};
  if (!wholeCommandLine) return none;
  const auto isBlankOrControl = [](Char c) {
    return static_cast<std::make_unsigned_t<Char>>(c) <= static_cast<std::make_unsigned_t<Char>>(Blank);
  };
  const Char* position = wholeCommandLine;
  bool quoted = false;
  while (*position && (quoted || !isBlankOrControl(*position))) {
    if (*position == Quote) quoted = !quoted;
    ++position;
  }
  while (*position && isBlankOrControl(*position)) ++position;
  return position;
}

// The options, in the order the dispatcher tests them.
enum class Option {
  InstallPath,      // "-ip"
  Uninstall,        // "-u"
  Recover,          // "-rcvr"
  JoinBeta,         // "-r+"
  LeaveBeta,        // "-r"
  DeleteResources,  // "-dr"
  DeleteSiteList,   // "-dsd"
  AddSite,          // "-ds+" site
  RemoveSite,       // "-ds" site
  Verify,           // "-v" version-list file
  UpdateCheckOn,    // "-cu+"
  UpdateCheckOff,   // "-cu"
  LastUpdateTime,   // "-lu" time
};

// One row of the option table, which drives both the dispatcher and the
// usage text ("/?"): the option, its text, its argument (none: it takes
// none), whether the dispatcher tests it on its own rather than in the chain
// (only the first present option of the chain runs for a token), whether it
// may change the installation (a query, "-ip" or "-v", never does: its runs
// are no audit records in the Windows Event Log), and its result codes.
// Rows are in the dispatcher's order; an option that contains a shorter one
// ("-rcvr", "-r+", "-ds+", "-cu+") comes before it.
struct OptionRow {
  Option option;
  const char* text;
  const char* argument;
  bool testedAlone;
  bool changes;
  const char* results;
};
inline constexpr OptionRow OptionTable[] = {
    {Option::InstallPath, "-ip", nullptr, true, false,
     "prints the install path in double quotes, no line end; exit code -998 (nothing printed when the player is "
     "not installed)"},
    {Option::Uninstall, "-u", nullptr, true, true, "uninstall: 0 done, 1 failed or no player, -1/-2/-3 something was left"},
    {Option::Recover, "-rcvr", nullptr, false, true,
     "uninstall, then start the full installer: 1 started, 0 failed to start, 1 when the player or installer "
     "folder is missing"},
    {Option::JoinBeta, "-r+", nullptr, false, true, "join the public beta: 0 done, 1 not"},
    {Option::LeaveBeta, "-r", nullptr, false, true, "leave the public beta: 0 done, 1 not"},
    {Option::DeleteResources, "-dr", nullptr, false, true, "delete the resource cache: 1 when removed, else unchanged"},
    {Option::DeleteSiteList, "-dsd", nullptr, false, true,
     "delete the download-site list: 0 deleted, -44 could not delete, else unchanged"},
    {Option::AddSite, "-ds+", "site", false, true,
     "add a download site (\"Default\" is the default site): 1 when the list could not be written, else 0"},
    {Option::RemoveSite, "-ds", "site", false, true, "remove a download site: 1 when the list could not be written, else 0"},
    {Option::Verify, "-v", "version-list file", false, false,
     "verify the installed components: 0 all match, n the n-th listed component is missing or differs, -1 no "
     "player, -2 no file name, -3 unreadable list"},
    {Option::UpdateCheckOn, "-cu+", nullptr, false, true, "switch the update check on: 1 when the write failed, else unchanged"},
    {Option::UpdateCheckOff, "-cu", nullptr, false, true,
     "switch the update check off: 1 when the write failed, else unchanged"},
    {Option::LastUpdateTime, "-lu", "time", false, true,
     "set the time of the last update check: 1 when the write failed, else unchanged"},
};

// The row of option.
const OptionRow& RowOf(Option option);

// The switches of an unattended run. They begin with "/", contain no option
// text, and count only as whole unquoted tokens, in any case.
struct RunSwitches {
  bool help = false;    // "/?" or "/help": print the usage text, run nothing
  bool quiet = false;   // "/quiet" ("/q", "/qn"): no window or box; each box is written to standard error
  bool status = false;  // "/status": print the installation's state as JSON, run nothing else
  bool log = false;     // "/log FILE": append what the run does to FILE
  std::string logFile;  // the token after "/log"
  bool whatIf = false;  // "/whatif": change nothing; print each change the run would make
  bool noEvents = false;        // "/noevents": no record in the Windows Event Log
  bool registerEvents = false;  // "/registerevents": register the Event Log's source, run nothing else
  bool standardCodes = false;  // "/msicodes": the result code in the Windows Installer's terms (StandardCodeTable)
};

// One option of a strictly read command line, with its argument.
struct OptionStep {
  Option option;
  std::string argument;
  bool argumentMissing = false;  // none followed: the command line ends here
  bool argumentCut = false;      // longer than a token holds
};

// The result code of a command line that is refused: no option uses it.
// Its magnitude is the code Windows installers give for a command line they
// refuse; it is negative because "-v" reports any positive number.
constexpr int32_t RefusedCommandLineCode = -1639;

// What a command line asks for. A command line that uses none of the
// switches is read as it always was: options found by substring, anything
// else passed over (DispatchCommandLineWith). One that uses a switch is read
// strictly: every token must be a switch, a whole option of OptionTable
// (with case) or the argument that follows an option that takes one;
// anything else refuses the whole command line before anything runs. "/log"
// takes the next token as its file only when that token begins with neither
// "-" nor "/", and only once. Also refused: an option whose argument is
// missing, "/status" beside an option, and "/registerevents" beside an
// option or another switch than "/quiet" and "/log". A quoted token ends at
// its closing quote, and the next token starts after it. Alone on the command line, "-h",
// "--help" and "-?" ask for the usage text too.
//
// The command line is UTF-8 (read from its wide form); every rule above
// looks at ASCII bytes only, so it splits as the ANSI text of the same line.
struct CommandLineReading {
  bool strict = false;
  RunSwitches switches;
  std::vector<OptionStep> steps;  // strict: the options in their order
  std::string refusal;            // strict: why the command line is refused; empty when it is not
  bool quietGiven = false;        // "/quiet" stands on the command line, also when it is refused
  bool noEventsGiven = false;     // "/noevents" stands on it, also when it is refused
  bool standardCodesGiven = false;  // "/msicodes" stands on the command line, also when it is refused
};
CommandLineReading ReadCommandLine(const char* commandLine);

// What a refused command line's record says: what was refused and why.
std::string RefusalEvent(const std::string& refusal);
// The line on standard error for a refused command line: RefusalEvent, and
// where to read how a command line is written.
std::string RefusalLine(const std::string& refusal);

// Whether a run of the command line, as read, may change the installation:
// the window, or an option that is no query. A line that describes its
// changes ("/whatif"), prints the status, registers the program or asks
// for the usage text changes nothing; nor does a quiet one without options.
// A line without switches is dispatched with an action that runs nothing,
// which still reports an argument it cut: ask before anything listens.
bool MayChangeTheInstallation(const CommandLineReading& reading, const char* commandLine);

// The usage text: every option of OptionTable and the switches, one per line.
std::string UsageText();

// What an option found beside its result code: what the standard codes
// tell apart and the option's own codes do not (its "1" may mean "no
// player" or "not written"; "-dr" leaves the code as it was when it fails).
enum class OptionOutcome {
  AsCoded,         // the result code says it all
  NothingNeeded,   // nothing needed doing: the installation was already as asked
  NoPlayer,        // there is no player installation to act on; nothing was changed
  LockNotHad,      // another run held the settings lock past the wait; nothing was changed
  Failed,          // failed, whatever the code says
  RestartPending,  // done, but for what waits for the next restart to be removed
};

// Runs one option. argument is the token after the option for the options
// that take one, else none. The action updates the result code as its row of
// the option table says; an option that sets it only on failure leaves an
// earlier value in place. outcome comes in as AsCoded; the action sets it
// when the code alone does not say what happened.
typedef void (*OptionAction)(Option option, const char* argument, int32_t& resultCode, OptionOutcome& outcome);

// The standard codes ("/msicodes"): the codes of the Windows Installer, which
// deployment tools read without being told.
constexpr int32_t StandardSuccessCode = 0;         // done, or nothing needed doing
constexpr int32_t StandardRestartCode = 3010;      // done; the rest is removed at the next restart
constexpr int32_t StandardNotInstalledCode = 1605; // no player installation to act on
constexpr int32_t StandardBusyCode = 1618;         // another run holds the settings lock: try again later
constexpr int32_t StandardFailureCode = 1603;      // failed: something is neither done nor scheduled
constexpr int32_t StandardRefusedCode = 1639;      // the command line is refused

// How an option's own codes and outcomes map to the standard codes: an
// outcome other than AsCoded gives its own standard code (NothingNeeded 0,
// NoPlayer 1605, LockNotHad 1618, Failed 1603, RestartPending 3010);
// otherwise the codes in doneCodes give 0 and every other code 1603. An
// option that changes nothing (its OptionRow's changes: "-ip", "-v") keeps
// its own code and output. needsPlayer: without a component folder the
// option has nothing to act on (NoPlayer); "-r+" makes the player's key it
// writes to.
struct StandardCodeRow {
  Option option;
  bool needsPlayer;
  int32_t doneCodes[2];
  int doneCodeCount;
};
inline constexpr StandardCodeRow StandardCodeTable[] = {
    {Option::InstallPath, false, {}, 0},
    {Option::Uninstall, true, {0}, 1},
    {Option::Recover, true, {1}, 1},  // the installer was started
    {Option::JoinBeta, false, {0}, 1},
    {Option::LeaveBeta, true, {0}, 1},
    {Option::DeleteResources, true, {0, 1}, 2},  // 1 removed; 0 there was none
    {Option::DeleteSiteList, true, {0}, 1},      // deleted, or there was none
    {Option::AddSite, true, {0}, 1},
    {Option::RemoveSite, true, {0}, 1},
    {Option::Verify, false, {}, 0},
    {Option::UpdateCheckOn, true, {0}, 1},
    {Option::UpdateCheckOff, true, {0}, 1},
    {Option::LastUpdateTime, true, {0}, 1},
};

// The row of option in StandardCodeTable.
const StandardCodeRow& StandardRowOf(Option option);

// The standard code of one option that left resultCode (run from 0) and
// outcome; an option that changes nothing gives resultCode back.
int32_t StandardCodeOf(Option option, int32_t resultCode, OptionOutcome outcome);

// The standard code of a command line whose options changing the
// installation gave codes, in their order (none: the line changed nothing,
// 0): the first that ranks highest of 1603, 1618, 3010, 0, 1605. A failure
// needs a person, and a retry would not mend it; a run that found no player
// to act on for every option is 1605, but one option that acted makes the
// others' "no player" nothing to report (an uninstall before "-dr").
int32_t CombinedStandardCode(const std::vector<int32_t>& codes);

// The code an option reports when its argument was cut: its failure code
// of the option table. A cut site, time or file name names something else,
// so the option is not run at all. The same code reports a site or time that
// the ANSI code page of the player's settings files cannot hold.
int32_t CutArgumentCode(Option option);

// The code an option reports when it fails as a whole (memory ran out while
// it ran): its failure code of the option table, given that the code was
// resultCode before it ran. "-dr", whose failure leaves the code as it is,
// gives resultCode back; "-ip" prints nothing (QuietCode).
int32_t OptionFailureCode(Option option, int32_t resultCode);

// Runs every option of the command line with action and returns the final
// result code: WindowModeCode when there is no token, else the code the last
// option left (0 when no option touched it). Options are found by substring,
// with case: the token x-cu+y counts as "-cu+". A missing argument ends the
// command line at once, leaving the code as it is ("-v" sets -2 first). An
// option whose argument was cut is not run; the code becomes
// CutArgumentCode.
int32_t DispatchCommandLineWith(const char* commandLine, OptionAction action);

// Runs the options of a strictly read command line with action, in their
// order, and returns the code the last one left (0 when none touched it), as
// DispatchCommandLineWith does with the same options. With standardCodes,
// each option runs from the code 0 and the result is the standard code
// (CombinedStandardCode of the options that change the installation; a line
// of options that only report gives the last one's own code, as without it).
int32_t RunOptionSteps(const std::vector<OptionStep>& steps, OptionAction action, bool standardCodes = false);

// The program's own option actions.
int32_t DispatchCommandLine(const char* commandLine);
int32_t RunOptionSteps(const std::vector<OptionStep>& steps, bool standardCodes = false);
