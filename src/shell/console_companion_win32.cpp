// ControlPanel.com, the console companion of ControlPanel.exe. A window
// program typed at a prompt is not waited for: the shell shows nothing it
// prints and keeps a stale exit code. Typed as "ControlPanel" (cmd and
// PowerShell find ".com" before ".exe"), this console program runs
// ControlPanel.exe from its own folder with the same command line, lets it
// write to the same standard output and error, waits for it and exits with
// its exit code, all 32 bits. Everything the program does, it does itself:
// the companion only starts, relays and waits.
#include <windows.h>

#include <cstdint>
#include <string>

#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "shell/command_line.h"

namespace {

// The program, in the companion's own folder: never looked for elsewhere.
constexpr wchar_t ProgramName[] = L"ControlPanel.exe";

// Bytes the relay moves at a time.
constexpr DWORD RelayChunkBytes = 4096;

// The exit code when the program could not be run: the system's error as an
// HRESULT (0x8007xxxx, negative), which no option of the program gives.
int32_t NotRunCode(DWORD error) { return static_cast<int32_t>(HRESULT_FROM_WIN32(error)); }

void WriteError(const std::wstring& text) {
  HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(errors, &mode)) {
    WriteConsoleW(errors, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
  if (bytes <= 0) return;
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], bytes, nullptr, nullptr);
  WriteFile(errors, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
}

// Says on standard error why the program did not run, and gives its code.
int32_t NotRun(const std::wstring& what, DWORD error) {
  WriteError(L"ControlPanel: " + what + L": " + WideOfAnsi(SystemErrorText(error).c_str()) + L"\r\n");
  return NotRunCode(error);
}

// Ctrl+C, Ctrl+Break and the console's close leave the program alone: it is
// a window program, which gets no console signal, and finishes its step
// whatever happens to the companion. The companion keeps waiting for it while
// it can, so that the prompt comes back only once the program has ended.
BOOL WINAPI KeepWaiting(DWORD) { return TRUE; }

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// A console handle is usable only by a process attached to that console,
// which a window program is not (before Windows 8 it is not even a real
// handle). The program then writes into a pipe, and the companion relays
// what comes out of it to the console: the same bytes, in the same order.
class ConsoleRelay {
 public:
  ConsoleRelay() = default;
  // A read still under way is ended before its buffer goes.
  ~ConsoleRelay() {
    if (!pending_) return;
    CancelIo(readEnd_.Get());
    DWORD ignored = 0;
    GetOverlappedResult(readEnd_.Get(), &overlapped_, &ignored, TRUE);
  }
  ConsoleRelay(const ConsoleRelay&) = delete;
  ConsoleRelay& operator=(const ConsoleRelay&) = delete;

  // A pipe whose writing end the program inherits; false when it cannot be made.
  bool Open() {
    // Unique in the session: the companion's process id and a counter.
    static LONG pipes = 0;
    const std::wstring name = L"\\\\.\\pipe\\ControlPanel-console-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(InterlockedIncrement(&pipes));
    readEnd_.Reset(CreateNamedPipeW(name.c_str(),
                                    PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                    PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                    0, RelayChunkBytes, 0, nullptr));
    if (!readEnd_.IsOpen()) return false;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    writeEnd_.Reset(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inheritable, OPEN_EXISTING,
                                0, nullptr));
    readDone_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return writeEnd_.IsOpen() && readDone_.IsOpen();
  }

  HANDLE WriteEnd() const { return writeEnd_.Get(); }

  // Once the program has its copy, the companion's own is closed.
  void CloseWriteEnd() { writeEnd_.Reset(nullptr); }

  // Relays to console until process has ended and the pipe holds nothing
  // more of what it wrote; false when waiting failed.
  bool RelayUntilEnded(HANDLE process, HANDLE console) {
    bool ended = false;
    for (;;) {
      if (!pending_ && !StartRead()) return WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0;
      if (ended) {
        // Everything the program wrote is in the pipe already: what is
        // there is read, then the relay stops (a program it started may
        // hold the pipe open for longer).
        DWORD waiting = 0;
        if (!PeekNamedPipe(readEnd_.Get(), nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0) {
          // The read under way may have taken the last bytes already, or
          // take them while it is cancelled: what it got is passed on.
          CancelIo(readEnd_.Get());
          DWORD read = 0;
          if (GetOverlappedResult(readEnd_.Get(), &overlapped_, &read, TRUE)) Deliver(console, read);
          pending_ = false;
          return true;
        }
        WaitForSingleObject(readDone_.Get(), INFINITE);
      } else {
        const HANDLE waitFor[] = {readDone_.Get(), process};
        const DWORD woken = WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + 1) {
          ended = true;
          continue;
        }
        if (woken != WAIT_OBJECT_0) return false;
      }
      DWORD read = 0;
      pending_ = false;
      if (!GetOverlappedResult(readEnd_.Get(), &overlapped_, &read, FALSE))
        return WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0;
      Deliver(console, read);
    }
  }

 private:
  // Starts reading the next chunk; false when the pipe has broken (every
  // writer is gone).
  bool StartRead() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = readDone_.Get();
    ResetEvent(readDone_.Get());
    if (!ReadFile(readEnd_.Get(), chunk_, sizeof chunk_, nullptr, &overlapped_) &&
        GetLastError() != ERROR_IO_PENDING)
      return false;
    pending_ = true;
    return true;
  }

  void Deliver(HANDLE console, DWORD bytes) {
    DWORD done = 0;
    while (done < bytes) {
      DWORD written = 0;
      if (!WriteFile(console, chunk_ + done, bytes - done, &written, nullptr) || written == 0) return;
      done += written;
    }
  }

  OwnedHandle readEnd_;
  OwnedHandle writeEnd_;
  OwnedHandle readDone_;
  OVERLAPPED overlapped_ = {};
  bool pending_ = false;
  char chunk_[RelayChunkBytes];
};

int32_t RunProgram() {
  const std::wstring ownPath = ProgramPath();
  const size_t folderEnd = ownPath.find_last_of(L'\\');
  if (folderEnd == std::wstring::npos) return NotRun(L"cannot tell its own folder", GetLastError());
  const std::wstring program = ownPath.substr(0, folderEnd + 1) + ProgramName;

  SetConsoleCtrlHandler(KeepWaiting, TRUE);

  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  // Output and errors on the same console share one relay, so that their
  // lines keep their order.
  ConsoleRelay relay;
  const bool relayOutput = IsConsole(output);
  const bool relayErrors = IsConsole(errors);
  const HANDLE console = relayOutput ? output : errors;
  if ((relayOutput || relayErrors) && !relay.Open())
    return NotRun(L"cannot pass the console to " + program, GetLastError());

  STARTUPINFOW own = {};
  own.cb = sizeof own;
  GetStartupInfoW(&own);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | (own.dwFlags & STARTF_USESHOWWINDOW);
  startup.wShowWindow = own.wShowWindow;
  startup.hStdInput = IsConsole(input) ? nullptr : input;
  startup.hStdOutput = relayOutput ? relay.WriteEnd() : output;
  startup.hStdError = relayErrors ? relay.WriteEnd() : errors;
  // Handles given on are inheritable: a redirection's file or pipe may not be.
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    if (handle && handle != INVALID_HANDLE_VALUE) SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

  const std::wstring arguments = AfterProgramName(GetCommandLineW());
  std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &started))
    return NotRun(L"cannot start " + program, GetLastError());
  OwnedHandle process(started.hProcess);
  OwnedHandle thread(started.hThread);
  relay.CloseWriteEnd();

  const bool waited = relayOutput || relayErrors ? relay.RelayUntilEnded(process.Get(), console)
                                                 : WaitForSingleObject(process.Get(), INFINITE) == WAIT_OBJECT_0;
  DWORD exitCode = 0;
  if (!waited || !GetExitCodeProcess(process.Get(), &exitCode))
    return NotRun(L"cannot wait for " + program, GetLastError());
  return static_cast<int32_t>(exitCode);
}

}  // namespace

int main() {
  // What the program would not load, the companion does not either.
  RestrictLibrarySearch();
  return RunProgram();
}
