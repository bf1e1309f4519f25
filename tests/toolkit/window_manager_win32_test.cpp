#include "toolkit/window_manager_win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/toolkit_windows_win32.h"
#include "toolkit/application.h"
#include "toolkit/context.h"
#include "toolkit/dialogs_win32.h"

namespace {

class WindowManagerWin32Test : public ToolkitWindowTest {};

typedef std::vector<EventKind> Kinds;

TEST(WindowManagerOpeningWin32Test, NeedsAContextAndCountsItsOpenings) {
  EXPECT_FALSE(OpenWindowManager());  // no context yet
  EXPECT_EQ(CurrentWindowManager(), nullptr);
  EXPECT_FALSE(CloseWindowManager());

  ASSERT_TRUE(ToolkitStartUp(GetModuleHandleA(nullptr)));
  ASSERT_TRUE(OpenWindowManager());
  WindowManager* manager = CurrentWindowManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->Valid(), 1);
  EXPECT_EQ(manager->Count(), 0);
  EXPECT_TRUE(SlotInUse(WindowManagerSlot));
  ASSERT_TRUE(OpenWindowManager());
  EXPECT_EQ(CurrentWindowManager(), manager);
  EXPECT_TRUE(CloseWindowManager());
  EXPECT_EQ(CurrentWindowManager(), manager);
  EXPECT_TRUE(CloseWindowManager());
  EXPECT_EQ(CurrentWindowManager(), nullptr);
  EXPECT_FALSE(SlotInUse(WindowManagerSlot));
  EXPECT_FALSE(CloseWindowManager());
  ToolkitShutDown();
}

TEST_F(WindowManagerWin32Test, OpenedEventOpensTheWindow) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  bool openDuringEvent = true;
  log->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind == EventOpened) openDuringEvent = FindWindowEntry(manager, w)->open;
  };
  ASSERT_TRUE(RegisterWindow(manager, window, nullptr, LoggingCallback, log, 10, false, false));
  ASSERT_EQ(log->Count(EventOpened), 1u);
  EXPECT_FALSE(openDuringEvent);
  const EventRecord& record = log->Last(EventOpened)->record;
  EXPECT_EQ(record.window, window);
  EXPECT_EQ(record.event.source, nullptr);
  EXPECT_EQ(record.event.kind, EventOpened);
  EXPECT_EQ(record.event.userData, log);
  EXPECT_EQ(record.message.window, nullptr);
  EXPECT_EQ(record.message.number, 0u);

  WindowEntry* entry = FindWindowEntry(manager, window);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->open, 1);
  EXPECT_EQ(entry->closing, 0);
  EXPECT_EQ(entry->tickInterval, 10);
  EXPECT_EQ(entry->lastTick, 0u);
  EXPECT_EQ(entry->parent, nullptr);
  EXPECT_EQ(WindowUserData(manager, window), log);
  EXPECT_EQ(manager->Count(), 1);
}

TEST_F(WindowManagerWin32Test, RegistrationRefusals) {
  HWND window = NewDialog();
  HWND other = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, window, log));
  size_t events = log->events.size();
  const struct {
    const char* name;
    bool result;
  } cases[] = {
      {"no manager", RegisterWindow(nullptr, other, nullptr, LoggingCallback, log, -1, false, false)},
      {"no window", RegisterWindow(manager, nullptr, nullptr, LoggingCallback, log, -1, false, false)},
      {"no callback", RegisterWindow(manager, other, nullptr, nullptr, log, -1, false, false)},
      {"registered twice", RegisterWindow(manager, window, nullptr, LoggingCallback, log, -1, false, false)},
      {"own parent", RegisterWindow(manager, other, other, LoggingCallback, log, -1, false, false)},
  };
  for (const auto& c : cases) EXPECT_FALSE(c.result) << c.name;
  EXPECT_EQ(log->events.size(), events);
  EXPECT_EQ(manager->Count(), 1);
  DestroyWindow(other);
}

TEST_F(WindowManagerWin32Test, ParentChainMayNotLeadBackToTheWindow) {
  HWND first = NewDialog();
  HWND second = NewDialog();
  HWND third = NewDialog();
  EventLog* log = NewLog();
  // first's parent is third, which is registered later over second.
  ASSERT_TRUE(RegisterLogged(manager, first, log, third));
  ASSERT_TRUE(RegisterLogged(manager, second, log, first));
  EXPECT_FALSE(RegisterLogged(manager, third, log, second));
  EXPECT_EQ(manager->Count(), 2);
  // Unregistering still ends: children first.
  EXPECT_TRUE(UnregisterWindow(manager, first));
  EXPECT_EQ(log->Kinds(), (Kinds{EventOpened, EventOpened, EventClosing, EventClosing}));
  EXPECT_EQ(log->events[2].window, second);
  EXPECT_EQ(log->events[3].window, first);
  DestroyWindow(third);
}

TEST_F(WindowManagerWin32Test, HundredWindowsAtMost) {
  EventLog* log = NewLog();
  for (int i = 0; i < WindowManager::Capacity; ++i) {
    HWND window = NewDialog(DialogKindPlain, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(RegisterLogged(manager, window, log)) << i;
  }
  EXPECT_EQ(manager->Count(), 100);
  HWND extra = NewDialog(DialogKindPlain, 0, 0, 10, 10);
  size_t events = log->events.size();
  EXPECT_FALSE(RegisterLogged(manager, extra, log));
  EXPECT_EQ(log->events.size(), events);  // no event for the 101st
  EXPECT_EQ(FindWindowEntry(manager, extra), nullptr);
  DestroyWindow(extra);
  // Closing the manager unregisters them all, each closed by its callback.
  HWND last = WindowAt(manager, 99);
  EXPECT_TRUE(CloseWindowManager());
  manager = nullptr;
  EXPECT_EQ(log->Count(EventClosing), 100u);
  EXPECT_FALSE(IsWindow(last));
}

TEST_F(WindowManagerWin32Test, RefusedOpenedEventUnregistersAtOnce) {
  HWND parent = NewDialog();
  HWND window = NewDialog();
  EventLog* log = NewLog();
  log->answers[EventOpened] = AnswerHandled;
  EXPECT_FALSE(RegisterLogged(manager, window, log, parent, 10, true));
  EXPECT_EQ(log->Kinds(), (Kinds{EventOpened, EventClosing}));
  EXPECT_EQ(FindWindowEntry(manager, window), nullptr);
  EXPECT_EQ(manager->Count(), 0);
  EXPECT_FALSE(IsWindow(window));  // closed by the callback
  EXPECT_TRUE(IsWindowEnabled(parent));
  DestroyWindow(parent);
}

TEST_F(WindowManagerWin32Test, OpenedEventThatUnregistersItsWindowFailsTheRegistration) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  log->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind == EventOpened) UnregisterWindow(manager, w);
  };
  EXPECT_FALSE(RegisterLogged(manager, window, log));
  EXPECT_EQ(log->Kinds(), (Kinds{EventOpened, EventClosing}));
  EXPECT_EQ(manager->Count(), 0);
}

TEST_F(WindowManagerWin32Test, ParentIsDisabledWhileTheDialogIsRegistered) {
  HWND main = NewDialog();
  HWND dialog = NewDialog(DialogKindSystemMenu, 0, 0, 100, 100, main);
  EventLog* log = NewLog();
  bool parentEnabledBeforeDestroy = false;
  log->closeOnClosing = false;
  log->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind != EventClosing || w != dialog) return;
    // CloseToolkitWindow enables the parent before it destroys the window.
    parentEnabledBeforeDestroy = false;
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(CloseToolkitWindow(manager, w));
    parentEnabledBeforeDestroy = IsWindowEnabled(main) != FALSE;
  };
  ASSERT_TRUE(RegisterLogged(manager, main, log));
  ASSERT_TRUE(RegisterLogged(manager, dialog, log, main, 10, true));
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_TRUE(UnregisterWindow(manager, dialog));
  EXPECT_TRUE(parentEnabledBeforeDestroy);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindow(main));  // unregistering never destroys a window itself
  DestroyWindow(main);
}

TEST_F(WindowManagerWin32Test, ChildrenAreUnregisteredBeforeTheirParent) {
  HWND main = NewDialog();
  HWND dialog = NewDialog(DialogKindSystemMenu, 0, 0, 100, 100, main);
  HWND inner = NewDialog(DialogKindSystemMenu, 0, 0, 50, 50, dialog);
  HWND sibling = NewDialog(DialogKindSystemMenu, 0, 0, 50, 50, main);
  HWND unrelated = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, main, log));
  ASSERT_TRUE(RegisterLogged(manager, dialog, log, main, 10, true));
  ASSERT_TRUE(RegisterLogged(manager, unrelated, log));
  ASSERT_TRUE(RegisterLogged(manager, inner, log, dialog, 10, true));
  ASSERT_TRUE(RegisterLogged(manager, sibling, log, main, 10, true));
  log->events.clear();
  std::vector<bool> closingMarks;
  log->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind == EventClosing) closingMarks.push_back(FindWindowEntry(manager, w)->closing != 0);
  };
  EXPECT_TRUE(UnregisterWindow(manager, main));
  EXPECT_EQ(log->WindowsOf(EventClosing), (std::vector<HWND>{inner, dialog, sibling, main}));
  EXPECT_EQ(closingMarks, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(manager->Count(), 1);
  EXPECT_EQ(WindowAt(manager, 0), unrelated);
}

TEST_F(WindowManagerWin32Test, UnknownWindowStillLosesItsChildren) {
  HWND stranger = NewDialog();
  HWND child = NewDialog(DialogKindSystemMenu, 0, 0, 50, 50, stranger);
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, child, log, stranger));
  EXPECT_FALSE(UnregisterWindow(manager, stranger));
  EXPECT_EQ(log->Kinds(), (Kinds{EventOpened, EventClosing}));
  EXPECT_EQ(manager->Count(), 0);
  EXPECT_FALSE(UnregisterWindow(manager, nullptr));
  EXPECT_FALSE(UnregisterWindow(nullptr, stranger));
  DestroyWindow(stranger);
}

TEST_F(WindowManagerWin32Test, ClosingEventMayRegisterAndUnregisterOthers) {
  HWND first = NewDialog();
  HWND second = NewDialog();
  HWND replacement = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, first, log));
  ASSERT_TRUE(RegisterLogged(manager, second, log));
  log->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind != EventClosing || w != first) return;
    EXPECT_FALSE(UnregisterWindow(manager, first));  // already on its way out
    EXPECT_TRUE(UnregisterWindow(manager, second));
    EXPECT_TRUE(RegisterLogged(manager, replacement, log));
  };
  EXPECT_TRUE(UnregisterWindow(manager, first));
  EXPECT_EQ(manager->Count(), 1);
  EXPECT_EQ(WindowAt(manager, 0), replacement);
  EXPECT_EQ(log->KindsOf(first), (Kinds{EventOpened, EventClosing}));
  EXPECT_EQ(log->KindsOf(second), (Kinds{EventOpened, EventClosing}));
}

TEST_F(WindowManagerWin32Test, EntriesByIndex) {
  EXPECT_EQ(WindowAt(manager, 0), nullptr);
  EXPECT_EQ(WindowEntryAt(manager, 0), nullptr);
  HWND windows[3];
  EventLog* log = NewLog();
  for (HWND& window : windows) {
    window = NewDialog();
    ASSERT_TRUE(RegisterLogged(manager, window, log));
  }
  const struct {
    int32_t index;
    HWND window;
    bool entry;
  } cases[] = {
      {0, windows[0], true}, {1, windows[1], true},  {2, windows[2], true},
      {3, windows[2], false}, {7, windows[2], false}, {-1, nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WindowAt(manager, c.index), c.window) << c.index;
    WindowEntry* entry = WindowEntryAt(manager, c.index);
    EXPECT_EQ(entry != nullptr, c.entry) << c.index;
    if (entry) EXPECT_EQ(entry->window, c.window);
  }
  EXPECT_EQ(WindowAt(nullptr, 0), nullptr);
}

TEST_F(WindowManagerWin32Test, DroppedFileAcceptance) {
  HWND accepting = NewDialog();
  HWND plain = NewDialog();
  HWND stranger = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterWindow(manager, accepting, nullptr, LoggingCallback, log, -1, false, true));
  ASSERT_TRUE(RegisterLogged(manager, plain, log));
  auto acceptsStyle = [](HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; };
  EXPECT_TRUE(AcceptsFiles(manager, accepting));
  EXPECT_TRUE(acceptsStyle(accepting));
  EXPECT_FALSE(AcceptsFiles(manager, plain));
  EXPECT_FALSE(acceptsStyle(plain));
  SetAcceptFiles(manager, plain, true);
  EXPECT_TRUE(AcceptsFiles(manager, plain));
  EXPECT_TRUE(acceptsStyle(plain));
  SetAcceptFiles(manager, accepting, false);
  EXPECT_FALSE(AcceptsFiles(manager, accepting));
  EXPECT_FALSE(acceptsStyle(accepting));
  SetAcceptFiles(manager, stranger, true);  // not registered: nothing happens
  EXPECT_FALSE(AcceptsFiles(manager, stranger));
  EXPECT_FALSE(acceptsStyle(stranger));
  EXPECT_EQ(WindowUserData(manager, stranger), nullptr);
  DestroyWindow(stranger);
}

uint8_t AnswersAllBits(HWND, EventKind kind, EventRecord*) { return static_cast<uint8_t>(0x100 + kind); }

TEST_F(WindowManagerWin32Test, DispatchEventGivesTheCallbacksAnswer) {
  EventRecord record = {};
  EXPECT_EQ(DispatchEvent(manager, AnswersAllBits, nullptr, 255, &record), 255);
  EXPECT_EQ(DispatchEvent(manager, AnswersAllBits, nullptr, 1, &record), 1);
  EXPECT_EQ(DispatchEvent(manager, nullptr, nullptr, 1, &record), 0);
}

TEST_F(WindowManagerWin32Test, ClosingTheManagerClosesWhatIsLeft) {
  HWND main = NewDialog();
  HWND dialog = NewDialog(DialogKindSystemMenu, 0, 0, 100, 100, main);
  EventLog* log = NewLog();
  bool managerFound = false;
  log->action = [&](HWND, EventKind kind, EventRecord*) {
    if (kind == EventClosing) managerFound = CurrentWindowManager() != nullptr;
  };
  ASSERT_TRUE(RegisterLogged(manager, main, log));
  ASSERT_TRUE(RegisterLogged(manager, dialog, log, main, 10, true));
  log->events.clear();
  EXPECT_TRUE(CloseWindowManager());
  manager = nullptr;
  EXPECT_EQ(log->WindowsOf(EventClosing), (std::vector<HWND>{dialog, main}));
  EXPECT_TRUE(managerFound);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace

namespace {

class MessageLoopWin32Test : public ToolkitWindowTest {};

constexpr UINT TestMessage = WM_APP + 7;

bool ThreadMessageWaiting(UINT number) {
  MSG message;
  return PeekMessageA(&message, reinterpret_cast<HWND>(-1), number, number, PM_NOREMOVE) != FALSE;
}

// Handles what the test desktop sends or posts to the test's windows, which
// may end a wait of the loop early, and leaves TestMessage waiting.
void HandleDesktopMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, TestMessage - 1, PM_REMOVE) ||
         PeekMessageA(&message, nullptr, TestMessage + 1, 0xFFFF, PM_REMOVE))
    DispatchMessageA(&message);
}

// Passes of the loop a test that waits allows: a message of the desktop
// may end a wait early, and the loop then waits again; a loop that never
// waited would spend them all at once.
constexpr int WaitingPasses = 20;

// A tick handler that asks the window to close on its first tick.
void CloseOnFirstTick(EventLog* log) {
  log->action = [log](HWND window, EventKind kind, EventRecord*) {
    if (kind == EventTick && log->Count(EventTick) == 1) PostMessageA(window, WM_CLOSE, 0, 0);
  };
}

TEST_F(MessageLoopWin32Test, NothingToRunFor) {
  PostThreadMessageA(GetCurrentThreadId(), TestMessage, 0, 0);
  HWND stranger = NewDialog();
  EXPECT_FALSE(RunUntilNoWindows(manager));
  EXPECT_FALSE(RunUntilClosed(manager, stranger));
  EXPECT_FALSE(RunUntilClosed(manager, nullptr));
  EXPECT_FALSE(RunUntilNoWindows(nullptr));
  // Nothing was pumped.
  EXPECT_TRUE(ThreadMessageWaiting(TestMessage));
  DestroyWindow(stranger);
}

TEST_F(MessageLoopWin32Test, RunUntilClosedEndsWithTheWindow) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  CloseOnFirstTick(log);
  ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 10));
  EXPECT_TRUE(RunUntilClosed(manager, window));
  EXPECT_EQ(FindWindowEntry(manager, window), nullptr);
  EXPECT_FALSE(IsWindow(window));
  // The close request, answered 0, unregistered the window.
  EXPECT_EQ(log->Count(EventCloseRequest), 1u);
  EXPECT_EQ(log->events.back().kind, EventClosing);
}

TEST_F(MessageLoopWin32Test, NestedModalLoopOverTheMainWindow) {
  HWND main = NewDialog();
  HWND dialog = nullptr;
  EventLog* mainLog = NewLog();
  EventLog* dialogLog = NewLog();
  bool mainEnabledInDialog = true;
  bool nestedResult = false;
  bool mainAliveDuringDialog = false;
  dialogLog->action = [&](HWND window, EventKind kind, EventRecord*) {
    if (kind == EventTick) {
      mainEnabledInDialog = IsWindowEnabled(main) != FALSE;
      if (dialogLog->Count(EventTick) == 1) PostMessageA(window, WM_CLOSE, 0, 0);
    }
  };
  mainLog->action = [&](HWND window, EventKind kind, EventRecord* record) {
    // The nested loop keeps the main window's messages flowing.
    if (dialog && record->message.number == TestMessage) mainAliveDuringDialog = true;
    if (kind != EventTick || dialog) return;
    if (mainLog->Count(EventTick) == 1) {
      dialog = NewDialog(DialogKindSystemMenu, 0, 0, 100, 100, window);
      ASSERT_TRUE(RegisterLogged(manager, dialog, dialogLog, window, 10, true));
      PostMessageA(window, TestMessage, 0, 0);
      nestedResult = RunUntilClosed(manager, dialog);
      dialog = nullptr;
      UnregisterWindow(manager, window);
    }
  };
  ASSERT_TRUE(RegisterLogged(manager, main, mainLog, nullptr, 10));
  EXPECT_TRUE(RunUntilNoWindows(manager));
  EXPECT_TRUE(nestedResult);
  EXPECT_FALSE(mainEnabledInDialog);
  EXPECT_TRUE(mainAliveDuringDialog);
  EXPECT_EQ(manager->Count(), 0);
  EXPECT_FALSE(IsWindow(main));
}

TEST_F(MessageLoopWin32Test, RunUntilNoWindowsWaitsForEveryWindow) {
  EventLog* log = NewLog();
  HWND windows[3];
  for (HWND& window : windows) {
    window = NewDialog();
    ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 10));
  }
  // Each window closes on its own first tick.
  log->action = [log](HWND window, EventKind kind, EventRecord*) {
    if (kind != EventTick) return;
    size_t ticks = 0;
    for (const SeenEvent& seen : log->events) ticks += seen.window == window && seen.kind == EventTick;
    if (ticks == 1) PostMessageA(window, WM_CLOSE, 0, 0);
  };
  EXPECT_TRUE(RunUntilNoWindows(manager));
  EXPECT_EQ(manager->Count(), 0);
  EXPECT_EQ(log->Count(EventClosing), 3u);
}

TEST_F(MessageLoopWin32Test, TicksGoToOpenWindowsWithAnInterval) {
  HWND ticking = NewDialog();
  HWND silent = NewDialog();
  HWND registering = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, ticking, log, nullptr, 0));
  ASSERT_TRUE(RegisterLogged(manager, silent, log, nullptr, -1));
  // A window whose opened event is still running gets no tick.
  std::vector<HWND> tickedDuringOpened;
  log->action = [&](HWND window, EventKind kind, EventRecord*) {
    if (kind == EventOpened && window == registering) {
      size_t before = log->Count(EventTick);
      ProcessTicks(manager, false);
      for (size_t i = before; i < log->events.size(); ++i)
        if (log->events[i].kind == EventTick) tickedDuringOpened.push_back(log->events[i].window);
    }
  };
  ASSERT_TRUE(RegisterLogged(manager, registering, log, nullptr, 0));
  EXPECT_EQ(tickedDuringOpened, (std::vector<HWND>{ticking}));
  log->action = nullptr;
  log->events.clear();
  ProcessTicks(manager, false);
  EXPECT_EQ(log->WindowsOf(EventTick), (std::vector<HWND>{ticking, registering}));
  const SeenEvent* tick = log->Last(EventTick);
  EXPECT_EQ(tick->record.window, registering);
  EXPECT_EQ(tick->record.event.kind, EventTick);
  EXPECT_EQ(tick->record.event.userData, log);
  EXPECT_EQ(tick->record.event.source, nullptr);
  EXPECT_EQ(tick->record.message.number, 0u);
  EXPECT_NE(FindWindowEntry(manager, ticking)->lastTick, 0u);
}

TEST_F(MessageLoopWin32Test, TickThatIsNotDueLimitsTheWait) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 200));
  // The first pass after registration always ticks.
  ProcessTicks(manager, false);
  EXPECT_EQ(log->Count(EventTick), 1u);
  // The wait ends when the next tick is due, not at once (an idle loop that
  // returned at once would poll the processor busy), and not never (the tick
  // would be missed).
  for (int pass = 0; pass < WaitingPasses && log->Count(EventTick) == 1; ++pass) {
    ProcessTicks(manager, true);
    HandleDesktopMessages();
    ProcessTicks(manager, false);
  }
  EXPECT_EQ(log->Count(EventTick), 2u) << "the wait lasted until the tick was due";
}

TEST_F(MessageLoopWin32Test, TickAnsweredOneKeepsTheLoopFromWaiting) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  log->answers[EventTick] = AnswerHandled;
  ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 0));
  ASSERT_FALSE(MessagesWaiting());
  ProcessTicks(manager, true);
  ProcessTicks(manager, true);
  EXPECT_EQ(log->Count(EventTick), 2u);
}

TEST_F(MessageLoopWin32Test, WaitingMessageKeepsTheLoopFromWaiting) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 0));
  PostThreadMessageA(GetCurrentThreadId(), TestMessage, 0, 0);
  EXPECT_TRUE(MessagesWaiting());
  ProcessTicks(manager, true);
  EXPECT_EQ(log->Count(EventTick), 1u);
  EXPECT_TRUE(ThreadMessageWaiting(TestMessage));
}

TEST_F(MessageLoopWin32Test, TickThatClosesAWindowKeepsTheLoopFromWaiting) {
  HWND quiet = NewDialog();
  HWND closing = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, quiet, log, nullptr, -1));
  ASSERT_TRUE(RegisterLogged(manager, closing, log, nullptr, 0));
  log->action = [&](HWND window, EventKind kind, EventRecord*) {
    if (kind == EventTick) UnregisterWindow(manager, window);
  };
  // Were it to wait, nothing would ever wake it.
  ASSERT_FALSE(MessagesWaiting());
  ProcessTicks(manager, true);
  EXPECT_EQ(manager->Count(), 1);
  // The same when the last window goes.
  ASSERT_TRUE(SetWindowTextFrom(quiet, "quiet"));
  FindWindowEntry(manager, quiet)->tickInterval = 0;
  ASSERT_FALSE(MessagesWaiting());
  ProcessTicks(manager, true);
  EXPECT_EQ(manager->Count(), 0);
}

TEST_F(MessageLoopWin32Test, PassThatClosesAWindowDoesNotWait) {
  HWND quiet = NewDialog();
  HWND closing = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, quiet, log, nullptr, 0));
  ASSERT_TRUE(RegisterLogged(manager, closing, log, nullptr, 0));
  PostMessageA(closing, WM_CLOSE, 0, 0);
  // The close request unregisters the window while its messages are pumped;
  // a caller waiting for that window must get control back at once.
  RunOnePass(manager);
  EXPECT_EQ(manager->Count(), 1);
  EXPECT_EQ(log->WindowsOf(EventTick), (std::vector<HWND>{quiet}));
}

struct LatePost {
  DWORD thread;
  HANDLE ticked;
  volatile LONG posted;
};

DWORD WINAPI PostAfterTheTick(void* parameter) {
  auto* late = static_cast<LatePost*>(parameter);
  WaitForSingleObject(late->ticked, INFINITE);
  // Long enough for a loop that does not wait to have returned already.
  Sleep(300);
  InterlockedExchange(&late->posted, 1);
  PostThreadMessageA(late->thread, TestMessage, 0, 0);
  return 0;
}

TEST_F(MessageLoopWin32Test, IdleLoopWaitsForTheNextMessage) {
  HWND window = NewDialog();
  EventLog* log = NewLog();
  LatePost late = {GetCurrentThreadId(), CreateEventA(nullptr, TRUE, FALSE, nullptr), 0};
  log->action = [&](HWND, EventKind kind, EventRecord*) {
    if (kind == EventTick) SetEvent(late.ticked);
  };
  ASSERT_TRUE(RegisterLogged(manager, window, log, nullptr, 0));
  HANDLE poster = CreateThread(nullptr, 0, PostAfterTheTick, &late, 0, nullptr);
  ASSERT_NE(poster, nullptr);
  ASSERT_FALSE(MessagesWaiting());
  // Every ticking window got its tick and answered 0: the loop waits.
  for (int pass = 0; pass < WaitingPasses && !ThreadMessageWaiting(TestMessage); ++pass) {
    ProcessTicks(manager, true);
    HandleDesktopMessages();
  }
  EXPECT_EQ(InterlockedCompareExchange(&late.posted, 0, 0), 1);
  EXPECT_TRUE(ThreadMessageWaiting(TestMessage));
  WaitForSingleObject(poster, INFINITE);
  CloseHandle(poster);
  CloseHandle(late.ticked);
}

TEST_F(MessageLoopWin32Test, PumpMessagesTakesTheWindowsOwnMessagesOrAll) {
  HWND first = NewDialog();
  HWND second = NewDialog();
  for (int i = 0; i < 3; ++i) PostMessageA(first, TestMessage, i, 0);
  PostMessageA(second, TestMessage, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), TestMessage, 0, 0);
  EXPECT_EQ(PumpMessages(first, false, false), 3u);
  EXPECT_EQ(PumpMessages(first, true, true), 0u);
  EXPECT_TRUE(MessagesWaiting());
  EXPECT_EQ(PumpMessages(nullptr, false, false), 2u);
  EXPECT_FALSE(MessagesWaiting());
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST_F(MessageLoopWin32Test, OnePassPumpsEveryWindowThenTheRestThenTicks) {
  HWND older = NewDialog();
  HWND newer = NewDialog();
  EventLog* log = NewLog();
  ASSERT_TRUE(RegisterLogged(manager, older, log, nullptr, 0));
  ASSERT_TRUE(RegisterLogged(manager, newer, log, nullptr, 0));
  log->events.clear();
  log->answers[EventTick] = AnswerHandled;  // no waiting at the end of the pass
  PostMessageA(older, TestMessage, 1, 0);
  PostMessageA(newer, TestMessage, 2, 0);
  PostThreadMessageA(GetCurrentThreadId(), TestMessage, 3, 0);
  RunOnePass(manager);
  std::vector<WPARAM> order;
  for (const SeenEvent& seen : log->events) {
    if (seen.record.message.number == TestMessage) order.push_back(seen.record.message.wParam);
  }
  EXPECT_EQ(order, (std::vector<WPARAM>{2, 1}));  // newest window first
  EXPECT_FALSE(ThreadMessageWaiting(TestMessage));
  EXPECT_EQ(log->Count(EventTick), 2u);
  EXPECT_EQ(log->events.back().kind, EventTick);
}

TEST_F(MessageLoopWin32Test, PassStopsPumpingWindowsWhenTheirCountChanges) {
  HWND older = NewDialog();
  HWND newer = NewDialog();
  EventLog* log = NewLog();
  log->answers[EventTick] = AnswerHandled;  // no waiting at the end of the pass
  ASSERT_TRUE(RegisterLogged(manager, older, log, nullptr, 0));
  ASSERT_TRUE(RegisterLogged(manager, newer, log, nullptr, 0));
  log->action = [&](HWND window, EventKind, EventRecord* record) {
    if (window == newer && record->message.number == TestMessage) UnregisterWindow(manager, newer);
  };
  PostMessageA(newer, TestMessage, 0, 0);
  PostMessageA(older, TestMessage, 0, 0);
  // The newer window's message unregisters it: the older window's message is
  // then left to the pump of the whole thread within the same pass.
  RunOnePass(manager);
  EXPECT_EQ(manager->Count(), 1);
  size_t olderMessages = 0;
  for (const SeenEvent& seen : log->events)
    olderMessages += seen.window == older && seen.record.message.number == TestMessage;
  EXPECT_EQ(olderMessages, 1u);
  EXPECT_FALSE(MessagesWaiting());
}

}  // namespace
