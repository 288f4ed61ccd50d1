#include "gui/Color.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "gui/Bitmap.h"

namespace {

TEST(Color, PlainColoursAreCOLORREFs) {
  EXPECT_EQ(gui::ColorToRGB(gui::clBlue), RGB(0, 0, 255));
  EXPECT_EQ(gui::ColorToRGB(0xFBFBFB), 0xFBFBFBu);
  EXPECT_EQ(gui::RGBColor(0x12, 0x34, 0x56), 0x563412u);
  EXPECT_EQ(gui::clBtnFace, 0x8000000Fu);
  EXPECT_TRUE(gui::IsSystemColor(gui::clBtnFace));
  EXPECT_FALSE(gui::IsSystemColor(gui::clWhite));
}

TEST(Color, SystemColoursResolveThroughGetSysColor) {
  EXPECT_EQ(gui::ColorToRGB(gui::clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(gui::ColorToRGB(gui::clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(gui::ColorToRGB(gui::clInactiveCaption), GetSysColor(COLOR_INACTIVECAPTION));
}

TEST(Color, SystemColoursAreResolvedBeforeDrawing) {
  gui::Bitmap bitmap(4, 4);
  bitmap.Canvas().Brush().SetColor(gui::clBtnFace);
  bitmap.Canvas().FillRect(gui::MakeRect(0, 0, 4, 4));
  EXPECT_EQ(bitmap.Canvas().Pixel(2, 2), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
