// The installed-components window, opened from the main window of the real
// program: both lists read line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "inventory/installed_components.h"
#include "shell/main_window_win32.h"
#include "support/fixtures_win32.h"
#include "support/foreign_names_win32.h"
#include "support/navigator_keys_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/registry_win32.h"

namespace {

using Lines = std::vector<std::string>;

class InstalledComponentsTest : public PanelWindowTest {
 protected:
  void SetUp() override {
    PanelWindowTest::SetUp();
    ASSERT_TRUE(player.Install());
  }

  // Opens the main window and from it the components window.
  HWND OpenComponents() {
    main = Open();
    if (!main || !ClickControl(main, ListComponentsCommandId)) return nullptr;
    return session->WaitForWindow(InstalledComponentsTitle);
  }
  // The window's two list boxes, left and right.
  static std::vector<HWND> ListBoxes(HWND window) {
    std::vector<HWND> boxes;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char name[16] = "";
      GetClassNameA(child, name, sizeof name);
      if (lstrcmpiA(name, "ListBox") == 0) boxes.push_back(child);
    }
    return boxes;
  }
  void CloseAndEnd(HWND window) {
    // The close box: the system's close command.
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(session->WaitForWindowGone(InstalledComponentsTitle));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) << "the main window is enabled again";
    EXPECT_TRUE(ClickControl(main, OkCommandId));
    ExpectEndsWithZero();
  }

  NavigatorKeys navigator;
  HWND main = nullptr;
};

TEST_F(InstalledComponentsTest, ListsComponentsAndFragmentsInOrder) {
  ASSERT_TRUE(CopyFixture("VersionSpaced.dll", Component("NpQuillframe3.dll")));
  ASSERT_TRUE(CopyFixture("VersionPlain.dll", Component("Components\\b.dll")));
  ASSERT_TRUE(CopyFixture("NoVersion.dll", Component("Components\\A.dll")));
  ASSERT_TRUE(CopyFixture("VersionNext.dll", Component("Plugins\\a.dll")));
  ASSERT_TRUE(WriteTextFile(Component("Plugins\\readme.txt"), "not a library"));
  // A plug-in file outside the component folder, in Navigator's folder.
  std::string plugins = player.Root() / "Navigator\\Plugins";
  ASSERT_TRUE(CopyFixture("VersionSpaced.dll", plugins + "\\NPQuillframe3.dll"));
  ASSERT_TRUE(navigator.Install("4.7", plugins));
  // Only the second of the three names is there.
  ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList.txt"),
                            "[one]\r\nFragmentFileName = NpQuillframe3.dll\r\nFragmentVersion_Win = 50331931\r\n"
                            "[again]\r\nFragmentFileName = NpQuillframe3.dll\r\nFragmentVersion_Win = 1\r\n"
                            "[zero]\r\nFragmentFileName = Zed.dll\r\nFragmentVersion_Win = 0\r\n"
                            "[high]\r\nFragmentFileName = big.dll\r\nFragmentVersion_Win = 285212672\r\n"
                            "[no version]\r\nFragmentFileName = lonely.dll\r\n"
                            "[no name]\r\nFragmentVersion_Win = 7\r\n"));
  HWND window = OpenComponents();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main)) << "modal over the main window";
  Rect client = ClientRect(window);
  EXPECT_EQ(client.right, 1000);
  EXPECT_EQ(client.bottom, 200);

  std::vector<HWND> boxes = ListBoxes(window);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(ListBoxLines(boxes[0]), (Lines{
                                        "(   .   .   .   )     [  ~  ] \\Components\\A.dll",
                                        "(3.0.1.27)    " + plugins + "\\NPQuillframe3.dll",
                                        "(3.0.1.27)     [  ~  ] \\NpQuillframe3.dll",
                                        "(3.0.1.28)     [  ~  ] \\Plugins\\a.dll",
                                        "(1.2.3.4)     [  ~  ] \\Components\\b.dll",
                                    }));
  EXPECT_EQ(ListBoxLines(boxes[1]), (Lines{
                                        "NpQuillframe3.dll (3.0.1.27)",
                                        "Zed.dll (0.0.0.0)",
                                        "big.dll (17.0.0.0)",
                                    }));
  // The left list scrolls sideways over 260 widths of "X"; the right one not.
  EXPECT_GT(SendMessageA(boxes[0], LB_GETHORIZONTALEXTENT, 0, 0), 260 * 4);
  EXPECT_EQ(SendMessageA(boxes[1], LB_GETHORIZONTALEXTENT, 0, 0), 0);
  // Both lists side by side under their headings; every control has id 600.
  const struct {
    const char* className;
    const char* caption;
    Rect rect;
  } controls[] = {
      {"Static", "\t\t\tINSTALLED COMPONENTS", {0, 0, 600, 24}},
      {"Static", "\t\t\tVERSION FILE", {600, 0, 1000, 24}},
      {"ListBox", "", {0, 25, 600, 200}},
      {"ListBox", "", {600, 25, 1000, 200}},
  };
  HWND child = GetWindow(window, GW_CHILD);
  for (const auto& c : controls) {
    ASSERT_NE(child, nullptr) << c.caption;
    EXPECT_EQ(GetDlgCtrlID(child), 600) << c.caption;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, c.rect.left) << c.caption;
    EXPECT_EQ(rect.top, c.rect.top) << c.caption;
    EXPECT_EQ(rect.right, c.rect.right) << c.caption;
    EXPECT_EQ(rect.bottom, c.rect.bottom) << c.caption;
    char text[64] = "";
    GetWindowTextA(child, text, sizeof text);
    EXPECT_EQ(std::string(text), c.caption);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  CloseAndEnd(window);
}

TEST_F(InstalledComponentsTest, SaysWhatIsMissing) {
  HWND window = OpenComponents();
  ASSERT_NE(window, nullptr);
  std::vector<HWND> boxes = ListBoxes(window);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(ListBoxLines(boxes[0]), Lines{"No components are present."});
  EXPECT_EQ(ListBoxLines(boxes[1]), Lines{"UpdateVersionList file not found."});
  CloseAndEnd(window);
}

TEST_F(InstalledComponentsTest, TakesTheFirstUpdateVersionListThereIs) {
  const struct {
    std::vector<const char*> present;
    const char* expected;
  } cases[] = {
      {{"UpdateVersionListMac_v2.txt"}, "mac.dll (1.0.0.0)"},
      {{"UpdateVersionListMac_v2.txt", "UpdateVersionList.txt"}, "plain.dll (1.0.0.0)"},
      {{"UpdateVersionListMac_v2.txt", "UpdateVersionList.txt", "UpdateVersionList_v2.txt"}, "v2.dll (1.0.0.0)"},
  };
  const char* names[] = {"UpdateVersionList_v2.txt", "UpdateVersionList.txt", "UpdateVersionListMac_v2.txt"};
  const char* fragments[] = {"v2.dll", "plain.dll", "mac.dll"};
  for (const auto& c : cases) {
    for (const char* name : c.present) {
      int which = 0;
      while (std::string(names[which]) != name) ++which;
      ASSERT_TRUE(WriteTextFile(Component(std::string("Resources\\") + name),
                                std::string("[f]\r\nFragmentFileName = ") + fragments[which] +
                                    "\r\nFragmentVersion_Win = 16777216\r\n"));
    }
    HWND window = OpenComponents();
    ASSERT_NE(window, nullptr);
    std::vector<HWND> boxes = ListBoxes(window);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(ListBoxLines(boxes[1]), Lines{c.expected});
    CloseAndEnd(window);
  }
}

TEST_F(InstalledComponentsTest, TextsOfAListWithTheUtf8ByteOrderMarkAreShownAsTheirCharacters) {
  // "café" and "Ωmega" in UTF-8 after the byte-order mark: the code page
  // (1252 here) holds "é" but not "Ω", which shows as "?", never as a
  // look-alike.
  ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"),
                            "\xEF\xBB\xBF[a]\r\nFragmentFileName = caf\xC3\xA9.dll\r\nFragmentVersion_Win = 16777216\r\n"
                            "[b]\r\nFragmentFileName = \xCE\xA9mega.dll\r\nFragmentVersion_Win = 16777216\r\n"));
  HWND window = OpenComponents();
  ASSERT_NE(window, nullptr);
  std::vector<HWND> boxes = ListBoxes(window);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(ListBoxLines(boxes[1]), (Lines{"caf\xE9.dll (1.0.0.0)", "?mega.dll (1.0.0.0)"}));
  CloseAndEnd(window);
}

// Files named outside the ANSI code page, which the program reaches through
// their short forms, are listed by their true names, each beside the
// look-alike file the code page would make of its name; rows of names the
// code page holds stay as they were.
TEST_F(InstalledComponentsTest, EveryFileIsNamedAsItIsStored) {
  if (CodePageHolds(L"\x03A9")) GTEST_SKIP() << "this code page holds the Greek capital omega";
  const char* const subfolders[] = {"", "Components\\", "Plugins\\"};
  Lines expected;
  for (size_t i = 0; i < sizeof ForeignNames / sizeof ForeignNames[0]; ++i) {
    const std::string name = std::string(subfolders[i]) + ForeignNames[i].utf8 + ".dll";
    ASSERT_TRUE(MakeFolders(Component(subfolders[i])));
    ASSERT_TRUE(CopyFileUtf8(FixturePath("VersionPlain.dll"), Component(name))) << name;
    expected.push_back("(1.2.3.4)     [  ~  ] \\" + name);
    const std::string lookAlike = LookAlikeOf((std::wstring(ForeignNames[i].wide) + L".dll").c_str());
    if (lookAlike.empty()) continue;
    ASSERT_TRUE(CopyFixture("VersionNext.dll", Component(subfolders[i] + lookAlike)));
    expected.push_back("(3.0.1.28)     [  ~  ] \\" + std::string(subfolders[i]) + lookAlike);
  }
  ASSERT_TRUE(CopyFixture("VersionSpaced.dll", Component("NpQuillframe3.dll")));
  expected.push_back("(3.0.1.27)     [  ~  ] \\NpQuillframe3.dll");
  HWND window = OpenComponents();
  ASSERT_NE(window, nullptr);
  std::vector<HWND> boxes = ListBoxes(window);
  ASSERT_EQ(boxes.size(), 2u);
  Lines shown = ListBoxLinesUtf8(boxes[0]);
  std::sort(shown.begin(), shown.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(shown, expected);
  CloseAndEnd(window);
}

TEST_F(InstalledComponentsTest, ACloseRequestToTheMainWindowEndsBoth) {
  HWND window = OpenComponents();
  ASSERT_NE(window, nullptr);
  RequestClose(main);
  ExpectEndsWithZero();
}

}  // namespace
