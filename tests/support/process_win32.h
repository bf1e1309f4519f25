#pragma once
// Starts a program, captures its standard output and reads its exit code on
// the Windows side, so that the whole signed 32-bit value is seen.

#include <cstdint>
#include <string>
#include <vector>

struct ProgramRun {
  bool started = false;
  std::string output;  // standard output, bytes as written
  std::string errors;  // standard error, bytes as written
  int32_t exitCode = 0;
  bool ended = false;  // by itself, before the timeout ended it
};

// Runs program with the command-line text after its name and waits for it
// (at most timeoutMs), in workingFolder as its current folder; empty: a fresh
// temporary folder, removed when the run ends, so that a file the program
// makes under a relative name never lands in the test's own folder.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& workingFolder = std::string(), uint32_t timeoutMs = 60000);

// RunProgram with the command-line text in UTF-8, started through the wide
// call, so that characters the ANSI code page cannot hold reach the program
// as typed (a person's command prompt does the same).
ProgramRun RunProgramUtf8(const std::string& program, const std::string& arguments,
                          const std::string& workingFolder = std::string(), uint32_t timeoutMs = 60000);

// Starts program once for each command-line text of argumentsList (each in
// a fresh temporary folder), every one before waiting for any, then waits for them all (each at most
// timeoutMs): several runs at the same time, as installers and management
// agents make them. The runs in the order of argumentsList.
std::vector<ProgramRun> RunProgramsTogether(const std::string& program, const std::vector<std::string>& argumentsList,
                                            uint32_t timeoutMs = 60000);

// RunProgram with a standard output whose reading end is closed before the
// program writes: every write to it fails.
ProgramRun RunProgramWithClosedOutput(const std::string& program, const std::string& arguments);

// The folder this test program lies in, with no trailing backslash.
std::string ThisProgramFolder();

// ControlPanel.exe of the same build, which lies beside the test programs.
std::string ControlPanelProgram();

// ControlPanel.exe of this build run with arguments (at most timeoutMs), its
// output and errors without carriage returns: what the tests compare line by
// line.
ProgramRun RunPanel(const std::string& arguments, uint32_t timeoutMs = 60000);

// Text with every carriage return removed: the C runtime writes a line end
// as CR LF, and tests compare what was printed line by line.
std::string WithoutCarriageReturns(std::string text);
