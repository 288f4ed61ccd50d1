#include "gui/Region.h"

#include <gtest/gtest.h>

namespace {

TEST(Region, RoundRectCutsTheCorners) {
  gui::Region region = gui::Region::RoundRect(0, 0, 101, 51, 13, 13);
  EXPECT_FALSE(region.Contains(0, 0));
  EXPECT_TRUE(region.Contains(50, 0));
  EXPECT_TRUE(region.Contains(6, 6));
  EXPECT_TRUE(region.Contains(50, 25));
  EXPECT_FALSE(region.Contains(101, 25));
}

TEST(Region, UnionAddsSquareBottomCorners) {
  gui::Region region = gui::Region::RoundRect(0, 0, 101, 51, 13, 13);
  EXPECT_FALSE(region.Contains(0, 49));
  region.Union(gui::Region::Rect(0, 24, 26, 50));
  EXPECT_TRUE(region.Contains(0, 49));
  EXPECT_FALSE(region.Contains(0, 0));
}

TEST(Region, AWindowTakesTheRegionOver) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const long start = gui::LiveGdiObjectCount();
  {
    gui::Region region = gui::Region::Rect(0, 0, 10, 10);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 1);
    region.ApplyTo(window, false);
    EXPECT_EQ(region.Handle(), nullptr);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start) << "the window owns it now";
  }
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(window, copy), SIMPLEREGION);
  RECT box{};
  GetRgnBox(copy, &box);
  EXPECT_EQ(box.right, 10);
  DeleteObject(copy);
  DestroyWindow(window);
}

}  // namespace
