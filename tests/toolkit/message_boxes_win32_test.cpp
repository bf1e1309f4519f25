#include "toolkit/message_boxes_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"
#include "support/box_watcher_win32.h"
#include "support/toolkit_windows_win32.h"

namespace {

// Every test is bounded: a box that nobody answers ends the test program.
class MessageBoxTest : public ::testing::Test {
 protected:
  Watchdog watchdog_{90000};
};

TEST_F(MessageBoxTest, ShowInfoShowsAnOkBoxWithoutOwner) {
  BoxWatcher watcher;
  ASSERT_TRUE(watcher.Started());
  EXPECT_TRUE(ShowInfo(nullptr, "Delete", "Resource folder not found"));
  EXPECT_TRUE(ShowInfo(nullptr, "Install Path", ""));  // an empty text is still a text
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, 0u);
  EXPECT_EQ(boxes[0].buttons, "ok");
  EXPECT_EQ(boxes[0].caption, "Delete");
  EXPECT_EQ(boxes[0].text, "Resource folder not found");
  EXPECT_EQ(boxes[1].caption, "Install Path");
  EXPECT_EQ(boxes[1].text, "");
}

TEST_F(MessageBoxTest, ShowInfoWithoutCaptionOrTextShowsNothing) {
  BoxWatcher watcher;
  ASSERT_TRUE(watcher.Started());
  EXPECT_FALSE(ShowInfo(nullptr, "Caption", nullptr));
  EXPECT_FALSE(ShowInfo(nullptr, nullptr, "Text"));
  EXPECT_FALSE(ShowInfo(nullptr, nullptr, nullptr));
  EXPECT_TRUE(watcher.Stop().empty());
}

std::vector<std::string> changeLines;
void CollectChangeLine(const std::string& line, bool) { changeLines.push_back(line); }

// A run that describes its changes ("/whatif") shows no box: it names it.
TEST_F(MessageBoxTest, ARunThatDescribesItsChangesShowsNoBox) {
  BoxWatcher watcher;
  ASSERT_TRUE(watcher.Started());
  changeLines.clear();
  SetChangeLineWriter(CollectChangeLine);
  DescribeChanges(true);
  EXPECT_TRUE(ShowInfo(nullptr, "Reinstall Failure", "Could not start the installer"));
  int32_t answer = ReplyYes;
  EXPECT_FALSE(AskYesNo(nullptr, "Uninstall", "Sure?", &answer));
  EXPECT_EQ(answer, ReplyNo) << "nobody answers a question that is not asked";
  DescribeChanges(false);
  SetChangeLineWriter(nullptr);
  EXPECT_TRUE(watcher.Stop().empty());
  EXPECT_EQ(changeLines, std::vector<std::string>{"would show box \"Reinstall Failure\": Could not start the installer"});
}

// Boxes kept while a DeferredBoxes lives are shown, in their order, only
// when the last one ends; a question is never kept, and a run that describes
// its changes names each box at once.
TEST_F(MessageBoxTest, DeferredBoxesAreShownWhenTheLastScopeEnds) {
  std::optional<DeferredBoxes> outer;
  outer.emplace();
  {
    BoxWatcher watcher;
    ASSERT_TRUE(watcher.Started());
    EXPECT_TRUE(ShowInfo(nullptr, "Uninstall Failure", "first"));
    {
      DeferredBoxes inner;
      EXPECT_TRUE(ShowError(nullptr, "Uninstall Failure", "second"));
      EXPECT_FALSE(ShowInfo(nullptr, nullptr, "no caption, never shown"));
    }
    EXPECT_TRUE(AskYesNo(nullptr, "Uninstall", "Sure?", nullptr));
    EXPECT_TRUE(ShowInfo(nullptr, "Uninstall", "third"));
    std::vector<SeenBox> shown = watcher.Stop();
    ASSERT_EQ(shown.size(), 1u) << "only the question, while the outer scope lives";
    EXPECT_EQ(shown[0].buttons, "yes,no");

    changeLines.clear();
    SetChangeLineWriter(CollectChangeLine);
    DescribeChanges(true);
    EXPECT_TRUE(ShowInfo(nullptr, "Reinstall Failure", "named at once"));
    DescribeChanges(false);
    SetChangeLineWriter(nullptr);
    EXPECT_EQ(changeLines, std::vector<std::string>{"would show box \"Reinstall Failure\": named at once"});
  }
  BoxWatcher watcher;
  ASSERT_TRUE(watcher.Started());
  outer.reset();
  std::vector<SeenBox> shown = watcher.Stop();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "first");
  EXPECT_EQ(shown[1].text, "second");
  EXPECT_EQ(shown[2].text, "third");
  for (const SeenBox& box : shown) EXPECT_EQ(box.buttons, "ok");
}

TEST_F(MessageBoxTest, ShowInfoIsOwnedByTheGivenWindow) {
  HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  BoxWatcher watcher;
  ASSERT_TRUE(watcher.Started());
  EXPECT_TRUE(ShowInfo(owner, "Install Path", "C:\\Player"));
  std::vector<SeenBox> boxes = watcher.Stop();
  DestroyWindow(owner);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, reinterpret_cast<uintptr_t>(owner));
  EXPECT_EQ(boxes[0].text, "C:\\Player");
}

TEST_F(MessageBoxTest, AskYesNoReportsTheAnswer) {
  const struct {
    bool answerYes;
    bool result;
    int32_t answer;
  } cases[] = {{true, true, ReplyYes}, {false, false, ReplyNo}};
  for (const auto& c : cases) {
    BoxWatcher watcher(c.answerYes);
    ASSERT_TRUE(watcher.Started());
    int32_t answer = 0;
    EXPECT_EQ(AskYesNo(nullptr, "Uninstall", "\tAre you sure?", &answer), c.result);
    EXPECT_EQ(answer, c.answer);
    std::vector<SeenBox> boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, 0u);
    EXPECT_EQ(boxes[0].buttons, "yes,no");
    EXPECT_EQ(boxes[0].caption, "Uninstall");
    EXPECT_EQ(boxes[0].text, "\tAre you sure?");
  }
}

TEST_F(MessageBoxTest, AskYesNoWithoutAnAnswerToFillStillAsks) {
  BoxWatcher watcher(true);
  ASSERT_TRUE(watcher.Started());
  EXPECT_TRUE(AskYesNo(nullptr, "Uninstall", "Sure?", nullptr));
  EXPECT_EQ(watcher.Stop().size(), 1u);
}

TEST_F(MessageBoxTest, AskYesNoWithAMissingTextAsksAllTheSame) {
  // The answer is marked first; the box's own answer then replaces the mark.
  BoxWatcher watcher(false);
  ASSERT_TRUE(watcher.Started());
  int32_t answer = 0;
  EXPECT_FALSE(AskYesNo(nullptr, "Uninstall", nullptr, &answer));
  EXPECT_EQ(answer, ReplyNo);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Uninstall");
  EXPECT_EQ(boxes[0].text, "");
}

TEST_F(MessageBoxTest, AskYesNoKeepsTheMissingTextMarkWhenNoBoxCanBeShown) {
  // An owner that is not a window makes the box fail.
  BoxWatcher watcher(true);  // answers a box that should not be there
  ASSERT_TRUE(watcher.Started());
  int32_t answer = 0;
  EXPECT_FALSE(AskYesNo(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFFF0)), nullptr, "Sure?", &answer));
  EXPECT_EQ(answer, ReplyMissingText);
  EXPECT_TRUE(watcher.Stop().empty());
}

}  // namespace
