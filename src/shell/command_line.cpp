#include "shell/command_line.h"

#include <cstring>

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

}  // namespace

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
