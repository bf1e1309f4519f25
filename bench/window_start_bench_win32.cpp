// The start of window mode: from starting the program to its main window
// shown, for ControlPanel.exe and for the floor, a program that shows an
// empty toolkit dialog the same way (empty_dialog_win32.cpp). Each round
// starts both, the one or the other first by turns, waits for the window by
// its title, closes it and waits for the program to end.
//
//   window_start_bench <ControlPanel.exe> <empty_dialog.exe> [rounds]
//
// Prints the median milliseconds of each and the median of the per-round
// ratios, so that a machine that is busy for a while slows both alike.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "version_floor_win32.h"

namespace {

// Milliseconds from the start of program to its visible window titled
// title, or -1 when it did not come within 30 s or did not end with 0.
double TimeToWindow(const std::string& program, const char* title) {
  std::string commandLine = "\"" + program + "\"";
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  double start = Seconds();
  if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  HWND window = nullptr;
  double shown = 0;
  while (Seconds() - start < 30) {
    window = FindWindowA(nullptr, title);
    if (window && IsWindowVisible(window)) {
      shown = Seconds();
      break;
    }
    Sleep(1);
  }
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD code = 1;
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return shown > 0 && code == 0 ? (shown - start) * 1000 : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: window_start_bench <ControlPanel.exe> <empty_dialog.exe> [rounds]\n");
    return 2;
  }
  const int rounds = argc > 3 ? atoi(argv[3]) : 21;
  std::vector<double> panel, floor, ratios;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      bool floorTurn = (round + turn) % 2 == 0;
      double ms = floorTurn ? TimeToWindow(argv[2], "Empty Toolkit Dialog")
                            : TimeToWindow(argv[1], "Corvalent Control Panel 3.0.6.0");
      if (ms < 0) {
        fprintf(stderr, "window_start_bench: no window in round %d\n", round + 1);
        return 1;
      }
      (floorTurn ? floor : panel).push_back(ms);
    }
    ratios.push_back(panel.back() / floor.back());
  }
  printf("rounds                              %d\n", rounds);
  printf("ControlPanel.exe, start to window   %.1f ms\n", Median(panel));
  printf("empty toolkit dialog, the same      %.1f ms\n", Median(floor));
  printf("ratio, median of the rounds          %.2f\n", Median(ratios));
  return 0;
}
