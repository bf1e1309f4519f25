// Fuzzes the command line: NextToken and the dispatcher with a recording
// action. The command line is a heap block of exactly the input's bytes and a
// terminator, and the token buffer one of exactly TokenBufferBytes, so
// AddressSanitizer reports any read or write past either. Every token must
// fit its buffer and be the start of the text it was copied from; the
// position returned must lie at the end of the whole token, so that the rest
// of a cut token never becomes tokens of its own; every call must move on,
// so every command line ends. Reading it strictly, when it uses a switch
// ("/quiet", "/log FILE", ...), either refuses it with a reason and no
// option, or lists whole options only, each argument a token of the line,
// none missing, and none beside "/status".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "shell/command_line.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "command_line_fuzz: %s\n", what);
  abort();
}

bool EndsToken(char c, bool quoted) {
  return c == '\0' || c == '\r' || c == '\n' || c == (quoted ? '"' : ' ');
}

// The tokens of commandLine, each checked against the text it came from.
std::vector<std::string> CheckedTokens(const char* commandLine) {
  std::unique_ptr<char[]> token(new char[TokenBufferBytes]);
  std::vector<std::string> tokens;
  const char* position = commandLine;
  while (true) {
    const char* start = position;
    if (*start != '\0') {
      while (*start == ' ') ++start;
    }
    const char* next = NextToken(position, token.get());
    if (!next) break;
    if (next <= position) Fail("NextToken did not move on");
    const size_t length = strnlen(token.get(), TokenBufferBytes);
    if (length == TokenBufferBytes) Fail("token not terminated within its buffer");
    const bool quoted = *start == '"';
    const char* text = quoted ? start + 1 : start;
    if (!EndsToken(*next, quoted)) Fail("position is not at the end of the token");
    const size_t whole = static_cast<size_t>(next - text);
    if (whole == 0) Fail("an empty token was returned");
    if (length != (whole < TokenBufferBytes - 1 ? whole : TokenBufferBytes - 1)) Fail("token has the wrong length");
    if (memcmp(token.get(), text, length) != 0) Fail("token is not the text it came from");
    tokens.emplace_back(token.get(), length);
    position = next;
  }
  return tokens;
}

struct Recorded {
  Option option;
  std::string argument;
  bool hasArgument;
};
std::vector<Recorded> recorded;

void RecordOption(Option option, const char* argument, int32_t& resultCode, OptionOutcome&) {
  if (argument && strnlen(argument, TokenBufferBytes) == TokenBufferBytes) Fail("argument not terminated");
  recorded.push_back(Recorded{option, argument ? argument : "", argument != nullptr});
  resultCode = static_cast<int32_t>(recorded.size());
}

bool TakesArgument(Option option) {
  return option == Option::AddSite || option == Option::RemoveSite || option == Option::Verify ||
         option == Option::LastUpdateTime;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  std::unique_ptr<char[]> commandLine(new char[size + 1]);
  memcpy(commandLine.get(), data, size);
  commandLine[size] = '\0';

  const CommandLineReading reading = ReadCommandLine(commandLine.get());
  if (!reading.refusal.empty() && (!reading.strict || !reading.steps.empty() || reading.switches.log))
    Fail("a refused command line must be strict and run nothing");
  if (reading.switches.log && reading.switches.logFile.size() >= TokenBufferBytes) Fail("log file name too long");
  for (const OptionStep& step : reading.steps) {
    if ((step.argumentMissing || !step.argument.empty() || step.argumentCut) && !TakesArgument(step.option))
      Fail("argument given to an option that takes none");
    if (step.argument.size() >= TokenBufferBytes) Fail("argument longer than a token");
    if (!step.argument.empty() && !strstr(commandLine.get(), step.argument.c_str()))
      Fail("argument is not text of the command line");
  }
  if (reading.strict && reading.refusal.empty()) {
    for (const OptionStep& step : reading.steps)
      if (step.argumentMissing) Fail("a strict command line was taken with an option's argument missing");
    if (reading.switches.status && !reading.steps.empty()) Fail("\"/status\" was taken beside an option");
    if (reading.switches.registerEvents &&
        (!reading.steps.empty() || reading.switches.status || reading.switches.whatIf || reading.switches.noEvents))
      Fail("\"/registerevents\" was taken beside an option or a switch it does not go with");
  }
  // The program's name is passed over within the line, never past its end.
  const char* afterName = AfterProgramName(commandLine.get());
  if (afterName < commandLine.get() || afterName > commandLine.get() + strlen(commandLine.get()))
    Fail("the text after the program's name lies outside the command line");
  std::vector<std::string> tokens = CheckedTokens(commandLine.get());

  recorded.clear();
  const int32_t code = DispatchCommandLineWith(commandLine.get(), RecordOption);
  if (tokens.empty()) {
    if (code != WindowModeCode || !recorded.empty()) Fail("no token must open the window and run nothing");
    return 0;
  }
  // At most "-ip", "-u" and one option of the chain per token.
  if (recorded.size() > 3 * tokens.size()) Fail("more options run than the tokens hold");
  // Each argument is a token, and the arguments come in the order of the tokens.
  size_t searchFrom = 0;
  for (const Recorded& r : recorded) {
    if (r.hasArgument != TakesArgument(r.option)) Fail("argument given to the wrong option");
    if (!r.hasArgument) continue;
    while (searchFrom < tokens.size() && tokens[searchFrom] != r.argument) ++searchFrom;
    if (searchFrom == tokens.size()) Fail("argument is not a token of the command line");
    ++searchFrom;
  }
  // The code is what the last action left, -2 from a "-v" whose argument is
  // missing, or the failure code of an option whose argument was cut (which
  // does not run): the command line held a token too long for the buffer.
  bool cutToken = false;
  for (const std::string& token : tokens) cutToken = cutToken || token.size() >= TokenBufferBytes - 1;
  const bool cutCode = code == CutArgumentCode(Option::Verify) || code == CutArgumentCode(Option::AddSite);
  if (code != static_cast<int32_t>(recorded.size()) && code != -2 && !(cutToken && cutCode))
    Fail("result code not the last one set");
  return 0;
}
