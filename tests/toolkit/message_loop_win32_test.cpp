#include "toolkit/message_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/toolkit_windows_win32.h"
#include "toolkit/window_operations.h"

namespace {

class MessageLoopWin32Test : public ToolkitWindowTest {};

constexpr UINT TestMessage = WM_APP + 7;

bool ThreadMessageWaiting(UINT number) {
  MSG message;
  return PeekMessageA(&message, reinterpret_cast<HWND>(-1), number, number, PM_NOREMOVE) != FALSE;
}

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
  EXPECT_EQ(manager->count, 0);
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
  EXPECT_EQ(manager->count, 0);
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
  // No message comes: the wait ends when the next tick is due, not at once
  // (an idle loop that returned at once would poll the processor busy), and
  // not never (the tick would be missed).
  ASSERT_FALSE(MessagesWaiting());
  ProcessTicks(manager, true);
  EXPECT_EQ(log->Count(EventTick), 1u);
  ProcessTicks(manager, false);
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
  EXPECT_EQ(manager->count, 1);
  // The same when the last window goes.
  ASSERT_TRUE(SetWindowTextFrom(quiet, "quiet"));
  FindWindowEntry(manager, quiet)->tickInterval = 0;
  ASSERT_FALSE(MessagesWaiting());
  ProcessTicks(manager, true);
  EXPECT_EQ(manager->count, 0);
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
  EXPECT_EQ(manager->count, 1);
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
  ProcessTicks(manager, true);
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
  EXPECT_EQ(manager->count, 1);
  size_t olderMessages = 0;
  for (const SeenEvent& seen : log->events)
    olderMessages += seen.window == older && seen.record.message.number == TestMessage;
  EXPECT_EQ(olderMessages, 1u);
  EXPECT_FALSE(MessagesWaiting());
}

}  // namespace
