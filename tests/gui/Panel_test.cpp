#include "gui/Panel.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Font.h"
#include "gui/Form.h"

namespace {

gui::TColor Sys(int index) { return gui::ColorToRGB(gui::clSystemColor | static_cast<gui::TColor>(index)); }

// Paints the control into an off-screen bitmap of its size, through its own message handling.
void PaintInto(gui::Control& control, gui::Bitmap& bitmap) {
  bitmap.SetSize(control.Width(), control.Height());
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), 0);
}

gui::TColor At(gui::Bitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

// The x range of pixels that are not the background colour.
std::pair<int, int> InkColumns(gui::Bitmap& b, gui::TColor background) {
  int first = -1, last = -1;
  for (int x = 0; x < b.Width(); ++x)
    for (int y = 0; y < b.Height(); ++y)
      if (At(b, x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 300, 200);
    panel = new gui::Panel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 40, 30);
    panel->SetColor(gui::clBlue);
  }
  gui::Form form{nullptr};
  gui::Panel* panel = nullptr;
  gui::Bitmap bitmap;
};

TEST_F(PanelTest, DefaultsOfTheFrameworkPanel) {
  gui::Panel fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 185);
  EXPECT_EQ(fresh.Height(), 41);
  EXPECT_EQ(fresh.Color(), gui::clBtnFace);
  EXPECT_EQ(fresh.BevelOuter(), gui::bvRaised);
  EXPECT_EQ(fresh.BevelInner(), gui::bvNone);
  EXPECT_EQ(fresh.Alignment(), gui::taCenter);
}

TEST_F(PanelTest, RaisedBevelLightTopLeftDarkBottomRightColourInside) {
  PaintInto(*panel, bitmap);
  EXPECT_EQ(At(bitmap, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(bitmap, 0, 28), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(bitmap, 38, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(bitmap, 39, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(bitmap, 0, 29), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(bitmap, 39, 29), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(bitmap, 1, 1), gui::clBlue);
  EXPECT_EQ(At(bitmap, 38, 28), gui::clBlue);
}

TEST_F(PanelTest, NoBevelIsAllColourAndBordersNestInside) {
  panel->SetBevelOuter(gui::bvNone);
  PaintInto(*panel, bitmap);
  EXPECT_EQ(At(bitmap, 0, 0), gui::clBlue);
  EXPECT_EQ(At(bitmap, 39, 29), gui::clBlue);
  panel->SetBevelOuter(gui::bvLowered);
  panel->SetBorderWidth(2);
  panel->SetBevelInner(gui::bvRaised);
  PaintInto(*panel, bitmap);
  EXPECT_EQ(At(bitmap, 0, 0), Sys(COLOR_BTNSHADOW)) << "lowered: dark top-left";
  EXPECT_EQ(At(bitmap, 1, 1), gui::clBlue) << "the border ring";
  EXPECT_EQ(At(bitmap, 2, 2), gui::clBlue);
  EXPECT_EQ(At(bitmap, 3, 3), Sys(COLOR_BTNHIGHLIGHT)) << "inner raised bevel";
  EXPECT_EQ(At(bitmap, 36, 26), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(bitmap, 4, 4), gui::clBlue);
}

TEST_F(PanelTest, ChildrenAreAlignedInsideBevelsAndBorder) {
  panel->SetBorderWidth(2);
  auto* inner = new gui::Panel(&form);
  inner->SetParent(panel);
  inner->SetAlign(gui::alClient);
  EXPECT_EQ(inner->Left(), 3);
  EXPECT_EQ(inner->Top(), 3);
  EXPECT_EQ(inner->Width(), 34);
  EXPECT_EQ(inner->Height(), 24);
}

TEST_F(PanelTest, CaptionFollowsTheAlignment) {
  panel->SetBounds(0, 0, 120, 30);
  panel->SetBevelOuter(gui::bvNone);
  panel->SetColor(gui::clWhite);
  panel->Font().SetColor(gui::clBlack);
  panel->SetCaption("II");
  panel->SetAlignment(gui::taLeftJustify);
  PaintInto(*panel, bitmap);
  auto [l1, r1] = InkColumns(bitmap, gui::clWhite);
  EXPECT_GE(l1, 0);
  EXPECT_LT(r1, 30);
  panel->SetAlignment(gui::taRightJustify);
  PaintInto(*panel, bitmap);
  auto [l2, r2] = InkColumns(bitmap, gui::clWhite);
  EXPECT_GT(l2, 90);
  EXPECT_LE(r2, 119);
  panel->SetAlignment(gui::taCenter);
  PaintInto(*panel, bitmap);
  auto [l3, r3] = InkColumns(bitmap, gui::clWhite);
  EXPECT_NEAR((l3 + r3) / 2.0, 60, 3);
}

}  // namespace
