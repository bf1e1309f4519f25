// The settings lock over a named mutex.
#include "installation/settings_lock.h"

#include <windows.h>
#include <sddl.h>

#include <string>

#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"

namespace {

// What a waiter needs of the mutex: to wait for it and to release it.
constexpr DWORD WaiterAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;
// Everyone may wait for and release the mutex, whoever made it: an installer
// running as an administrator must not lock out the user's own runs.
constexpr const char* EveryoneMayWait = "D:(A;;0x00100001;;;WD)";
static_assert(WaiterAccess == 0x00100001, "the access the descriptor grants");

thread_local uint32_t misses = 0;

HANDLE OpenSettingsMutex() {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA(EveryoneMayWait, SDDL_REVISION_1, &descriptor, nullptr))
    attributes.lpSecurityDescriptor = descriptor;
  HANDLE mutex = CreateMutexExA(&attributes, SettingsLockName, 0, WaiterAccess);
  if (descriptor) LocalFree(descriptor);
  return mutex;
}

}  // namespace

SettingsLock::SettingsLock(uint32_t waitMs) {
  // A run that describes its changes makes none: it never waits for a run
  // that changes the installation, nor makes one wait.
  if (ChangesAreDescribed()) {
    held_ = true;
    return;
  }
  HANDLE mutex = OpenSettingsMutex();
  if (!mutex) {
    ++misses;
    Logf(LogEventKind::Refused, "refused: the settings lock cannot be had (error %lu)", static_cast<unsigned long>(GetLastError()));
    return;
  }
  // An abandoned mutex (its holder ended without releasing it) is ours now;
  // the files it guarded were replaced whole or not at all.
  DWORD waited = WaitForSingleObject(mutex, waitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    ++misses;
    Logf(LogEventKind::Refused, "refused: the settings lock was not had within %lu ms (another run is changing the installation)",
         static_cast<unsigned long>(waitMs));
    return;
  }
  mutex_ = mutex;
  held_ = true;
}

SettingsLock::~SettingsLock() {
  if (!mutex_) return;
  ReleaseMutex(static_cast<HANDLE>(mutex_));
  CloseHandle(static_cast<HANDLE>(mutex_));
}

uint32_t SettingsLockMisses() { return misses; }
