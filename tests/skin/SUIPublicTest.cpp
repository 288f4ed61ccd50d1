// The shared drawing routines, on pixels: where each part of a skin bitmap lands, what the
// key leaves out, and the geometry helpers.
#include "skin/SUIPublic.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Form.h"
#include "gui/Panel.h"
#include "gui/GdiObject.h"
#include "gui/Picture.h"
#include "gui/WinControl.h"
#include "skin/SUIImagePanel.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace skintest;

TEST(DrawSkinStretched, SameSizeReproducesTheBitmap) {
  gui::Bitmap skin = Pattern(74, 21);
  gui::Bitmap target(74, 21);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 74, 21), false);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 74; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x, y)) << x << "," << y;
}

TEST(DrawSkinStretched, WiderKeepsBothHalvesAndRepeatsTheMiddleColumn) {
  gui::Bitmap skin = Pattern(74, 21);
  gui::Bitmap target = Filled(130, 30, kWhite);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(5, 3, 125, 24), false);
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 120; ++x) {
      const int source = x <= 36 ? x : (x <= 82 ? 37 : x - 46);
      ASSERT_EQ(At(target, x + 5, y + 3), PatternPixel(source, y)) << x << "," << y;
    }
  }
  // Nothing outside the rectangle.
  EXPECT_EQ(At(target, 4, 3), kWhite);
  EXPECT_EQ(At(target, 125, 3), kWhite);
  EXPECT_EQ(At(target, 5, 2), kWhite);
  EXPECT_EQ(At(target, 5, 24), kWhite);
}

TEST(DrawSkinStretched, TallerKeepsTopAndBottomAndRepeatsTheMiddleRow) {
  gui::Bitmap skin = Pattern(10, 21);  // h = 10
  gui::Bitmap target(10, 40);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 10, 40), false);
  for (int y = 0; y < 40; ++y) {
    const int source = y < 10 ? y : (y < 29 ? 10 : y - 19);
    for (int x = 0; x < 10; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x, source)) << x << "," << y;
  }
}

TEST(DrawSkinStretched, TransparentLeavesOutEveryPixelOfTheTopLeftColour) {
  gui::Bitmap skin = Pattern(20, 9);
  skin.ScanLine(0)[0] = kMagenta;
  skin.ScanLine(4)[3] = kMagenta;  // the key colour inside the picture is left out as well
  gui::Bitmap target = Filled(40, 9, 0x123456);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 40, 9), true);
  EXPECT_EQ(At(target, 0, 0), 0x123456u);
  EXPECT_EQ(At(target, 3, 4), 0x123456u);
  EXPECT_EQ(At(target, 1, 0), PatternPixel(1, 0));
  EXPECT_EQ(At(target, 39, 8), PatternPixel(19, 8));
  // Without transparency the key is drawn like any colour.
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 40, 9), false);
  EXPECT_EQ(At(target, 0, 0), kMagenta);
}

TEST(DrawSkinStretched, EmptyRectangleOrBitmapDrawsNothing) {
  gui::Bitmap skin = Pattern(8, 8);
  gui::Bitmap target = Filled(20, 20, kWhite);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(2, 2, 2, 12), false);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(2, 2, 12, 2), true);
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(8, 8, 2, 2), true);
  gui::Bitmap none;
  DrawSkinStretched(none, target.Canvas(), gui::MakeRect(0, 0, 10, 10), false);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(target, x, y), kWhite);
}

TEST(DrawThreePart, EndSlicesUnscaledMiddleSliceStretched) {
  gui::Bitmap bar = Pattern(45, 4);
  gui::Bitmap target = Filled(100, 10, kWhite);
  DrawThreePart(bar, target.Canvas(), gui::MakeRect(0, 0, 100, 10), false);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 15; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x, y));
    for (int x = 85; x < 100; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x - 55, y));
  }
  // The middle slice spans x 15-84 and all rows of the rectangle, running from column 15 to 29.
  EXPECT_EQ(PatternX(At(target, 15, 0)), 15);
  EXPECT_EQ(PatternX(At(target, 84, 0)), 29);
  int previous = 15;
  for (int x = 15; x < 85; ++x) {
    const std::uint32_t p = At(target, x, 9);
    ASSERT_TRUE(IsPattern(p));
    ASSERT_GE(PatternX(p), previous);
    previous = PatternX(p);
  }
  // The end slices keep their own height.
  EXPECT_EQ(At(target, 0, 4), kWhite);
  EXPECT_EQ(At(target, 99, 9), kWhite);
}

TEST(DrawThreePart, ARemainderBeyondThreeSlicesIsDropped) {
  gui::Bitmap bar = Pattern(10, 3);
  gui::Bitmap target = Filled(20, 3, kWhite);
  DrawThreePart(bar, target.Canvas(), gui::MakeRect(0, 0, 20, 3), false);
  for (int x = 17; x < 20; ++x) EXPECT_EQ(At(target, x, 1), PatternPixel(x - 11, 1));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_NE(PatternX(At(target, x, y)), 9) << "the tenth column drawn at " << x;
}

TEST(DrawThreePart, TransparentKeysTheEndSlicesOnTheTopLeftPixel) {
  gui::Bitmap tab = Pattern(9, 5);
  tab.ScanLine(0)[0] = kMagenta;
  tab.ScanLine(0)[8] = kMagenta;
  gui::Bitmap target = Filled(30, 5, 0x0000FF);
  DrawThreePart(tab, target.Canvas(), gui::MakeRect(0, 0, 30, 5), true);
  EXPECT_EQ(At(target, 0, 0), 0x0000FFu);
  EXPECT_EQ(At(target, 29, 0), 0x0000FFu);
  EXPECT_EQ(At(target, 1, 0), PatternPixel(1, 0));
  EXPECT_EQ(At(target, 28, 0), PatternPixel(7, 0));
}

TEST(DrawThreePart, EmptyRectangleDrawsNothing) {
  gui::Bitmap bar = Pattern(45, 4);
  gui::Bitmap target = Filled(50, 5, kWhite);
  DrawThreePart(bar, target.Canvas(), gui::MakeRect(10, 0, 10, 4), true);
  gui::Bitmap narrow = Pattern(2, 4);  // no slice fits
  DrawThreePart(narrow, target.Canvas(), gui::MakeRect(0, 0, 50, 4), false);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 50; ++x) ASSERT_EQ(At(target, x, y), kWhite);
}

TEST(RotateBitmap90, QuarterTurnCounterClockwise) {
  gui::Bitmap bar = Pattern(45, 4);
  RotateBitmap90(bar);
  ASSERT_EQ(bar.Width(), 4);
  ASSERT_EQ(bar.Height(), 45);
  EXPECT_EQ(At(bar, 0, 0), PatternPixel(44, 0));  // the top-right pixel ends at the top-left
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(At(bar, x, y), PatternPixel(44 - y, x));
}

TEST(TileDraw, RepeatsFromTheCanvasOriginOverTheRectangle) {
  gui::Picture picture;
  picture.Assign(Pattern(3, 2));
  gui::Bitmap target = Filled(10, 7, kWhite);
  TileDraw(target.Canvas(), picture, gui::MakeRect(0, 0, 10, 7));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x % 3, y % 2));
}

TEST(TileDraw, APictureWithoutSizeDrawsNothing) {
  gui::Picture empty;
  gui::Picture zero;
  zero.Assign(gui::Bitmap());
  gui::Bitmap target = Filled(5, 5, kWhite);
  TileDraw(target.Canvas(), empty, gui::MakeRect(0, 0, 5, 5));
  TileDraw(target.Canvas(), zero, gui::MakeRect(0, 0, 5, 5));
  EXPECT_EQ(At(target, 2, 2), kWhite);
}

TEST(Geometry, PointInRectInclusiveCountsTheRightAndBottomEdges) {
  const RECT r = gui::MakeRect(10, 20, 30, 40);
  EXPECT_TRUE(PointInRectInclusive(POINT{30, 40}, r));
  EXPECT_TRUE(PointInRectInclusive(POINT{10, 20}, r));
  EXPECT_FALSE(PointInRectInclusive(POINT{31, 40}, r));
  EXPECT_FALSE(PointInRectInclusive(POINT{30, 41}, r));
  EXPECT_FALSE(PointInRectInclusive(POINT{9, 25}, r));
  EXPECT_FALSE(PointInRectInclusive(POINT{15, 19}, r));
}

TEST(Geometry, WorkAreaIsTheSystemsWorkArea) {
  RECT r{};
  ASSERT_TRUE(GetWorkAreaRect(r));
  RECT want{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &want, 0);
  EXPECT_TRUE(EqualRect(&r, &want));
  EXPECT_GT(r.right - r.left, 0);
  EXPECT_GT(r.bottom - r.top, 0);
}

TEST(Geometry, PositionAndBoundsSetters) {
  gui::WinControl c(nullptr);
  SetFormBounds(&c, gui::MakeRect(7, 8, 107, 58));
  EXPECT_EQ(c.Left(), 7);
  EXPECT_EQ(c.Top(), 8);
  EXPECT_EQ(c.Width(), 100);
  EXPECT_EQ(c.Height(), 50);
  SetControlPosition(&c, POINT{-3, 12});
  EXPECT_EQ(c.Left(), -3);
  EXPECT_EQ(c.Top(), 12);
  EXPECT_EQ(c.Width(), 100);
}

TEST(DrawParentBackground, WithoutParentTheCanvasIsUnchanged) {
  gui::WinControl orphan(nullptr);
  orphan.SetBounds(0, 0, 10, 10);
  gui::Bitmap target = Filled(10, 10, 0x345678);
  DrawParentBackground(target.Canvas(), &orphan);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(At(target, x, y), 0x345678u);
}

TEST(DrawParentBackground, PaintsThePartOfTheParentUnderTheControl) {
  // The parent shows a patterned picture; the child sits at (6, 4) on it.
  TsuiImagePanel parent(nullptr);
  parent.SetBounds(0, 0, 40, 30);
  gui::Picture picture;
  picture.Assign(Pattern(40, 30));
  parent.SetPicture(picture);
  gui::WinControl child(nullptr);
  child.SetParent(&parent);
  child.SetBounds(6, 4, 12, 9);
  gui::Bitmap target = Filled(12, 9, kWhite);
  DrawParentBackground(target.Canvas(), &child);  // fonts and brushes are made on first use
  const long before = gui::LiveGdiObjectCount();
  DrawParentBackground(target.Canvas(), &child);
  EXPECT_EQ(gui::LiveGdiObjectCount(), before);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(At(target, x, y), PatternPixel(x + 6, y + 4)) << x << "," << y;
  // The canvas comes back as it was: origin and clipping restored.
  POINT origin{};
  GetViewportOrgEx(target.Canvas().Handle(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
}

TEST(DrawParentBackground, StopsAtTheParentsClientArea) {
  TsuiImagePanel parent(nullptr);
  parent.SetBounds(0, 0, 20, 20);
  parent.SetColor(0x0000FF);  // a panel without picture shows its colour
  gui::WinControl child(nullptr);
  child.SetParent(&parent);
  child.SetBounds(15, 15, 10, 10);  // reaches 5 pixels past the parent's right and bottom
  gui::Bitmap target = Filled(10, 10, 0x00FF00);
  DrawParentBackground(target.Canvas(), &child);
  EXPECT_EQ(At(target, 0, 0), 0xFF0000u);  // COLORREF red 0x0000FF is RGB FF0000
  EXPECT_EQ(At(target, 4, 4), 0xFF0000u);
  EXPECT_EQ(At(target, 5, 5), 0x00FF00u);
  EXPECT_EQ(At(target, 9, 0), 0x00FF00u);
}

TEST(DrawControlBorder, FramesTheWholeWindowInTwoColours) {
  gui::Form form(nullptr);
  form.SetBorderStyle(gui::bsNone);
  form.SetBounds(50, 50, 120, 90);
  gui::Panel control(nullptr);
  control.SetParent(&form);
  control.SetBounds(10, 10, 60, 40);
  form.Show();
  UpdateWindow(form.Handle());
  const long before = gui::LiveGdiObjectCount();
  DrawControlBorder(&control, 0x0000FF, gui::clWhite);
  EXPECT_EQ(gui::LiveGdiObjectCount(), before);
  gui::WindowDC dc(control.Handle(), true);
  EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 59, 39), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 30, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc.Get(), 58, 20), RGB(255, 255, 255));
  EXPECT_NE(GetPixel(dc.Get(), 2, 2), RGB(255, 0, 0));
  form.Hide();
}

TEST(SkinDrawing, TheRoutinesFreeEverythingTheyMake) {
  gui::Bitmap skin = Pattern(74, 21);
  gui::Bitmap bar = Pattern(45, 4);
  gui::Bitmap target(130, 40);
  gui::Picture tile;
  tile.Assign(Pattern(5, 5));
  DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 120, 30), true);
  const long before = gui::LiveGdiObjectCount();
  for (int i = 0; i < 200; ++i) {
    DrawSkinStretched(skin, target.Canvas(), gui::MakeRect(0, 0, 60 + i % 60, 10 + i % 30), i % 2 == 0);
    DrawThreePart(bar, target.Canvas(), gui::MakeRect(0, 0, 100, 8), i % 2 == 0);
    TileDraw(target.Canvas(), tile, gui::MakeRect(0, 0, 20, 20));
    gui::Bitmap turned = Pattern(9, 3);
    RotateBitmap90(turned);
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}
