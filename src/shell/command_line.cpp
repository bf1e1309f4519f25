#include "shell/command_line.h"

#include <cctype>
#include <cstring>
#include <string>

#include "foundation/core/status.h"
#include "foundation/log/operations_log.h"
#include "inventory/component_inventory.h"
#include "maintenance/uninstall.h"

namespace {

constexpr char Blank = ' ';
constexpr char Quote = '"';

bool EndsCommandLine(char c) { return c == '\0' || c == '\r' || c == '\n'; }

bool Contains(const char* token, const char* text) { return strstr(token, text) != nullptr; }

bool IsSwitch(const std::string& token, const char* name) {
  if (token.size() != strlen(name)) return false;
  for (size_t i = 0; i < token.size(); ++i)
    if (tolower(static_cast<unsigned char>(token[i])) != name[i]) return false;
  return true;
}

// The switches, without regard to case, and the field each sets.
constexpr struct {
  const char* name;
  bool RunSwitches::*field;
} Switches[] = {
    {"/?", &RunSwitches::help},        {"/help", &RunSwitches::help}, {"/quiet", &RunSwitches::quiet},
    {"/status", &RunSwitches::status}, {"/log", &RunSwitches::log},   {"/whatif", &RunSwitches::whatIf},
    {"/noevents", &RunSwitches::noEvents}, {"/registerevents", &RunSwitches::registerEvents},
    {"/msicodes", &RunSwitches::standardCodes},
    // What administrators type from the habit of Windows installers.
    {"/q", &RunSwitches::quiet},       {"/qn", &RunSwitches::quiet},
};

// The words that ask for the usage text when they stand alone, with case.
constexpr const char* HelpWords[] = {"-h", "--help", "-?"};

bool IsHelpWord(const std::string& token) {
  for (const char* word : HelpWords)
    if (token == word) return true;
  return false;
}

// One token of a strictly read command line.
struct Word {
  std::string text;
  bool quoted = false;
  bool cut = false;
};

// The tokens as NextToken splits them, except that a quoted token's closing
// quote is passed over, so the token after it starts where it seems to, and
// that an empty quoted token is a token too.
std::vector<Word> Words(const char* commandLine) {
  std::vector<Word> words;
  char token[TokenBufferBytes];
  const char* position = commandLine ? commandLine : "";
  for (;;) {
    while (*position == Blank) ++position;
    if (EndsCommandLine(*position)) break;
    Word word;
    word.quoted = *position == Quote;
    const char* next = NextToken(position, token, &word.cut);
    if (next) {
      word.text = token;
    } else {
      next = position + 1;  // "": the closing quote follows at once
    }
    if (word.quoted && *next == Quote) ++next;
    position = next;
    words.push_back(word);
  }
  return words;
}

const OptionRow* WholeOption(const std::string& token) {
  for (const OptionRow& row : OptionTable)
    if (token == row.text) return &row;
  return nullptr;
}

bool SetSwitch(const Word& word, RunSwitches& switches, bool* isLog) {
  if (word.quoted) return false;
  for (const auto& known : Switches) {
    if (IsSwitch(word.text, known.name)) {
      switches.*known.field = true;
      *isLog = known.field == &RunSwitches::log;
      return true;
    }
  }
  return false;
}

// Reads words strictly into reading; false, with the refusal, at the first
// word that is not a switch, an option or an option's argument.
bool ReadStrictly(const std::vector<Word>& words, CommandLineReading& reading) {
  for (size_t at = 0; at < words.size(); ++at) {
    const Word& word = words[at];
    bool isLog = false;
    const bool logBefore = reading.switches.log;
    if (SetSwitch(word, reading.switches, &isLog)) {
      if (!isLog) continue;
      if (logBefore) {
        reading.refusal = "\"/log\" is given twice; a run writes one log";
        return false;
      }
      if (at + 1 == words.size()) {
        reading.refusal = "\"/log\" names no file";
        return false;
      }
      const Word& file = words[++at];
      if (file.text.empty() || file.text[0] == '-' || file.text[0] == '/') {
        reading.refusal = "\"/log\" must be followed by its file name, not by " + Quoted(file.text.c_str());
        return false;
      }
      if (file.cut) {
        reading.refusal = "the file name after \"/log\" is longer than " + std::to_string(TokenBufferBytes - 1) +
                          " characters";
        return false;
      }
      reading.switches.logFile = file.text;
    } else if (IsHelpWord(word.text)) {
      reading.switches.help = true;
    } else if (const OptionRow* row = WholeOption(word.text)) {
      OptionStep step{row->option, std::string(), false, false};
      if (row->argument) {
        // Read strictly, a missing argument is a mistake of the line, never
        // the success code the option would otherwise leave.
        if (at + 1 == words.size()) {
          reading.refusal = Quoted(row->text) + " is not followed by its " + row->argument;
          return false;
        }
        step.argument = words[++at].text;
        step.argumentCut = words[at].cut;
      }
      reading.steps.push_back(step);
    } else {
      reading.refusal = Quoted(word.text.c_str()) + " is not an option, an option's argument or a switch";
      return false;
    }
  }
  // "/status" and "/registerevents" run nothing else: an option beside
  // them would seem to have run.
  const struct {
    bool given;
    const char* name;
  } alone[] = {{reading.switches.status, "/status"}, {reading.switches.registerEvents, "/registerevents"}};
  for (const auto& only : alone) {
    if (only.given && !reading.steps.empty()) {
      reading.refusal = Quoted(only.name) + " runs nothing else, but the command line also holds " +
                        Quoted(RowOf(reading.steps.front().option).text);
      return false;
    }
  }
  return true;
}

// Which option of the chain a token selects, if any: the first row of the
// chain whose text the token contains.
const OptionRow* ChainOption(const char* token) {
  for (const OptionRow& row : OptionTable)
    if (!row.testedAlone && Contains(token, row.text)) return &row;
  return nullptr;
}

// Why two switches of the line do not go together; empty when none.
std::string SwitchesThatDoNotGo(const RunSwitches& switches) {
  if (switches.status && switches.whatIf)
    return "\"/status\" changes nothing and runs nothing else: it does not go with \"/whatif\"";
  if (switches.status && switches.standardCodes)
    return "\"/status\" keeps its own codes: it does not go with \"/msicodes\"";
  // The registration is a change of its own, asked for on purpose.
  const struct {
    bool given;
    const char* name;
  } besideRegistration[] = {{switches.status, "/status"}, {switches.whatIf, "/whatif"}, {switches.noEvents, "/noevents"}};
  for (const auto& other : besideRegistration)
    if (switches.registerEvents && other.given)
      return "\"/registerevents\" registers the program for the Windows Event Log and runs nothing else: it does not "
             "go with " + Quoted(other.name);
  return std::string();
}

}  // namespace

const OptionRow& RowOf(Option option) {
  for (const OptionRow& row : OptionTable)
    if (row.option == option) return row;
  return OptionTable[0];
}

CommandLineReading ReadCommandLine(const char* commandLine) {
  CommandLineReading reading;
  const std::vector<Word> words = Words(commandLine);
  RunSwitches given;
  for (const Word& word : words) {
    bool isLog = false;
    reading.strict = SetSwitch(word, given, &isLog) || reading.strict;
  }
  reading.quietGiven = given.quiet;
  reading.noEventsGiven = given.noEvents;
  reading.standardCodesGiven = given.standardCodes;
  if (!reading.strict) {
    reading.switches.help = words.size() == 1 && IsHelpWord(words[0].text);
    return reading;
  }
  if (ReadStrictly(words, reading)) reading.refusal = SwitchesThatDoNotGo(reading.switches);
  if (!reading.refusal.empty()) {
    reading.switches = RunSwitches{};
    reading.steps.clear();
  }
  return reading;
}

std::string RefusalEvent(const std::string& refusal) {
  return "refused the command line: " + refusal + "; nothing was run";
}

std::string RefusalLine(const std::string& refusal) {
  return "ControlPanel: " + RefusalEvent(refusal) + " (see \"ControlPanel.exe /?\")\n";
}

namespace {

// The usage text's lines are at most this long, so that it reads in a
// console window and in the window that shows it without a standard output.
constexpr size_t UsageLineCharacters = 104;

// head followed by text, wrapped at blanks to UsageLineCharacters, each
// further line indented to where text began.
std::string WrappedUsageEntry(const std::string& head, const std::string& text) {
  std::string entry = head;
  size_t lineStart = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t wordEnd = text.find(' ', at);
    if (wordEnd == std::string::npos) wordEnd = text.size();
    const std::string word = text.substr(at, wordEnd - at);
    const bool lineHasWords = entry.size() > lineStart + head.size();
    if (lineHasWords && entry.size() - lineStart + 1 + word.size() > UsageLineCharacters) {
      entry += "\n";
      lineStart = entry.size();
      entry += std::string(head.size(), ' ');
    } else if (lineHasWords) {
      entry += ' ';
    }
    entry += word;
    at = wordEnd + 1;
  }
  return entry + "\n";
}

}  // namespace

std::string UsageText() {
  std::string text =
      "ControlPanel.exe                  shows the main window; exit code 0 when it is closed\n"
      "ControlPanel.exe OPTION [ARG] ... runs the options left to right, prints the result code of the last\n"
      "                                  one and exits with it\n\n"
      "Options (found by substring in each token, with case, when no switch is used):\n";
  for (const OptionRow& row : OptionTable) {
    std::string name = std::string(row.text) + (row.argument ? std::string(" ") + row.argument : "");
    if (name.size() < 24) name.resize(24, ' ');
    text += WrappedUsageEntry("  " + name + " ", row.results);
  }
  text +=
      "\nSwitches (whole tokens, any case):\n"
      "  /? or /help              prints this text; exit code 0; nothing else runs (also -h, --help or -?\n"
      "                           alone)\n"
      "  /quiet, /q or /qn        no window and no box of the program or of the system: each box is written\n"
      "                           to standard error as one line, \"caption: text\"; a run without options\n"
      "                           prints 0\n"
      "  /log FILE                appends what the run changes and refuses, its boxes and its result code\n"
      "                           (or the window's commands) to FILE, one UTF-8 line per event\n"
      "  /status                  prints the state of the installation as one JSON document; nothing else\n"
      "                           runs; exit code 0 when the document was written, 1 when not (the reason on\n"
      "                           standard error)\n"
      "  /whatif                  changes nothing: runs the options as far as reading goes and prints one\n"
      "                           line per change they would make, in the log's words (\"would remove folder\n"
      "                           ...\"), in order, then the result code the run would give; with /log the\n"
      "                           lines go to the log too; alone it prints \"would change nothing\" and 0\n"
      "  /msicodes                the result code as Windows installers give it: 0 done (or nothing to do),\n"
      "                           3010 done once the computer restarts (\"-u\" schedules what is in use),\n"
      "                           1605 no player, 1618 another run holds the settings, 1603 failed, 1639 the\n"
      "                           command line is refused; \"-ip\" and \"-v\" keep their own codes\n"
      "  /noevents                leaves the Windows Event Log alone: without it, each run of an option that\n"
      "                           can change the installation (all but -ip and -v), and each change of the\n"
      "                           window, writes its changes, failures, refusals and result code there\n"
      "                           (Application log, source \"Corvalent Control Panel\"; not /whatif)\n"
      "  /registerevents          registers the program as that source (administrator rights), so that the\n"
      "                           records show their texts; nothing else runs; exit code 0 when registered, 1\n"
      "                           when not (the reason on standard error)\n"
      "\nA command line that uses a switch is read strictly: every token must be a switch, a whole option (with\n"
      "case) or the argument after \"-ds+\", \"-ds\", \"-v\" or \"-lu\", which must be there. Quote a name with blanks.\n"
      "\"/status\" and \"/registerevents\" take no option beside them. \"/log\" comes once and takes the next token\n"
      "as its file only when it begins with neither \"-\" nor \"/\"; the log's missing folders are made. Files are\n"
      "reached by the names typed, also outside the ANSI code page; a site or time that the code page cannot\n"
      "hold is refused (without a switch, its option fails). A log that is, or lies inside, what the options\n"
      "remove or rewrite (the component folder or its \"Resources\", its settings files, the application folder,\n"
      "\"ControlPanelv306.ini\") is refused too. A refused command line runs nothing: one line on standard error\n"
      "and a record in the Windows Event Log say why, and the result code is " +
      std::to_string(RefusedCommandLineCode) + ".\n";
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

int32_t CutArgumentCode(Option option) { return OptionFailureCode(option, 0); }

int32_t OptionFailureCode(Option option, int32_t resultCode) {
  constexpr int32_t NotDoneCode = 1;          // the beta, the site list's and the update check's options
  constexpr int32_t NotStartedCode = 0;       // "-rcvr": the installer was not started
  switch (option) {
    case Option::InstallPath:
      return QuietCode;
    case Option::Uninstall:
      return UninstallStepFailed;
    case Option::Recover:
      return NotStartedCode;
    case Option::DeleteResources:
      return resultCode;
    case Option::DeleteSiteList:
      return StatusIoError;
    case Option::Verify:
      return VersionListUnusable;
    case Option::JoinBeta:
    case Option::LeaveBeta:
    case Option::AddSite:
    case Option::RemoveSite:
    case Option::UpdateCheckOn:
    case Option::UpdateCheckOff:
    case Option::LastUpdateTime:
      break;
  }
  return NotDoneCode;
}

namespace {

constexpr int32_t MissingListCode = -2;  // "-v" without its file

// Runs option with its argument (none for an option that takes none) as the
// dispatcher does. False when the command line ends here: the argument is
// missing.
bool RunStep(Option option, const char* argument, bool cut, OptionAction action, int32_t& resultCode,
             OptionOutcome& outcome) {
  outcome = OptionOutcome::AsCoded;
  const OptionRow& row = RowOf(option);
  if (!row.argument) {
    action(option, nullptr, resultCode, outcome);
    return true;
  }
  if (option == Option::Verify) resultCode = MissingListCode;
  if (!argument) return false;
  if (cut) {
    Logf(LogEventKind::Refused, "refused %s: its %s is longer than %u characters, and cut it would name something else", row.text,
         row.argument, static_cast<unsigned>(TokenBufferBytes - 1));
    resultCode = CutArgumentCode(option);
  } else {
    action(option, argument, resultCode, outcome);
  }
  return true;
}

// The standard codes from the least to the most urgent for a deployment tool.
constexpr int32_t StandardCodeRanks[] = {StandardNotInstalledCode, StandardSuccessCode, StandardRestartCode,
                                         StandardBusyCode, StandardFailureCode};

int RankOf(int32_t code) {
  for (size_t rank = 0; rank < sizeof StandardCodeRanks / sizeof StandardCodeRanks[0]; ++rank)
    if (StandardCodeRanks[rank] == code) return static_cast<int>(rank);
  return static_cast<int>(sizeof StandardCodeRanks / sizeof StandardCodeRanks[0]);
}

}  // namespace

int32_t DispatchCommandLineWith(const char* commandLine, OptionAction action) {
  char token[TokenBufferBytes];
  const char* position = NextToken(commandLine, token);
  if (!position) return WindowModeCode;

  int32_t resultCode = 0;
  OptionOutcome outcome = OptionOutcome::AsCoded;
  while (position) {
    for (const OptionRow& row : OptionTable)
      if (row.testedAlone && Contains(token, row.text)) {
        outcome = OptionOutcome::AsCoded;
        action(row.option, nullptr, resultCode, outcome);
      }
    if (const OptionRow* row = ChainOption(token)) {
      bool cut = false;
      const char* argument = nullptr;
      if (row->argument) {
        position = NextToken(position, token, &cut);
        if (position) argument = token;
      }
      if (!RunStep(row->option, argument, cut, action, resultCode, outcome)) return resultCode;
    }
    position = NextToken(position, token);
  }
  return resultCode;
}

namespace {

// What the dispatcher would run of a command line read as it always was.
bool changingOptionFound = false;
void NoteChangingOption(Option option, const char*, int32_t&, OptionOutcome&) {
  changingOptionFound = changingOptionFound || RowOf(option).changes;
}

}  // namespace

bool MayChangeTheInstallation(const CommandLineReading& reading, const char* commandLine) {
  const RunSwitches& switches = reading.switches;
  if (!reading.refusal.empty() || switches.help || switches.status || switches.whatIf || switches.registerEvents)
    return false;
  if (reading.strict) {
    // Switches without options open the window, unless the run is quiet.
    if (reading.steps.empty()) return !switches.quiet;
    for (const OptionStep& step : reading.steps)
      if (RowOf(step.option).changes) return true;
    return false;
  }
  changingOptionFound = false;
  return DispatchCommandLineWith(commandLine, NoteChangingOption) == WindowModeCode || changingOptionFound;
}

const StandardCodeRow& StandardRowOf(Option option) {
  for (const StandardCodeRow& row : StandardCodeTable)
    if (row.option == option) return row;
  return StandardCodeTable[0];
}

int32_t StandardCodeOf(Option option, int32_t resultCode, OptionOutcome outcome) {
  const StandardCodeRow& row = StandardRowOf(option);
  if (!RowOf(option).changes) return resultCode;
  switch (outcome) {
    case OptionOutcome::NothingNeeded:
      return StandardSuccessCode;
    case OptionOutcome::NoPlayer:
      return StandardNotInstalledCode;
    case OptionOutcome::LockNotHad:
      return StandardBusyCode;
    case OptionOutcome::Failed:
      return StandardFailureCode;
    case OptionOutcome::RestartPending:
      return StandardRestartCode;
    case OptionOutcome::AsCoded:
      break;
  }
  for (int at = 0; at < row.doneCodeCount; ++at)
    if (row.doneCodes[at] == resultCode) return StandardSuccessCode;
  return StandardFailureCode;
}

int32_t CombinedStandardCode(const std::vector<int32_t>& codes) {
  if (codes.empty()) return StandardSuccessCode;
  int32_t combined = codes.front();
  for (int32_t code : codes)
    if (RankOf(code) > RankOf(combined)) combined = code;
  return combined;
}

int32_t RunOptionSteps(const std::vector<OptionStep>& steps, OptionAction action, bool standardCodes) {
  int32_t resultCode = 0;
  OptionOutcome outcome = OptionOutcome::AsCoded;
  std::vector<int32_t> standard;  // the codes of the options that change the installation
  for (const OptionStep& step : steps) {
    // Read by the standard codes, each option's code is its own.
    if (standardCodes) resultCode = 0;
    if (!RunStep(step.option, step.argumentMissing ? nullptr : step.argument.c_str(), step.argumentCut, action,
                 resultCode, outcome))
      break;
    if (standardCodes && RowOf(step.option).changes)
      standard.push_back(StandardCodeOf(step.option, resultCode, outcome));
  }
  if (!standardCodes || standard.empty()) return resultCode;
  return CombinedStandardCode(standard);
}
