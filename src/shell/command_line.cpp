#include "shell/command_line.h"

#include <cctype>
#include <cstring>
#include <string>

#include "foundation/operations_log.h"

namespace {

constexpr char Blank = ' ';
constexpr char Quote = '"';

bool EndsCommandLine(char c) { return c == '\0' || c == '\r' || c == '\n'; }

bool Contains(const char* token, const char* option) { return strstr(token, option) != nullptr; }

// Which option of the chain a token selects, if any; "-ip" and "-u" are
// tested apart from the chain. Longer options come before the shorter ones
// they contain.
bool ChainOption(const char* token, Option* option) {
  if (Contains(token, "-rcvr")) {
    *option = Option::Recover;
  } else if (Contains(token, "-r")) {
    *option = Contains(token, "-r+") ? Option::JoinBeta : Option::LeaveBeta;
  } else if (Contains(token, "-dr")) {
    *option = Option::DeleteResources;
  } else if (Contains(token, "-dsd")) {
    *option = Option::DeleteSiteList;
  } else if (Contains(token, "-ds")) {
    *option = Contains(token, "-ds+") ? Option::AddSite : Option::RemoveSite;
  } else if (Contains(token, "-v")) {
    *option = Option::Verify;
  } else if (Contains(token, "-cu")) {
    *option = Contains(token, "-cu+") ? Option::UpdateCheckOn : Option::UpdateCheckOff;
  } else if (Contains(token, "-lu")) {
    *option = Option::LastUpdateTime;
  } else {
    return false;
  }
  return true;
}

bool TakesArgument(Option option) {
  return option == Option::AddSite || option == Option::RemoveSite || option == Option::Verify ||
         option == Option::LastUpdateTime;
}

bool IsSwitch(const char* token, const char* name) {
  for (; *token && *name; ++token, ++name)
    if (tolower(static_cast<unsigned char>(*token)) != *name) return false;
  return *token == *name;
}

}  // namespace

const OptionUsage OptionUsages[13] = {
    {Option::InstallPath, "-ip", nullptr,
     "prints the install path in double quotes, no line end; exit code -998 (nothing printed when the player is "
     "not installed)"},
    {Option::Uninstall, "-u", nullptr, "uninstall: 0 done, 1 failed or no player, -1/-2/-3 something was left"},
    {Option::Recover, "-rcvr", nullptr,
     "uninstall, then start the full installer: 1 started, 0 failed to start, 1 when the player or installer "
     "folder is missing"},
    {Option::JoinBeta, "-r+", nullptr, "join the public beta: 0 done, 1 not"},
    {Option::LeaveBeta, "-r", nullptr, "leave the public beta: 0 done, 1 not"},
    {Option::DeleteResources, "-dr", nullptr, "delete the resource cache: 1 when removed, else unchanged"},
    {Option::DeleteSiteList, "-dsd", nullptr, "delete the download-site list: 0 deleted, -44 could not delete, else unchanged"},
    {Option::AddSite, "-ds+", "site", "add a download site (\"Default\" is the default site): 1 when the list could "
     "not be written, else 0"},
    {Option::RemoveSite, "-ds", "site", "remove a download site: 1 when the list could not be written, else 0"},
    {Option::Verify, "-v", "version-list file",
     "verify the installed components: 0 all match, n the n-th listed component is missing or differs, -1 no "
     "player, -2 no file name, -3 unreadable list"},
    {Option::UpdateCheckOn, "-cu+", nullptr, "switch the update check on: 1 when the write failed, else unchanged"},
    {Option::UpdateCheckOff, "-cu", nullptr, "switch the update check off: 1 when the write failed, else unchanged"},
    {Option::LastUpdateTime, "-lu", "time", "set the time of the last update check: 1 when the write failed, else "
     "unchanged"},
};

void TakeRunSwitches(const char* commandLine, std::string& options, RunSwitches& switches) {
  options = commandLine ? commandLine : "";
  switches = RunSwitches{};
  char token[TokenBufferBytes];
  const char* position = options.c_str();
  // Blanked in place: the string's bytes do not move.
  auto blank = [&options](const char* from, const char* to) {
    for (char* c = &options[static_cast<size_t>(from - options.c_str())]; from < to; ++from, ++c) *c = Blank;
  };
  for (;;) {
    // Where NextToken's token starts: after the blanks it passes over.
    const char* start = position;
    while (*start == Blank) ++start;
    const char* next = NextToken(position, token);
    if (!next) break;
    const bool quoted = *start == Quote;
    bool* found = nullptr;
    if (!quoted && (IsSwitch(token, "/?") || IsSwitch(token, "/help"))) found = &switches.help;
    if (!quoted && IsSwitch(token, "/quiet")) found = &switches.quiet;
    if (!quoted && IsSwitch(token, "/status")) found = &switches.status;
    if (!quoted && IsSwitch(token, "/log")) {
      found = &switches.log;
      bool cut = false;
      const char* afterFile = NextToken(next, token, &cut);
      if (afterFile) {
        if (!cut) switches.logFile = token;
        // A quoted name's closing quote goes too; left, it would open a
        // quoted token that runs over the options after it.
        if (*afterFile == Quote) ++afterFile;
        next = afterFile;
      }
    }
    if (found) {
      *found = true;
      blank(start, next);
    }
    position = next;
  }
}

std::string UsageText() {
  std::string text =
      "ControlPanel.exe                  shows the main window; exit code 0 when it is closed\n"
      "ControlPanel.exe OPTION [ARG] ... runs the options left to right, prints the result code of the last\n"
      "                                  one and exits with it\n\n"
      "Options (found by substring in each token, with case):\n";
  for (const OptionUsage& usage : OptionUsages) {
    std::string name = std::string(usage.text) + (usage.argument ? std::string(" ") + usage.argument : "");
    if (name.size() < 24) name.resize(24, ' ');
    text += "  " + name + " " + usage.results + "\n";
  }
  text +=
      "\nSwitches (whole tokens, any case, taken off before the options run):\n"
      "  /? or /help              prints this text; exit code 0; nothing else runs\n"
      "  /quiet                   shows no message box: each is written to standard error as one line,\n"
      "                           \"caption: text\"; a run without options prints 0 and opens no window\n"
      "  /log FILE                appends what the run changes and refuses, its boxes and its result code\n"
      "                           (or the window's commands) to FILE, one UTF-8 line per event\n"
      "  /status                  prints the state of the installation as one JSON document; nothing else\n"
      "                           runs; exit code 0 when the document was written\n";
  return text;
}

const char* NextToken(const char* position, char* token, bool* cut) {
  if (cut) *cut = false;
  if (!position || !token || *position == '\0') return nullptr;
  while (*position == Blank) ++position;

  uint32_t copied = 0;
  auto copy = [&](char c) {
    // Characters past the buffer are passed over: the token is cut.
    if (copied < TokenBufferBytes - 1) token[copied] = c;
    ++copied;
  };
  if (*position == Quote) {
    ++position;
    while (!EndsCommandLine(*position) && *position != Quote) copy(*position++);
  } else {
    while (!EndsCommandLine(*position) && *position != Blank) copy(*position++);
  }
  token[copied < TokenBufferBytes - 1 ? copied : TokenBufferBytes - 1] = '\0';
  if (cut) *cut = copied > TokenBufferBytes - 1;
  return copied == 0 ? nullptr : position;
}

int32_t CutArgumentCode(Option option) {
  constexpr int32_t NotWrittenCode = 1;        // "-ds+", "-ds", "-lu"
  constexpr int32_t UnreadableListCode = -3;   // "-v"
  return option == Option::Verify ? UnreadableListCode : NotWrittenCode;
}

namespace {

void LogCutArgument(Option option) {
  for (const OptionUsage& usage : OptionUsages)
    if (usage.option == option)
      LogEvent(std::string("refused ") + usage.text + ": its " + usage.argument + " is longer than " +
               std::to_string(TokenBufferBytes - 1) + " characters, and cut it would name something else");
}

}  // namespace

int32_t DispatchCommandLineWith(const char* commandLine, OptionAction action) {
  char token[TokenBufferBytes];
  const char* position = NextToken(commandLine, token);
  if (!position) return WindowModeCode;

  int32_t resultCode = 0;
  while (position) {
    if (Contains(token, "-ip")) action(Option::InstallPath, nullptr, resultCode);
    if (Contains(token, "-u")) action(Option::Uninstall, nullptr, resultCode);

    Option option;
    if (ChainOption(token, &option)) {
      if (TakesArgument(option)) {
        if (option == Option::Verify) resultCode = -2;
        bool cut = false;
        position = NextToken(position, token, &cut);
        if (!position) return resultCode;
        if (cut) {
          LogCutArgument(option);
          resultCode = CutArgumentCode(option);
        } else {
          action(option, token, resultCode);
        }
      } else {
        action(option, nullptr, resultCode);
      }
    }
    position = NextToken(position, token);
  }
  return resultCode;
}
