#pragma once
// The lock that guards the context tables: one process-wide lock, created
// with its first user reference and closed with its last. A failure to create
// it or to acquire it is not reported: the table is then used without it.
//
// context_lock_win32.cpp builds it from an auto-reset event;
// context_lock_host.cpp from a mutex for the native test build.

// Counts one user; the first one creates the lock.
void TakeContextLockReference();
// Counts one user less; below the last one the lock is closed. A drop without
// a matching reference closes nothing more and leaves the count at none.
void DropContextLockReference();
// True while the lock exists (some user reference is held).
bool ContextLockExists();

// Holds the lock for its lifetime, when the lock exists; released on every
// path out of the scope.
class ContextLockGuard {
 public:
  ContextLockGuard();
  ~ContextLockGuard();
  ContextLockGuard(const ContextLockGuard&) = delete;
  ContextLockGuard& operator=(const ContextLockGuard&) = delete;

 private:
  bool held_;
};
