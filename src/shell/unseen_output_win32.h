#pragma once
// Runs that have no standard output: started from a shortcut or the Run box,
// or typed with ".exe" at a prompt, which neither waits for a window program
// nor shows what it prints. What such a run prints for a person to read (the
// usage text, the reason a command line is refused) is shown in a window
// instead, unless the run is quiet. Runs with a standard output print as
// always.

#include <string>

// Whether the process was given a standard output: a handle that is there
// and open (a console, a file, a pipe, or the null device).
bool HasStandardOutput();

// The usage window's title and the id of the control that holds its text.
constexpr char UsageWindowTitle[] = "Corvalent Control Panel: command line";
constexpr int UsageTextControlId = 100;

// The usage text in a window of its own, "Corvalent Control Panel: command
// line", sized to show the whole text in a fixed-pitch font (with scroll bars
// on a screen too small for it), with "OK"; OK, Enter, Escape and the close
// box close it. Returns once it is closed.
void ShowUsageWindow(const std::string& usage);

// The line that refuses a command line in a box: "Corvalent Control Panel",
// OK and the error icon, no owner.
void ShowRefusalBox(const std::string& refusalLine);
