#include "toolkit/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/memory.h"

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
