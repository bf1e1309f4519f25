#include "toolkit/context.h"

#include <windows.h>

// The context lock over a Win32 auto-reset event: signalled means free,
// WaitForSingleObject takes it and SetEvent gives it back. The event lives
// while user references are held; the reference counter starts at -1.

namespace {

volatile LONG lockUsers = -1;
HANDLE lockEvent = nullptr;

}  // namespace

void TakeContextLockReference() {
  if (InterlockedIncrement(&lockUsers) == 0) {
    lockEvent = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  }
}

void DropContextLockReference() {
  LONG users = InterlockedDecrement(&lockUsers);
  if (users >= 0) return;
  // Without a matching reference the counter would stay below -1 and the
  // next first user would never create the event again.
  if (users < -1) InterlockedIncrement(&lockUsers);
  if (lockEvent) {
    CloseHandle(lockEvent);
    lockEvent = nullptr;
  }
}

bool ContextLockExists() { return lockEvent != nullptr; }

ContextLockGuard::ContextLockGuard()
    : held_(lockEvent && WaitForSingleObject(lockEvent, INFINITE) == WAIT_OBJECT_0) {}

ContextLockGuard::~ContextLockGuard() {
  if (held_) SetEvent(lockEvent);
}
