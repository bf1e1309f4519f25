#include "toolkit/context.h"

#include <atomic>
#include <mutex>
#include <new>

// The context lock for the native test build: a mutex that lives while user
// references are held, counted as on Windows from -1.

namespace {

std::atomic<long> lockUsers{-1};
std::mutex* lockMutex = nullptr;

}  // namespace

void TakeContextLockReference() {
  if (++lockUsers == 0) lockMutex = new (std::nothrow) std::mutex;
}

void DropContextLockReference() {
  long users = --lockUsers;
  if (users >= 0) return;
  if (users < -1) ++lockUsers;  // an unmatched drop: stay at none
  delete lockMutex;
  lockMutex = nullptr;
}

bool ContextLockExists() { return lockMutex != nullptr; }

ContextLockGuard::ContextLockGuard() : held_(lockMutex != nullptr) {
  if (held_) lockMutex->lock();
}

ContextLockGuard::~ContextLockGuard() {
  if (held_) lockMutex->unlock();
}
