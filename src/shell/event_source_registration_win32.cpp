#include "shell/event_source_registration.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/system_path_win32.h"
#include "foundation/files/path_identity.h"
#include "foundation/log/operations_log.h"
#include "foundation/log/windows_event_log.h"
#include "installation/registry_key.h"

namespace {

constexpr const char* ApplicationLogKeyPath = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application";
constexpr const char* MessageFileValueName = "EventMessageFile";
constexpr const char* TypesValueName = "TypesSupported";
// EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE:
// the types the records have.
constexpr uint32_t SupportedTypes = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;

// The program's path by its long name, as it reads best in the registry.
std::wstring ProgramLongPath() {
  const std::wstring loaded = ProgramPath();
  const std::wstring longPath = ReadSystemPath(
      [&loaded](wchar_t* buffer, DWORD size) { return GetLongPathNameW(loaded.c_str(), buffer, size); });
  return longPath.empty() ? loaded : longPath;
}

// Whether key already names program with the records' types; *other, the
// file it names when that is another one.
bool NamesProgram(const RegistryKey& key, const std::wstring& program, std::wstring* other) {
  std::wstring named;
  uint32_t types = 0;
  if (!key.ReadWideString(MessageFileValueName, &named, true)) return false;
  // A message file is a file: "inside" it is only itself.
  if (!IsSameOrInside(named.c_str(), program.c_str())) {
    *other = named;
    return false;
  }
  return key.ReadNumber(TypesValueName, &types) && types == SupportedTypes;
}

}  // namespace

RegistrationOutcome RegisterProgramAsEventSource(std::string* said) {
  const std::wstring program = ProgramLongPath();
  const std::string as = " as the source \"" + std::string(EventSourceName) + "\" of the Windows Event Log";
  const std::string shownProgram = "the program " + Quoted(Utf8OfWide(program.c_str()).c_str());
  const std::string sourcePath = std::string(ApplicationLogKeyPath) + "\\" + EventSourceName;
  std::wstring other;
  {
    RegistryKey existing(RegistryView::System);
    if (existing.OpenForReading(sourcePath.c_str()) && NamesProgram(existing, program, &other)) {
      *said = shownProgram + " is registered" + as;
      return RegistrationOutcome::AsItWas;
    }
  }
  RegistryKey key(RegistryView::System);
  if (program.empty() || !key.Create(sourcePath.c_str()) || !key.SetExpandString(MessageFileValueName, program) ||
      !key.SetNumber(TypesValueName, SupportedTypes)) {
    const DWORD error = GetLastError();
    *said = "could not register " + shownProgram + as + ": " + Utf8OfAnsi(SystemErrorText(error).c_str());
    return RegistrationOutcome::NotMade;
  }
  *said = "registered " + shownProgram + as;
  if (!other.empty()) *said += " in place of " + Quoted(Utf8OfWide(other.c_str()).c_str());
  return RegistrationOutcome::Made;
}

void RegisterProgramBeforeFirstRecord() {
  std::string said;
  if (RegisterProgramAsEventSource(&said) == RegistrationOutcome::NotMade) LogEventUtf8(said);
}
