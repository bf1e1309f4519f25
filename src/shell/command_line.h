#pragma once
// The command line of option mode: splitting it into tokens and running each
// option, left to right, through the option table.

#include <cstdint>

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
