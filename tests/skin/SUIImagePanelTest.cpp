// Picture panels, on pixels: picture styles, transparency over the parent, automatic size,
// the caption and its blanks, one-blit painting without leaks.
#include "skin/SUIImagePanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Messages.h"
#include "gui/Picture.h"
#include "gui/WinControl.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace skintest;

namespace {

// Paints the control into the bitmap's device context, as a parent's paint would.
void PaintInto(gui::WinControl& control, gui::Bitmap& target) {
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
}

// Gives the panel a copy of the bitmap as its picture.
void SetBitmap(TsuiCustomPanel& panel, const gui::Bitmap& bitmap) {
  gui::Picture p;
  p.Assign(bitmap);
  panel.SetPicture(p);
}

// The columns where anything but the background colour was painted: [first, last].
std::pair<int, int> InkColumns(gui::Bitmap& b, std::uint32_t background) {
  int first = -1, last = -1;
  for (int x = 0; x < b.Width(); ++x)
    for (int y = 0; y < b.Height(); ++y)
      if (At(b, x, y) != background) {
        if (first < 0) first = x;
        last = x;
      }
  return {first, last};
}

// A parent panel showing a pattern, and a panel on it at (5, 4).
struct OnPatternedParent {
  OnPatternedParent() {
    parent.SetBounds(0, 0, 60, 40);
    SetBitmap(parent, Pattern(60, 40));
    panel.SetParent(&parent);
    panel.SetBounds(5, 4, 30, 20);
  }
  TsuiImagePanel parent{nullptr};
  TsuiImagePanel panel{nullptr};
};

class CaptionAreaPanel : public TsuiImagePanel {
 public:
  using TsuiImagePanel::TsuiImagePanel;
  std::vector<RECT> areas;

 protected:
  void CaptionAreaChanged(const RECT& r) override { areas.push_back(r); }
};

}  // namespace

TEST(ImagePanel, ConstructionDefaults) {
  TsuiImagePanel panel(nullptr);
  EXPECT_FALSE(panel.Transparent());
  EXPECT_FALSE(panel.AutoSize());
  EXPECT_EQ(panel.DrawStyle(), suiNormal);
  EXPECT_TRUE(panel.Picture().Empty());
  EXPECT_EQ(panel.Color(), gui::clBtnFace);
  EXPECT_EQ(panel.Alignment(), gui::taCenter);
}

TEST(ImagePanel, TransparentWithoutPictureOrCaptionShowsExactlyTheParent) {
  OnPatternedParent f;
  f.panel.SetTransparent(true);
  gui::Bitmap out = Filled(30, 20, kWhite);
  PaintInto(f.panel, out);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(At(out, x, y), PatternPixel(x + 5, y + 4)) << x << "," << y;
}

TEST(ImagePanel, OpaqueWithoutPictureShowsItsColour) {
  OnPatternedParent f;
  f.panel.SetColor(0x00FF00);
  gui::Bitmap out = Filled(30, 20, kMagenta);
  PaintInto(f.panel, out);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(At(out, x, y), 0x00FF00u);
}

TEST(ImagePanel, ASmallerPictureLeavesTheRestWhiteNotColour) {
  OnPatternedParent f;
  f.panel.SetColor(0x00FF00);
  SetBitmap(f.panel, Pattern(7, 5));
  gui::Bitmap out = Filled(30, 20, kMagenta);
  PaintInto(f.panel, out);
  EXPECT_EQ(At(out, 0, 0), PatternPixel(0, 0));
  EXPECT_EQ(At(out, 6, 4), PatternPixel(6, 4));
  EXPECT_EQ(At(out, 7, 0), kWhite);
  EXPECT_EQ(At(out, 0, 5), kWhite);
  EXPECT_EQ(At(out, 29, 19), kWhite);
}

TEST(ImagePanel, StretchAndTile) {
  TsuiImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 8, 6);
  SetBitmap(panel, Pattern(4, 3));
  panel.SetDrawStyle(suiStretch);
  gui::Bitmap out(8, 6);
  PaintInto(panel, out);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(out, x, y), PatternPixel(x / 2, y / 2));
  panel.SetDrawStyle(suiTile);
  PaintInto(panel, out);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(out, x, y), PatternPixel(x % 4, y % 3));
}

TEST(ImagePanel, TransparentPictureIsKeyedOnItsBottomLeftPixel) {
  OnPatternedParent f;
  gui::Bitmap pic = Pattern(10, 10);
  pic.ScanLine(9)[0] = kMagenta;  // the key
  pic.ScanLine(2)[3] = kMagenta;
  pic.ScanLine(0)[0] = kWhite;    // the top-left corner is no key for panels
  SetBitmap(f.panel, pic);
  gui::Bitmap out(30, 20);
  PaintInto(f.panel, out);
  EXPECT_EQ(At(out, 0, 9), kMagenta);  // opaque: the key is drawn
  ASSERT_NE(f.panel.Picture().Graphic(), nullptr);
  EXPECT_FALSE(f.panel.Picture().Graphic()->Transparent());

  // Switching Transparent on switches the bitmap's own transparency at once.
  f.panel.SetTransparent(true);
  EXPECT_TRUE(f.panel.Picture().Graphic()->Transparent());
  PaintInto(f.panel, out);
  EXPECT_EQ(At(out, 0, 9), PatternPixel(5, 13));
  EXPECT_EQ(At(out, 3, 2), PatternPixel(8, 6));
  EXPECT_EQ(At(out, 0, 0), kWhite);
  EXPECT_EQ(At(out, 4, 4), PatternPixel(4, 4));
  EXPECT_EQ(At(out, 20, 15), PatternPixel(25, 19));  // beyond the picture: the parent

  f.panel.SetTransparent(false);
  EXPECT_FALSE(f.panel.Picture().Graphic()->Transparent());
}

TEST(ImagePanel, AutoSizeFollowsThePictureExceptWhatTheAlignmentControls) {
  gui::WinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  TsuiImagePanel panel(nullptr);
  panel.SetParent(&parent);
  panel.SetAlign(gui::alBottom);
  const int alignedWidth = panel.Width();
  panel.SetAutoSize(true);  // an empty picture changes nothing
  EXPECT_EQ(panel.Height(), 41);
  SetBitmap(panel, Pattern(21, 21));
  EXPECT_EQ(panel.Height(), 21);
  EXPECT_EQ(panel.Width(), alignedWidth);
  EXPECT_EQ(panel.Width(), 200);
}

TEST(ImagePanel, AutoSizeSetLaterSizesToAHeldPicture) {
  TsuiImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 50, 50);
  SetBitmap(panel, Pattern(21, 17));
  EXPECT_EQ(panel.Width(), 50);  // AutoSize is off
  panel.SetAutoSize(true);
  EXPECT_EQ(panel.Width(), 21);
  EXPECT_EQ(panel.Height(), 17);
  panel.SetAutoSize(false);
  SetBitmap(panel, Pattern(30, 30));
  EXPECT_EQ(panel.Width(), 21);
}

TEST(ImagePanel, AutoSizeLeftAlignedKeepsTheHeight) {
  gui::WinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  TsuiImagePanel panel(nullptr);
  panel.SetParent(&parent);
  panel.SetAlign(gui::alLeft);
  panel.SetAutoSize(true);
  SetBitmap(panel, Pattern(51, 43));
  EXPECT_EQ(panel.Width(), 51);
  EXPECT_EQ(panel.Height(), 100);
}

TEST(ImagePanel, ABlankCaptionDrawsNothing) {
  TsuiImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 40, 20);
  panel.SetColor(0xFFFFFF);
  panel.SetCaption(" ");
  gui::Bitmap out = Filled(40, 20, kMagenta);
  PaintInto(panel, out);
  EXPECT_EQ(InkColumns(out, kWhite).first, -1);
  panel.SetCaption("\t \r\n");
  PaintInto(panel, out);
  EXPECT_EQ(InkColumns(out, kWhite).first, -1);
}

TEST(ImagePanel, ACaptionIsDrawnWithItsBlanks) {
  TsuiImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 80, 20);
  panel.SetColor(0xFFFFFF);
  panel.SetAlignment(gui::taLeftJustify);
  panel.SetCaption("X");
  gui::Bitmap out(80, 20);
  PaintInto(panel, out);
  const auto bare = InkColumns(out, kWhite);
  ASSERT_GE(bare.first, 0);
  EXPECT_EQ(panel.CaptionRect().right, 80);
  panel.SetCaption("  X  ");
  PaintInto(panel, out);
  const auto padded = InkColumns(out, kWhite);
  const int blanks = out.Canvas().TextWidth("  ");
  EXPECT_EQ(padded.first, bare.first + blanks);

  panel.SetAlignment(gui::taRightJustify);
  PaintInto(panel, out);
  const auto right = InkColumns(out, kWhite);
  EXPECT_LT(right.second, 80 - blanks + 1);  // the trailing blanks keep the letter off the edge
  EXPECT_GT(right.first, 40);
}

TEST(ImagePanel, TextChangeReportsTheLastCaptionArea) {
  CaptionAreaPanel panel(nullptr);
  panel.SetBounds(0, 0, 50, 20);
  panel.SetCaption("one");
  gui::Bitmap out(50, 20);
  PaintInto(panel, out);
  panel.SetCaption("two");
  ASSERT_EQ(panel.areas.size(), 2u);
  EXPECT_EQ(panel.areas[1].right, 50);
  EXPECT_EQ(panel.areas[1].bottom, 20);
}

TEST(ImagePanel, EraseBackgroundIsSwallowed) {
  TsuiImagePanel panel(nullptr);
  panel.SetBounds(0, 0, 10, 10);
  panel.SetColor(0x0000FF);
  gui::Bitmap out = Filled(10, 10, 0x00FF00);
  EXPECT_EQ(panel.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(out.Canvas().Handle()), 0), 1);
  EXPECT_EQ(At(out, 5, 5), 0x00FF00u);
}

TEST(ImagePanel, ResizeStillRaisesOnResize) {
  gui::Form form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  TsuiImagePanel panel(nullptr);
  panel.SetParent(&form);
  panel.HandleNeeded();
  int resized = 0;
  panel.OnResize = [&](gui::Component*) { ++resized; };
  panel.SetBounds(0, 0, 33, 44);
  EXPECT_EQ(resized, 1);
  RECT r{};
  GetClientRect(panel.Handle(), &r);
  EXPECT_EQ(r.right, 33);
}

TEST(ImagePanel, SetPictureCopiesIt) {
  TsuiImagePanel panel(nullptr);
  gui::Picture source;
  source.Assign(Pattern(5, 5));
  panel.SetPicture(source);
  source.Assign(Pattern(9, 9));
  EXPECT_EQ(panel.Picture().Width(), 5);
}

TEST(ImagePanel, TenThousandPaintsLeaveTheLiveGdiObjectCountUnchanged) {
  OnPatternedParent f;
  f.panel.SetCaption("Enjoy");
  SetBitmap(f.panel, Pattern(10, 10));
  gui::Bitmap out(30, 20);
  // The first paints make the fonts and brushes the panels keep for later ones.
  PaintInto(f.panel, out);
  f.panel.SetTransparent(true);
  PaintInto(f.panel, out);
  const long before = gui::LiveGdiObjectCount();
  // Every way of drawing the picture; every tenth paint shows the parent through the panel.
  for (int i = 0; i < 10000; ++i) {
    f.panel.SetDrawStyle(static_cast<TsuiDrawStyle>(i % 3));
    f.panel.SetTransparent(i % 10 == 9);
    PaintInto(f.panel, out);
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}
