#include "toolkit/dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/rect_compare.h"
#include "toolkit/memory.h"

namespace {

TEST(GeometryTest, NormalizedRectOrdersTheCorners) {
  const struct {
    int32_t x1, y1, x2, y2;
    Rect expected;
  } cases[] = {
      {1, 2, 3, 4, {1, 2, 3, 4}},
      {3, 4, 1, 2, {1, 2, 3, 4}},
      {3, 2, 1, 4, {1, 2, 3, 4}},
      {-5, 7, 5, -7, {-5, -7, 5, 7}},
      {0, 0, 0, 0, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizedRect(c.x1, c.y1, c.x2, c.y2), c.expected) << c.x1 << "," << c.y1;
  }
}

TEST(GeometryTest, CenteredFrameTruncatesEachHalfOnItsOwn) {
  const struct {
    const char* name;
    Rect frame, area, expected;
  } cases[] = {
      // A 300 x 200 frame on a 1024 x 768 screen.
      {"screen", {0, 0, 300, 200}, {0, 0, 1024, 768}, {362, 284, 662, 484}},
      // Over a frame of 301 x 200: 100 + 150 - 50 and 100 + 100 - 25.
      {"over", {0, 0, 100, 51}, {100, 100, 401, 300}, {200, 175, 300, 226}},
      // The frame keeps its place-independent size wherever it starts.
      {"moved frame", {500, 600, 600, 651}, {100, 100, 401, 300}, {200, 175, 300, 226}},
      // Left of and above the screen origin: -401 + 150 - 50, -301 + 100 - 25.
      {"negative area", {0, 0, 101, 51}, {-401, -301, -100, -101}, {-301, -226, -200, -175}},
      // A frame larger than the area goes left of and above it.
      {"larger", {0, 0, 400, 300}, {0, 0, 200, 100}, {-100, -100, 300, 200}},
  };
  for (const auto& c : cases) EXPECT_EQ(CenteredFrame(c.frame, c.area), c.expected) << c.name;
}

TEST(GeometryTest, RectMovedToKeepsTheSize) {
  EXPECT_EQ(RectMovedTo(Rect{-8, -30, 258, 258}, Point{0, 0}), (Rect{0, 0, 266, 288}));
  EXPECT_EQ(RectMovedTo(Rect{10, 10, 20, 30}, Point{-5, 7}), (Rect{-5, 7, 5, 27}));
}

TEST(GeometryTest, FrameForClientSizeAddsTheFrameExtra) {
  // A captioned frame: 3 pixels of border on each side, 19 of caption.
  Rect extra{-3, -22, 3, 3};
  EXPECT_EQ(FrameForClientSize(Rect{40, 50, 99, 99}, 250, 249, extra), (Rect{40, 50, 296, 324}));
  EXPECT_EQ(FrameForClientSize(Rect{-10, -20, 0, 0}, 0, 0, Rect{0, 0, 0, 0}),
            (Rect{-10, -20, -10, -20}));
}

TEST(GeometryTest, ScalingRoundsToTheNearestPixel) {
  const struct {
    int32_t pixels;
    uint32_t dpi;
    int32_t expected;
  } cases[] = {
      {249, 96, 249},  {249, 0, 249},    // 96 DPI, or none known, keeps every pixel
      {249, 144, 374},                   // 373.5: a half goes away from zero
      {249, 120, 311},                   // 311.25
      {250, 120, 313},                   // 312.5
      {5, 120, 6},     {2, 144, 3},      {16, 144, 24}, {216, 192, 432},
      {-7, 144, -11},  {-1, 120, -1},    // negative coordinates mirror positive ones
      {0, 288, 0},     {2147483647 / 2, 192, 2147483646},  // no overflow on the way
  };
  for (const auto& c : cases) EXPECT_EQ(ScaledPixels(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
  // Between two other DPIs: a 16-pixel font of a 120-DPI system on a 144-DPI screen.
  EXPECT_EQ(ScaledPixels(-20, 144, 120), -24);
  EXPECT_EQ(ScaledPixels(-20, 96, 144), -13);  // 13.33
  EXPECT_EQ(ScaledPixels(7, 120, 120), 7);
}

TEST(GeometryTest, ScaledRectanglesThatTouchStillTouch) {
  // Each edge on its own: neighbours share their edge at every DPI, and no
  // gap or overlap comes from rounding widths instead of edges.
  const Rect upper{8, 175, 248, 200};
  const Rect lower{8, 200, 248, 216};
  for (uint32_t dpi : {96u, 120u, 144u, 168u, 192u}) {
    EXPECT_EQ(ScaledRect(upper, dpi).bottom, ScaledRect(lower, dpi).top) << dpi;
    EXPECT_EQ(ScaledRect(upper, dpi).left, ScaledPixels(8, dpi)) << dpi;
  }
  EXPECT_EQ(ScaledRect(Rect{2, 5, 248, 45}, 144), (Rect{3, 8, 372, 68}));
}

TEST(GeometryTest, InsetsRoundTripBetweenClientAndFrame) {
  Rect frame{100, 200, 366, 475};
  Rect client{103, 222, 363, 472};
  Insets insets = InsetsBetween(client, frame);
  EXPECT_EQ(insets.left, 3);
  EXPECT_EQ(insets.top, 22);
  EXPECT_EQ(insets.right, 3);
  EXPECT_EQ(insets.bottom, 3);
  EXPECT_EQ(ShrunkByInsets(frame, insets), client);
  EXPECT_EQ(GrownByInsets(client, insets), frame);
}

}  // namespace

namespace {

const struct {
  DialogKind kind;
  uint32_t style;
} KindCases[] = {
    {DialogKindPlain, 0x86000000u},
    {DialogKindBordered, 0x86800000u},
    {DialogKindCaptioned, 0x86C00000u},
    {DialogKindResizable, 0x86C40000u},
    {DialogKindSystemMenu, 0x86CB0000u},
    {DialogKindSystemMenuSizable, 0x86CF0000u},
    {DialogKindScrolling, 0x86EF0000u},
    {7, 0},
    {0xFFFFFFFFu, 0},
};

TEST(DialogTemplateTest, EachKindHasItsStyle) {
  for (const auto& c : KindCases) EXPECT_EQ(DialogKindStyle(c.kind), c.style) << c.kind;
}

TEST(DialogTemplateTest, TemplateHoldsOnlyTheStyle) {
  for (const auto& c : KindCases) {
    auto* block = static_cast<uint8_t*>(NewDialogTemplate(c.kind));
    ASSERT_NE(block, nullptr);
    ASSERT_GE(ToolkitBlockSize(block), DialogTemplateBytes);
    uint32_t style;
    memcpy(&style, block, sizeof style);
    EXPECT_EQ(style, c.style) << c.kind;
    // Extended style, item count, position and size, menu, class and title.
    for (uint32_t i = 4; i < DialogTemplateBytes; ++i) EXPECT_EQ(block[i], 0) << "byte " << i;
    ToolkitFree(block);
  }
}

}  // namespace

namespace {

TEST(CommandDoubleClickTest, EachClassHasItsCode) {
  const struct {
    const char* className;
    uint32_t code;
    bool doubleClick;
  } cases[] = {
      {"BUTTON", 5, true},   {"Button", 5, true},   {"button", 0, false},
      {"COMBOBOX", 2, true}, {"ComboBox", 1, false},
      {"LISTBOX", 2, true},  {"ListBox", 2, true},  {"ListBox", 1, false},
      {"STATIC", 1, true},   {"Static", 2, false},
      {"Edit", 2, false},    {"Edit", 5, false},    {"BUTTONS", 5, false},
      {"LIST", 2, false},    {"", 2, false},        {nullptr, 2, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDoubleClickCommand(c.className, c.code), c.doubleClick)
        << (c.className ? c.className : "(none)") << " " << c.code;
  }
}

TEST(CommandDoubleClickTest, LongClassNameIsLookedAtUpToItsLimit) {
  std::string name(ClassNameCharacters + 40, 'b');
  EXPECT_FALSE(IsDoubleClickCommand(name.c_str(), 5));
}

}  // namespace
