#pragma once
// The command line of option mode: splitting it into tokens and running each
// option, left to right, through the option table.

#include <cstdint>
#include <string>

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

// Every option as the usage text ("/?") shows it: its text, its argument
// (none: it takes none) and its result codes, in the dispatcher's order.
struct OptionUsage {
  Option option;
  const char* text;
  const char* argument;
  const char* results;
};
extern const OptionUsage OptionUsages[13];

// The switches of a run, which begin with "/" and contain no option text:
// matched as whole unquoted tokens, without regard to case, and taken off
// the command line before its options are dispatched.
struct RunSwitches {
  bool help = false;    // "/?" or "/help": print the usage text, run nothing
  bool quiet = false;   // "/quiet": no message box; each is written to standard error
  bool status = false;  // "/status": print the installation's state as JSON, run nothing else
  bool log = false;     // "/log FILE": append what the run does to FILE
  // The token after "/log"; empty when none follows or it was longer than a
  // token holds (a cut name would name some other file).
  std::string logFile;
};

// Finds the switches of commandLine into switches and blanks them out of
// options, a copy of commandLine that the dispatcher then reads: every other
// byte stays where it was, so the options read as they would without the
// switches. The argument of "/log" goes with it, closing quote included, so
// that a file name such as C:\logs\run-u.txt is never read as an option.
void TakeRunSwitches(const char* commandLine, std::string& options, RunSwitches& switches);

// The usage text: every option of OptionUsages and the switches, one per line.
std::string UsageText();

// Runs one option. argument is the token after the option for the options
// that take one, else none. The action updates the result code as its row of
// the option table says; an option that sets it only on failure leaves an
// earlier value in place.
typedef void (*OptionAction)(Option option, const char* argument, int32_t& resultCode);

// The code an option reports when its argument was cut: its failure code
// of the option table. A cut site, time or file name names something else,
// so the option is not run at all.
int32_t CutArgumentCode(Option option);

// Runs every option of the command line with action and returns the final
// result code: WindowModeCode when there is no token, else the code the last
// option left (0 when no option touched it). Options are found by substring,
// with case: the token x-cu+y counts as "-cu+". A missing argument ends the
// command line at once, leaving the code as it is ("-v" sets -2 first). An
// option whose argument was cut is not run; the code becomes
// CutArgumentCode.
int32_t DispatchCommandLineWith(const char* commandLine, OptionAction action);

// DispatchCommandLineWith the program's own option actions.
int32_t DispatchCommandLine(const char* commandLine);
