#include "gui/GdiObject.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/ImageList.h"

namespace {

TEST(GdiObject, CountsWhatItOwnsUntilDeletedOrReleased) {
  const long start = gui::LiveGdiObjectCount();
  {
    gui::BrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 1);
    gui::BrushHandle moved(std::move(brush));
    EXPECT_FALSE(brush);
    EXPECT_TRUE(moved);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 1);
    gui::PenHandle pen(CreatePen(PS_SOLID, 1, 0));
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 2);
    HPEN released = pen.Release();
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 1);
    DeleteObject(released);
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

TEST(GdiObject, ANullHandleIsAnErrorAndNotCounted) {
  const long start = gui::LiveGdiObjectCount();
  EXPECT_THROW(gui::RegionHandle(static_cast<HRGN>(nullptr)), gui::EOutOfResources);
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

TEST(GdiObject, DeviceContextsAreCountedToo) {
  const long start = gui::LiveGdiObjectCount();
  {
    gui::MemoryDC memory;
    gui::WindowDC screen(nullptr);
    EXPECT_NE(memory.Get(), nullptr);
    EXPECT_NE(screen.Get(), nullptr);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 2);
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

TEST(GdiObject, SelectGuardPutsTheOldObjectBack) {
  gui::MemoryDC dc;
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_PEN);
  gui::PenHandle pen(CreatePen(PS_SOLID, 3, RGB(255, 0, 0)));
  {
    gui::SelectObjectGuard guard(dc.Get(), pen.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), original);
}

TEST(GdiObject, SaveDCGuardRestoresOriginAndClip) {
  gui::Bitmap bitmap(20, 20);
  HDC dc = bitmap.Canvas().Handle();
  {
    gui::SaveDCGuard saved(dc);
    SetViewportOrgEx(dc, -5, -7, nullptr);
    IntersectClipRect(dc, 0, 0, 1, 1);
  }
  POINT origin{1, 1};
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  RECT clip{};
  EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
  EXPECT_EQ(clip.right, 20) << "the clip of the saved state is back";
  EXPECT_EQ(clip.bottom, 20);
}

// The evening-long screen saver paints the same things again and again: nothing may pile up.
TEST(GdiObject, PaintingTenThousandTimesLeavesTheCountWhereItStarted) {
  gui::Bitmap picture(20, 10);
  picture.Canvas().Brush().SetColor(gui::clRed);
  picture.Canvas().FillRect(gui::MakeRect(2, 2, 18, 8));
  gui::Font font;
  font.SetName("Arial");
  font.SetHeight(-12);
  const long start = gui::LiveGdiObjectCount();
  for (int i = 0; i < 10000; ++i) {
    gui::Bitmap buffer(30, 20);
    gui::Canvas& canvas = buffer.Canvas();
    canvas.SetFont(font);
    canvas.Font().SetColor(i % 2 ? gui::clBlue : gui::clBlack);
    canvas.Brush().SetColor(gui::clBtnFace);
    canvas.FillRect(gui::MakeRect(0, 0, 30, 20));
    canvas.Pen().SetColor(gui::clBlack);
    canvas.Rectangle(1, 1, 29, 19);
    canvas.Brush().SetStyle(gui::bsClear);
    canvas.TextOut(2, 2, "Quit");
    RECT r = gui::MakeRect(0, 0, 30, 20);
    canvas.DrawText("Config", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    picture.SetTransparent(i % 2 == 0);
    canvas.Draw(0, 0, picture);
    canvas.StretchDraw(gui::MakeRect(0, 0, 30, 5), picture);
    canvas.CopyRect(gui::MakeRect(0, 0, 10, 10), picture.Canvas(), gui::MakeRect(0, 0, 1, 1));
    if (i % 10 == 0) {
      gui::ImageList list(10, 10);
      list.AddMasked(picture, gui::clWhite);
      list.Draw(canvas, 0, 0, 1, i % 20 == 0);
      gui::Bitmap slice;
      list.GetBitmap(0, slice);
    }
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

}  // namespace
