#include "gui/Label.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Panel.h"

namespace {

void PaintInto(gui::Control& control, gui::Bitmap& bitmap) {
  bitmap.SetSize(control.Width(), control.Height());
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), 0);
}

int CountPixels(gui::Bitmap& b, gui::TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Canvas().Pixel(x, y) == c) ++n;
  return n;
}

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 300, 200);
    host = new gui::Panel(&form);
    host->SetParent(&form);
    host->SetBounds(0, 0, 200, 100);
    host->SetBevelOuter(gui::bvNone);
    host->SetColor(gui::clLime);
    label = new gui::Label(&form);
    label->SetParent(host);
    label->Font().SetName("Arial");
    label->Font().SetHeight(-12);
    label->Font().SetColor(gui::clBlue);
    label->SetBounds(10, 10, 65, 15);
  }
  gui::Form form{nullptr};
  gui::Panel* host = nullptr;
  gui::Label* label = nullptr;
  gui::Bitmap bitmap;
};

TEST_F(LabelTest, AutoSizeTakesTheSizeOfTheCaption) {
  label->SetCaption("Delay Time:");
  gui::WindowDC screen(nullptr);
  gui::Canvas canvas(screen.Get());
  canvas.SetFont(label->Font());
  EXPECT_EQ(label->Width(), canvas.TextWidth("Delay Time:"));
  EXPECT_EQ(label->Height(), canvas.TextHeight("Delay Time:"));
  EXPECT_EQ(label->Left(), 10);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 65, 15);
  label->SetCaption("Minutes");
  EXPECT_EQ(label->Width(), 65);
}

TEST_F(LabelTest, AutoSizeWaitsForTheLayoutToBeComplete) {
  form.BeginLoading();
  auto* loading = new gui::Label(&form);
  loading->SetParent(host);
  loading->SetBounds(72, 32, 65, 15);
  loading->SetCaption("W");
  EXPECT_EQ(loading->Width(), 65);
  form.EndLoading();
  EXPECT_LT(loading->Width(), 65);
  EXPECT_GT(loading->Width(), 0);
}

TEST_F(LabelTest, OpaqueLabelFillsWithItsColourAndDrawsTheText) {
  label->SetCaption("Sound Off:");
  label->SetColor(gui::clWhite);
  PaintInto(*label, bitmap);
  EXPECT_EQ(bitmap.Canvas().Pixel(label->Width() - 1, label->Height() - 1), gui::clWhite);
  EXPECT_EQ(CountPixels(bitmap, gui::clLime), 0);
  EXPECT_GT(CountPixels(bitmap, gui::clBlue), 10) << "blue lettering";
}

TEST_F(LabelTest, ColourFollowsTheParentByDefault) {
  EXPECT_TRUE(label->ParentColor());
  EXPECT_EQ(label->Color(), gui::clLime);
}

TEST_F(LabelTest, TransparentLabelShowsTheParentThrough) {
  label->SetCaption("Minutes");
  label->SetColor(gui::clWhite);
  label->SetTransparent(true);
  PaintInto(*label, bitmap);
  EXPECT_EQ(CountPixels(bitmap, gui::clWhite), 0);
  EXPECT_EQ(bitmap.Canvas().Pixel(label->Width() - 1, label->Height() - 1), gui::clLime);
  EXPECT_GT(CountPixels(bitmap, gui::clBlue), 10);
  EXPECT_EQ(CountPixels(bitmap, gui::clLime) + CountPixels(bitmap, gui::clBlue) > label->Width(), true);
}

}  // namespace
