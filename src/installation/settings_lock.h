#pragma once
// The settings lock: one change at a time to the player's installation, from
// every process of every session. Installers, management agents and a person
// at the window may run the control panel several times at once; without it,
// two read-modify-writes of one file would each write back what they read,
// and one edit would be lost.
//
// Who holds it: everyone who reads, changes and writes back one of the
// settings files ("QFXDownloadSites.txt" and "QuillframeConfig.ini" in the
// component folder, "ControlPanelv306.ini" beside the program), deletes one,
// or uninstalls the player. It is held for the whole change, from reading
// "Component Path" to the last write or removal, so that no change lands in a
// folder another process is removing. Reading alone needs no lock: files are
// replaced whole, in one step.
//
// How it behaves:
// - Scoped: taken by the constructor, released by the destructor. Check
//   Held() before changing anything; when it is false, report the
//   operation's failure and change nothing.
// - Bounded: the constructor waits at most waitMs (SettingsLockWaitMs by
//   default, about 10 s) for another holder; past that Held() is false. A
//   window waiting here does not pump messages.
// - Never held while anything waits for a person: a question is asked before
//   the lock is taken, and a change that may show boxes keeps them until the
//   lock is let go (a DeferredBoxes declared before it, toolkit/
//   message_boxes_win32.h), so that no other run waits on a box left open.
// - A crashed holder never blocks anyone: it is a named mutex, which the
//   system gives up when its holder ends; the next waiter takes it over.
// - A run that describes its changes ("/whatif", what_if.h) changes nothing
//   and takes no lock: Held() is true at once.
// - Re-entrant within one thread (an operation that holds it may call one
//   that takes it again); another thread of the same process waits like
//   another process.

#include <cstdint>

// The mutex's name in the global namespace, shared by every session.
constexpr const char* SettingsLockName = "Global\\CorvalentControlPanel.Settings";
// How long a change waits for another one before it gives up.
constexpr uint32_t SettingsLockWaitMs = 10000;

class SettingsLock {
 public:
  explicit SettingsLock(uint32_t waitMs = SettingsLockWaitMs);
  ~SettingsLock();
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;

  // True when this owner holds the lock.
  bool Held() const { return held_; }

 private:
  void* mutex_ = nullptr;  // the mutex handle, open while held
  bool held_ = false;
};

// How many times a SettingsLock of this thread was not had (another run held
// it past the wait, or it could not be made). A caller that must tell "not
// had" from the other failures of an operation compares it before and after.
uint32_t SettingsLockMisses();
