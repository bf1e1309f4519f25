#include "support/process_win32.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "support/temp_folder_win32.h"

namespace {

struct ProcessDeadline {
  HANDLE process;
  DWORD timeoutMs;
  bool ended;  // by itself, within the time
};

DWORD WINAPI EndAtDeadline(void* context) {
  auto* deadline = static_cast<ProcessDeadline*>(context);
  deadline->ended = WaitForSingleObject(deadline->process, deadline->timeoutMs) == WAIT_OBJECT_0;
  if (!deadline->ended) {
    TerminateProcess(deadline->process, 1);
    WaitForSingleObject(deadline->process, INFINITE);
  }
  return 0;
}

// A program started with its standard output on a pipe; readEnd and the
// process handles are closed by FinishProgram.
struct StartedProgram {
  bool started = false;
  std::unique_ptr<TempFolder> currentFolder;  // when the caller named none
  HANDLE readEnd = nullptr;
  HANDLE errors = INVALID_HANDLE_VALUE;  // a temporary file, gone once closed
  PROCESS_INFORMATION process = {};
};

// A file for the program's standard error, removed when the last handle on
// it is closed.
HANDLE NewErrorFile(SECURITY_ATTRIBUTES* inheritable) {
  char folder[MAX_PATH];
  char path[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "err", 0, path)) return INVALID_HANDLE_VALUE;
  return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadErrorFile(HANDLE file) {
  std::string text;
  if (file == INVALID_HANDLE_VALUE || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  return text;
}

std::wstring WideIn(UINT codePage, const std::string& text) {
  const int count = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], count);
  wide.resize(static_cast<size_t>(count - 1));
  return wide;
}

// utf8Arguments: arguments are UTF-8, and the program is started through
// CreateProcessW.
StartedProgram StartProgram(const std::string& program, const std::string& arguments,
                            const std::string& workingFolder, bool outputClosed = false, bool utf8Arguments = false) {
  StartedProgram started;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&started.readEnd, &writeEnd, &inheritable, 0)) return started;
  SetHandleInformation(started.readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  started.errors = NewErrorFile(&inheritable);
  startup.hStdError = started.errors != INVALID_HANDLE_VALUE ? started.errors : GetStdHandle(STD_ERROR_HANDLE);

  const std::string& current = CurrentFolderFor(workingFolder, started.currentFolder);
  std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (utf8Arguments) {
    STARTUPINFOW wideStartup = {};
    wideStartup.cb = sizeof wideStartup;
    wideStartup.dwFlags = startup.dwFlags;
    wideStartup.hStdInput = startup.hStdInput;
    wideStartup.hStdOutput = startup.hStdOutput;
    wideStartup.hStdError = startup.hStdError;
    std::wstring wideLine = L"\"" + WideIn(CP_ACP, program) + L"\"" +
                            (arguments.empty() ? L"" : L" " + WideIn(CP_UTF8, arguments));
    std::vector<wchar_t> mutableWide(wideLine.begin(), wideLine.end());
    mutableWide.push_back(L'\0');
    started.started = CreateProcessW(WideIn(CP_ACP, program).c_str(), mutableWide.data(), nullptr, nullptr, TRUE, 0,
                                     nullptr, WideIn(CP_ACP, current).c_str(), &wideStartup, &started.process);
  } else {
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    started.started = CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     current.c_str(), &startup, &started.process);
  }
  CloseHandle(writeEnd);
  if (outputClosed) {
    CloseHandle(started.readEnd);
    started.readEnd = nullptr;
  }
  return started;
}

ProgramRun FinishProgram(StartedProgram& started, uint32_t timeoutMs) {
  ProgramRun run;
  run.started = started.started;
  if (started.started) {
    // The program may never end (a box nobody answers): past the timeout it
    // is ended, which also ends the read below.
    ProcessDeadline deadline{started.process.hProcess, timeoutMs, false};
    HANDLE guard = CreateThread(nullptr, 0, EndAtDeadline, &deadline, 0, nullptr);
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(started.readEnd, chunk, sizeof chunk, &read, nullptr) && read > 0) run.output.append(chunk, read);
    if (guard) {
      WaitForSingleObject(guard, INFINITE);  // ends with the program or ends it
      CloseHandle(guard);
      run.ended = deadline.ended;
    } else {
      run.ended = WaitForSingleObject(started.process.hProcess, timeoutMs) == WAIT_OBJECT_0;
      if (!run.ended) TerminateProcess(started.process.hProcess, 1);
    }
    DWORD code = 0;
    GetExitCodeProcess(started.process.hProcess, &code);
    run.exitCode = static_cast<int32_t>(code);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
  }
  if (started.readEnd) CloseHandle(started.readEnd);
  run.errors = ReadErrorFile(started.errors);
  if (started.errors != INVALID_HANDLE_VALUE) CloseHandle(started.errors);
  return run;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments, const std::string& workingFolder,
                      uint32_t timeoutMs) {
  StartedProgram started = StartProgram(program, arguments, workingFolder);
  return FinishProgram(started, timeoutMs);
}

ProgramRun RunProgramUtf8(const std::string& program, const std::string& arguments, const std::string& workingFolder,
                          uint32_t timeoutMs) {
  StartedProgram started = StartProgram(program, arguments, workingFolder, false, true);
  return FinishProgram(started, timeoutMs);
}

std::vector<ProgramRun> RunProgramsTogether(const std::string& program, const std::vector<std::string>& argumentsList,
                                            uint32_t timeoutMs) {
  // Each program writes only its result code, far less than a pipe holds,
  // so none of them waits for its output to be read.
  std::vector<StartedProgram> started;
  for (const std::string& arguments : argumentsList) started.push_back(StartProgram(program, arguments, ""));
  std::vector<ProgramRun> runs;
  for (StartedProgram& one : started) runs.push_back(FinishProgram(one, timeoutMs));
  return runs;
}

std::string ThisProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string ControlPanelProgram() { return ThisProgramFolder() + "\\ControlPanel.exe"; }

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

ProgramRun RunPanel(const std::string& arguments, uint32_t timeoutMs) {
  ProgramRun run = RunProgram(ControlPanelProgram(), arguments, std::string(), timeoutMs);
  run.output = WithoutCarriageReturns(run.output);
  run.errors = WithoutCarriageReturns(run.errors);
  return run;
}

ProgramRun RunProgramWithClosedOutput(const std::string& program, const std::string& arguments) {
  StartedProgram started = StartProgram(program, arguments, std::string(), true);
  return FinishProgram(started, 60000);
}
