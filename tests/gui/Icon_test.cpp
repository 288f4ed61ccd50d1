#include "gui/Icon.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Exception.h"

namespace {

constexpr gui::TColor kBack = 0x102030;

TEST(Icon, LoadsTheSixteenPixelImage) {
  const long start = gui::LiveGdiObjectCount();
  {
    gui::Icon icon;
    icon.LoadFromResourceName(GetModuleHandleW(nullptr), "TEST_ICON");
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 1);
    gui::Bitmap target(20, 20);
    target.Canvas().Brush().SetColor(kBack);
    target.Canvas().FillRect(gui::MakeRect(0, 0, 20, 20));
    target.Canvas().Draw(2, 2, icon);
    EXPECT_EQ(target.Canvas().Pixel(10, 10), gui::clLime) << "the 16 x 16 image, not the red 32 x 32 one";
    EXPECT_EQ(target.Canvas().Pixel(17, 17), gui::clLime);
    EXPECT_EQ(target.Canvas().Pixel(3, 3), kBack) << "the masked corner";
    EXPECT_EQ(target.Canvas().Pixel(18, 18), kBack);
    auto copy = icon.Clone();
    EXPECT_EQ(copy->Width(), 16);
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

TEST(Icon, AMissingIconIsAResourceError) {
  gui::Icon icon;
  try {
    icon.LoadFromResourceName(GetModuleHandleW(nullptr), "NO_ICON");
    FAIL() << "no exception";
  } catch (const gui::EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NO_ICON not found");
  }
  EXPECT_TRUE(icon.Empty());
}

}  // namespace
