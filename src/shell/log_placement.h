#pragma once
// Where the log of a run may lie: never in what the run itself removes or
// rewrites, where it would change the run it records (an uninstall that
// cannot remove the folder holding the open log, a cache removal that takes
// the log with it, log lines appended into a settings file).

#include <string>
#include <vector>

#include "shell/command_line.h"

// Why a log at logFile (UTF-8, as typed) would damage a run of options (window mode: every
// command of the window), or empty when it may lie there. What each option
// removes or rewrites: "-u" and "-rcvr" the component folder, "-rcvr" the
// application folder too, "-dr" the folder "Resources" in it, the site and
// settings options their file and the temporary files of interrupted writes
// beside it; every run may write the control panel's settings beside the
// program.
// The refusal is UTF-8.
std::string LogPlacementRefusal(const std::string& logFile, const std::vector<Option>& options, bool windowMode);
