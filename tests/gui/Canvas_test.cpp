#include "gui/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Exception.h"

namespace {

constexpr gui::TColor kBack = 0x102030;

// A canvas on a fresh off-screen bitmap, filled with a known background.
class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() : bitmap(40, 30), canvas(bitmap.Canvas()) {
    canvas.Brush().SetColor(kBack);
    canvas.FillRect(gui::MakeRect(0, 0, 40, 30));
  }
  gui::TColor At(int x, int y) { return canvas.Pixel(x, y); }
  // The bounding box of the pixels that differ from the background.
  RECT Ink() {
    RECT box{1000, 1000, -1, -1};
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (At(x, y) != kBack) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }
  gui::Bitmap bitmap;
  gui::Canvas& canvas;
};

TEST_F(CanvasTest, FillRectCoversLeftTopButNotRightBottom) {
  canvas.Brush().SetColor(gui::clRed);
  canvas.FillRect(gui::MakeRect(5, 6, 10, 9));
  EXPECT_EQ(At(5, 6), gui::clRed);
  EXPECT_EQ(At(9, 8), gui::clRed);
  EXPECT_EQ(At(10, 8), kBack);
  EXPECT_EQ(At(9, 9), kBack);
  EXPECT_EQ(At(4, 6), kBack);
  const RECT ink = Ink();
  EXPECT_EQ(ink.left, 5);
  EXPECT_EQ(ink.top, 6);
  EXPECT_EQ(ink.right, 10);
  EXPECT_EQ(ink.bottom, 9);
}

TEST_F(CanvasTest, AClearBrushFillsNothing) {
  canvas.Brush().SetStyle(gui::bsClear);
  canvas.FillRect(gui::MakeRect(0, 0, 40, 30));
  canvas.FrameRect(gui::MakeRect(0, 0, 40, 30));
  EXPECT_EQ(Ink().right, -1);
}

TEST_F(CanvasTest, FrameRectIsOnePixelInsideTheRectangle) {
  canvas.Brush().SetColor(gui::clLime);
  canvas.FrameRect(gui::MakeRect(2, 3, 12, 13));
  EXPECT_EQ(At(2, 3), gui::clLime);
  EXPECT_EQ(At(11, 12), gui::clLime);
  EXPECT_EQ(At(11, 3), gui::clLime);
  EXPECT_EQ(At(3, 4), kBack) << "inside stays";
  EXPECT_EQ(At(12, 13), kBack);
}

TEST_F(CanvasTest, RectangleHasAPenOutlineAndABrushInside) {
  canvas.Pen().SetColor(gui::clRed);
  canvas.Brush().SetColor(gui::clBlue);
  canvas.Rectangle(2, 2, 10, 8);
  EXPECT_EQ(At(2, 2), gui::clRed);
  EXPECT_EQ(At(9, 7), gui::clRed);
  EXPECT_EQ(At(5, 5), gui::clBlue);
  EXPECT_EQ(At(10, 8), kBack);
  canvas.Brush().SetStyle(gui::bsClear);
  canvas.Rectangle(20, 2, 30, 8);
  EXPECT_EQ(At(20, 2), gui::clRed);
  EXPECT_EQ(At(25, 5), kBack) << "a clear brush leaves the inside";
}

TEST_F(CanvasTest, RectangleWithAWidePenFillsTheStrips) {
  canvas.Pen().SetColor(gui::clWhite);
  canvas.Pen().SetWidth(3);
  canvas.Brush().SetColor(gui::clWhite);
  canvas.Rectangle(0, 0, 3, 30);
  EXPECT_EQ(At(0, 15), gui::clWhite);
  EXPECT_EQ(At(2, 15), gui::clWhite);
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
  canvas.Pen().SetColor(gui::clBlue);
  canvas.MoveTo(10, 25);
  canvas.LineTo(30, 25);
  EXPECT_EQ(At(10, 25), gui::clBlue);
  EXPECT_EQ(At(29, 25), gui::clBlue);
  EXPECT_EQ(At(30, 25), kBack);
  EXPECT_EQ(canvas.PenPos().x, 30);
  canvas.Polyline({{0, 0}, {0, 5}, {5, 5}});
  EXPECT_EQ(At(0, 3), gui::clBlue);
  EXPECT_EQ(At(3, 5), gui::clBlue);
  EXPECT_EQ(At(5, 5), kBack);
}

TEST_F(CanvasTest, TextWithAClearBrushOnlyInksTheGlyphs) {
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-12);
  canvas.Font().SetColor(gui::clWhite);
  canvas.Brush().SetStyle(gui::bsClear);
  canvas.TextOut(2, 2, "Hi");
  const RECT ink = Ink();
  EXPECT_GE(ink.left, 2);
  EXPECT_GE(ink.top, 2);
  EXPECT_LE(ink.right, 2 + canvas.TextWidth("Hi"));
  EXPECT_LE(ink.bottom, 2 + canvas.TextHeight("Hi"));
  EXPECT_GT(ink.right, ink.left);
  EXPECT_EQ(At(2, 2), kBack) << "no background box";
}

TEST_F(CanvasTest, TextWithASolidBrushFillsItsBox) {
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-12);
  canvas.Font().SetColor(gui::clBlack);
  canvas.Brush().SetColor(gui::clYellow);
  canvas.TextOut(1, 1, "Hi");
  EXPECT_EQ(At(1, 1), gui::clYellow);
  const RECT ink = Ink();
  EXPECT_EQ(ink.left, 1);
  EXPECT_EQ(ink.right, 1 + canvas.TextWidth("Hi"));
  EXPECT_EQ(ink.bottom, 1 + canvas.TextHeight("Hi"));
}

TEST_F(CanvasTest, DrawTextCentresOnOneLine) {
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-12);
  canvas.Font().SetColor(gui::clWhite);
  canvas.Brush().SetStyle(gui::bsClear);
  RECT measure = gui::MakeRect(0, 0, 40, 30);
  canvas.DrawText("ab", measure, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(measure.right, canvas.TextWidth("ab"));
  EXPECT_EQ(Ink().right, -1) << "DT_CALCRECT draws nothing";
  RECT r = gui::MakeRect(0, 0, 40, 30);
  canvas.DrawText("ab", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const RECT ink = Ink();
  const int width = canvas.TextWidth("ab");
  EXPECT_GE(ink.left, (40 - width) / 2);
  EXPECT_LE(ink.right, (40 + width) / 2 + 1);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 15.0, 4.0);
}

TEST_F(CanvasTest, DrawTextTurnsDoubleAmpersandIntoOne) {
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-12);
  RECT one = gui::MakeRect(0, 0, 40, 30);
  canvas.DrawText("&&", one, DT_CALCRECT | DT_SINGLELINE);
  RECT plain = gui::MakeRect(0, 0, 40, 30);
  canvas.DrawText("&&", plain, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(one.right, canvas.TextWidth("&"));
  EXPECT_EQ(plain.right, canvas.TextWidth("&&"));
}

TEST_F(CanvasTest, CopyRectCopiesAndStretchesByRepeatingPixels) {
  gui::Bitmap source(3, 1);
  source.Canvas().SetPixel(0, 0, gui::clRed);
  source.Canvas().SetPixel(1, 0, gui::clLime);
  source.Canvas().SetPixel(2, 0, gui::clBlue);
  canvas.CopyRect(gui::MakeRect(0, 0, 3, 1), source.Canvas(), gui::MakeRect(0, 0, 3, 1));
  EXPECT_EQ(At(0, 0), gui::clRed);
  EXPECT_EQ(At(2, 0), gui::clBlue);
  // The middle column spread over 20 x 10.
  canvas.CopyRect(gui::MakeRect(10, 10, 30, 20), source.Canvas(), gui::MakeRect(1, 0, 2, 1));
  for (int x = 10; x < 30; ++x)
    for (int y = 10; y < 20; ++y) ASSERT_EQ(At(x, y), gui::clLime) << x << "," << y;
  EXPECT_EQ(At(30, 10), kBack);
  EXPECT_EQ(At(10, 20), kBack);
}

TEST_F(CanvasTest, PixelsReadBackWhatWasSet) {
  canvas.SetPixel(7, 8, 0x00ABCDEF);
  EXPECT_EQ(At(7, 8), 0x00ABCDEFu);
  canvas.SetPixel(8, 8, gui::clBtnFace);
  EXPECT_EQ(At(8, 8), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(At(100, 100), gui::clNone) << "outside the bitmap";
}

TEST_F(CanvasTest, SaveAndRestoreStateUndoesOriginAndClip) {
  const int saved = canvas.SaveState();
  SetViewportOrgEx(canvas.Handle(), -10, -10, nullptr);
  IntersectClipRect(canvas.Handle(), 0, 0, 15, 15);
  canvas.Brush().SetColor(gui::clRed);
  canvas.FillRect(gui::MakeRect(0, 0, 40, 30));
  canvas.RestoreState(saved);
  EXPECT_EQ(At(4, 4), gui::clRed);
  EXPECT_EQ(At(5, 5), kBack) << "the clip, in moved coordinates, ended at 15 - 10";
  canvas.FillRect(gui::MakeRect(30, 20, 31, 21));
  EXPECT_EQ(At(30, 20), gui::clRed) << "origin and clip are back";
}

TEST_F(CanvasTest, FocusRectIsDottedAndUndoneByASecondCall) {
  canvas.DrawFocusRect(gui::MakeRect(2, 2, 20, 10));
  int changed = 0;
  for (int x = 2; x < 20; ++x) changed += At(x, 2) != kBack;
  EXPECT_GT(changed, 4);
  EXPECT_LT(changed, 18) << "dotted, not solid";
  EXPECT_EQ(At(10, 5), kBack);
  canvas.DrawFocusRect(gui::MakeRect(2, 2, 20, 10));
  EXPECT_EQ(Ink().right, -1);
}

TEST_F(CanvasTest, APatternBrushRepeatsItsBitmap) {
  gui::Bitmap pattern(2, 2);
  pattern.Canvas().SetPixel(0, 0, gui::clRed);
  pattern.Canvas().SetPixel(1, 1, gui::clRed);
  canvas.Brush().SetBitmap(&pattern);
  canvas.FillRect(gui::MakeRect(0, 0, 8, 8));
  canvas.Brush().SetBitmap(nullptr);
  EXPECT_EQ(At(0, 0), gui::clRed);
  EXPECT_EQ(At(1, 0), gui::clWhite);
  EXPECT_EQ(At(6, 6), gui::clRed);
  EXPECT_EQ(At(7, 6), gui::clWhite);
  EXPECT_EQ(At(8, 8), kBack);
}

TEST(Canvas, WithoutADeviceContextItRefusesToDraw) {
  gui::Canvas canvas;
  EXPECT_THROW(canvas.FillRect(gui::MakeRect(0, 0, 1, 1)), gui::Exception);
  EXPECT_THROW(canvas.TextWidth("x"), gui::Exception);
}

}  // namespace
