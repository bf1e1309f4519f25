#include "installation/settings_lock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/core/what_if.h"

namespace {

struct Attempt {
  uint32_t waitMs;
  bool held;
};

DWORD WINAPI TryTheLock(void* context) {
  Attempt* attempt = static_cast<Attempt*>(context);
  SettingsLock lock(attempt->waitMs);
  attempt->held = lock.Held();
  return 0;
}

// Takes the lock and ends holding it, as a program that crashed.
DWORD WINAPI TakeAndEnd(void*) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, SettingsLockName);
  if (mutex) WaitForSingleObject(mutex, INFINITE);
  return 0;
}

// Tries the lock on another thread, as another program would, waiting at
// most waitMs; true when it was held there.
bool TakenElsewhere(uint32_t waitMs) {
  Attempt attempt{waitMs, false};
  HANDLE thread = CreateThread(nullptr, 0, TryTheLock, &attempt, 0, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return attempt.held;
}

TEST(SettingsLockTest, OneHolderAtATimeAndReentrantWithinAThread) {
  {
    SettingsLock outer;
    ASSERT_TRUE(outer.Held());
    {
      SettingsLock inner(0);  // the same thread takes it again at once
      EXPECT_TRUE(inner.Held());
    }
    // Still held after the inner owner let go.
    EXPECT_FALSE(TakenElsewhere(50));
  }
  EXPECT_TRUE(TakenElsewhere(0));
}

// A run that describes its changes ("/whatif") changes nothing: it holds
// the lock at once and leaves it to the runs that change the installation.
TEST(SettingsLockTest, ARunThatDescribesItsChangesTakesNone) {
  DescribeChanges(true);
  {
    SettingsLock described(0);
    EXPECT_TRUE(described.Held());
    DescribeChanges(false);
    EXPECT_TRUE(TakenElsewhere(0)) << "another run is not kept waiting";
  }
  DescribeChanges(false);
}

TEST(SettingsLockTest, AHolderThatEndedWithoutLettingGoIsTakenOver) {
  HANDLE thread = CreateThread(nullptr, 0, TakeAndEnd, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  SettingsLock lock(0);
  EXPECT_TRUE(lock.Held());
}

}  // namespace
