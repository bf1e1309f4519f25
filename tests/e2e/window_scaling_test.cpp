// Both windows on screens of 96, 120, 144 and 192 DPI (Wine's "LogPixels"):
// every control in the place of its 96-DPI layout scaled to the screen, its
// text inside it in the font it draws in, and no control over another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/installed_components.h"
#include "shell/main_window_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/screen_dpi_win32.h"

namespace {

constexpr uint32_t Dpis[] = {96, 120, 144, 192};

// The main window's layout at 96 DPI, as drawn for it: a client area of
// 250 x 249 pixels, one column of controls.
constexpr LONG MainClientWidth96 = 250;
constexpr LONG MainClientHeight96 = 249;
const struct {
  int32_t id;
  const char* caption;
  RECT rect;
} MainLayout96[] = {
    {UninstallCommandId, "Uninstall Corvalent Media Player", {2, 5, 248, 45}},
    {ListComponentsCommandId, "List Installed QLX Components...", {2, 75, 248, 99}},
    {InstallPathCommandId, "Display QLX Install Path...", {2, 100, 248, 124}},
    {CacheCommandId, "Delete QLX Resource Cache", {2, 125, 248, 149}},
    {CheckForUpdatesCommandId, "Check for Updates", {8, 175, 248, 200}},
    {PublicBetaCommandId, "Participate QLX Public Beta", {8, 200, 248, 216}},
    {OkCommandId, "Ok", {2, 224, 248, 249}},
};
// The installed-components window's client area at 96 DPI.
constexpr LONG ComponentsClientWidth96 = 1000;
constexpr LONG ComponentsClientHeight96 = 200;

// pixels of the 96-DPI layout on a screen of dpi, rounded to the nearest.
LONG At(LONG pixels, uint32_t dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

// One child window of a dialog as measured on the screen.
struct Measured {
  HWND window;
  std::string className;
  std::string caption;
  RECT rect;    // in the dialog's client pixels
  RECT client;  // its own client rectangle
  LONG style;
};

std::vector<Measured> MeasureChildren(HWND dialog) {
  std::vector<Measured> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Measured m{child, {}, {}, {}, {}, GetWindowLongA(child, GWL_STYLE)};
    char text[256] = "";
    GetClassNameA(child, text, sizeof text);
    m.className = text;
    text[0] = '\0';
    GetWindowTextA(child, text, sizeof text);
    m.caption = text;
    GetWindowRect(child, &m.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&m.rect), 2);
    GetClientRect(child, &m.client);
    children.push_back(m);
  }
  return children;
}

// The extent of text drawn in the font the control draws in, measured here:
// the font it was given (WM_GETFONT), or without one the system font of its
// program, which started at dpi. A font that cannot be read fails the test.
SIZE ControlTextExtent(HWND control, const std::string& text, uint32_t dpi) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (!font) return SystemFontTextExtent(text, dpi);
  SIZE extent = {0, 0};
  LOGFONTA description;
  if (GetObjectA(font, sizeof description, &description) != sizeof description) {
    ADD_FAILURE() << "the font of the control \"" << text << "\" cannot be read";
    return extent;
  }
  HFONT copy = CreateFontIndirectA(&description);
  HDC screen = GetDC(nullptr);
  if (copy && screen) {
    HGDIOBJ previous = SelectObject(screen, copy);
    GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, previous);
  }
  if (screen) ReleaseDC(nullptr, screen);
  if (copy) DeleteObject(copy);
  return extent;
}

// The room a control leaves its text: a check box draws its box (12 pixels
// at 96 DPI and one more) and a gap of half a digit before it; a push button
// keeps its border and focus frame (3 pixels at 96 DPI on each side) free.
LONG TextRoom(const Measured& m, uint32_t dpi) {
  const LONG width = m.client.right - m.client.left;
  const LONG kind = m.style & BS_TYPEMASK;
  if (lstrcmpiA(m.className.c_str(), "Button") != 0) return width;
  if (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX)
    return width - (At(12, dpi) + 1) - ControlTextExtent(m.window, "0", dpi).cx / 2;
  return width - 2 * At(3, dpi);
}

// Every control inside the client area, its caption inside it, and no two
// overlapping.
void ExpectLaidOut(HWND dialog, uint32_t dpi, const char* name) {
  const Rect client = ClientRect(dialog);
  const std::vector<Measured> children = MeasureChildren(dialog);
  ASSERT_FALSE(children.empty()) << name << " at " << dpi;
  for (size_t i = 0; i < children.size(); ++i) {
    const Measured& m = children[i];
    const std::string what = std::string(name) + " \"" + m.caption + "\" at " + std::to_string(dpi) + " DPI";
    EXPECT_GE(m.rect.left, client.left) << what;
    EXPECT_GE(m.rect.top, client.top) << what;
    EXPECT_LE(m.rect.right, client.right) << what;
    EXPECT_LE(m.rect.bottom, client.bottom) << what;
    if (!m.caption.empty()) {
      const SIZE text = ControlTextExtent(m.window, m.caption, dpi);
      EXPECT_GT(text.cx, 0) << what;
      EXPECT_LE(text.cx, TextRoom(m, dpi)) << what;
      EXPECT_LE(text.cy, m.client.bottom - m.client.top) << what;
    }
    if (lstrcmpiA(m.className.c_str(), "ListBox") == 0) {
      // Its lines are as tall as their text.
      const LRESULT lineHeight = SendMessageA(m.window, LB_GETITEMHEIGHT, 0, 0);
      EXPECT_GE(lineHeight, ControlTextExtent(m.window, "Xg", dpi).cy) << what;
    }
    for (size_t j = i + 1; j < children.size(); ++j) {
      RECT overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &m.rect, &children[j].rect))
          << what << " overlaps \"" << children[j].caption << "\"";
    }
  }
}

void ExpectRect(const RECT& got, const RECT& at96, uint32_t dpi, const std::string& what) {
  EXPECT_EQ(got.left, At(at96.left, dpi)) << what;
  EXPECT_EQ(got.top, At(at96.top, dpi)) << what;
  EXPECT_EQ(got.right, At(at96.right, dpi)) << what;
  EXPECT_EQ(got.bottom, At(at96.bottom, dpi)) << what;
}

class WindowScalingTest : public PanelWindowTest {};

TEST_F(WindowScalingTest, BothWindowsScaleTheirLayoutAndFitTheirTexts) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList.txt"),
                            "[one]\r\nFragmentFileName = NpQuillframe3.dll\r\nFragmentVersion_Win = 50331931\r\n"));
  ASSERT_TRUE(SeeScreenPixels());
  for (uint32_t dpi : Dpis) {
    ScreenDpiSetting setting(dpi);
    ASSERT_TRUE(setting.Set());
    HWND main = Open();
    ASSERT_NE(main, nullptr) << dpi;
    const Rect client = ClientRect(main);
    EXPECT_EQ(client.right, At(MainClientWidth96, dpi)) << dpi;
    EXPECT_EQ(client.bottom, At(MainClientHeight96, dpi)) << dpi;
    for (const auto& row : MainLayout96) {
      const std::string what = std::string(row.caption) + " at " + std::to_string(dpi) + " DPI";
      HWND control = GetDlgItem(main, row.id);
      ASSERT_NE(control, nullptr) << what;
      char caption[256] = "";
      GetWindowTextA(control, caption, sizeof caption);
      EXPECT_STREQ(caption, row.caption) << what;
      RECT rect;
      GetWindowRect(control, &rect);
      MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
      ExpectRect(rect, row.rect, dpi, what);
    }
    ExpectLaidOut(main, dpi, "main window");

    ASSERT_TRUE(ClickControl(main, ListComponentsCommandId)) << dpi;
    HWND components = session->WaitForWindow(InstalledComponentsTitle);
    ASSERT_NE(components, nullptr) << dpi;
    const Rect listClient = ClientRect(components);
    EXPECT_EQ(listClient.right, At(ComponentsClientWidth96, dpi)) << dpi;
    EXPECT_EQ(listClient.bottom, At(ComponentsClientHeight96, dpi)) << dpi;
    ExpectLaidOut(components, dpi, "components window");
    PostMessageA(components, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(session->WaitForWindowGone(InstalledComponentsTitle)) << dpi;
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) << dpi;
    EXPECT_TRUE(ClickControl(main, OkCommandId)) << dpi;
    ExpectEndsWithZero();
  }
}

}  // namespace
