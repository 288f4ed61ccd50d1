// Group boxes on pixels: the frame with the caption's gap, the disabled caption, transparency
// through to the parent; the style at creation and through the form's walk; Enabled reaching
// every control in the box.
#include "skin/SUIGroupBox.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "skin/SUIButton.h"
#include "skin/SUIEdit.h"
#include "skin/SUIThemes.h"
#include "tests/skin/SUIButton_test.h"
#include "tests/skin/WindowPixels.h"

using namespace sui;
using namespace buttontest;
using windowpixels::PixelOf;

namespace {

constexpr gui::TColor kFrame = 0x0000FF;     // red
constexpr std::uint32_t kFramePixel = 0xFF0000;
constexpr gui::TColor kText = 0xFF0000;      // blue
constexpr std::uint32_t kTextPixel = 0x0000FF;

int CountPixels(const gui::Bitmap& b, std::uint32_t pixel) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += At(b, x, y) == pixel;
  return n;
}

// A 120 x 60 box with a 16-pixel bold font, red frame and blue caption on a green face.
struct Box16 {
  explicit Box16(gui::WinControl* parent) {
    box.SetParent(parent);
    box.SetBounds(10, 10, 120, 60);
    box.Font().SetName("Arial");
    box.Font().SetHeight(-16);
    box.Font().SetStyle(gui::fsBold);
    box.Font().SetColor(kText);
    box.SetBorderColor(kFrame);
    box.SetColor(kGreen);
    box.SetTransparent(false);
  }
  TsuiGroupBox box{nullptr};
};

}  // namespace

TEST(GroupBox, FrameRunsRoundTheBoxWithAGapForTheCaption) {
  Host host;
  Box16 g(&host.form);
  g.box.SetCaption("Ab");
  const gui::Bitmap b = Paint(g.box);
  const int y = 16 / 2 + 1;
  const int gapEnd = TextSize("Ab", g.box.Font()).cx + 6;
  // Left, bottom and right sides, from the top line down.
  for (int yy = y; yy < 60; ++yy) {
    EXPECT_EQ(At(b, 0, yy), kFramePixel) << yy;
    EXPECT_EQ(At(b, 119, yy), kFramePixel) << yy;
  }
  for (int x = 0; x < 120; ++x) EXPECT_EQ(At(b, x, 59), kFramePixel) << x;
  // The top line: a 2-pixel piece left of the caption, the gap, then on to the right edge.
  EXPECT_EQ(At(b, 1, y), kFramePixel);
  EXPECT_EQ(At(b, 2, y), kFramePixel);
  for (int x = 3; x < gapEnd; ++x) EXPECT_NE(At(b, x, y), kFramePixel) << x;
  for (int x = gapEnd + 1; x < 120; ++x) EXPECT_EQ(At(b, x, y), kFramePixel) << x;
  // Nothing of the frame above its top line; the caption stands in the gap from x 5.
  EXPECT_TRUE(InkBox(b, kFramePixel).top == y);
  const Box text = InkBox(b, kTextPixel);
  EXPECT_FALSE(text.Empty());
  EXPECT_GE(text.left, 5);
  EXPECT_LE(text.right, gapEnd);
  EXPECT_EQ(At(b, 60, 30), 0x00FF00u) << "the face";
}

TEST(GroupBox, WithoutCaptionTheTopLineIsClosed) {
  Host host;
  Box16 g(&host.form);
  g.box.SetCaption("");
  const gui::Bitmap b = Paint(g.box);
  for (int x = 0; x < 120; ++x) EXPECT_EQ(At(b, x, 9), kFramePixel) << x;
}

TEST(GroupBox, DisabledCaptionIsGreyAndEnabledReachesEveryControlInTheBox) {
  Host host;
  Box16 g(&host.form);
  g.box.SetCaption("Ab");
  auto* edit = new gui::Edit(&host.form);
  edit->SetParent(&g.box);
  auto* check = new TsuiCheckBox(&host.form);
  check->SetParent(&g.box);
  check->SetEnabled(false);  // disabled on its own

  EXPECT_GT(CountPixels(Paint(g.box), kTextPixel), 0);
  g.box.SetEnabled(false);
  EXPECT_FALSE(edit->Enabled());
  EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
  EXPECT_FALSE(check->Enabled());
  const gui::Bitmap disabled = Paint(g.box);
  EXPECT_EQ(CountPixels(disabled, kTextPixel), 0);
  EXPECT_GT(CountPixels(disabled, kGreyPixel), 0);
  EXPECT_FALSE(InkBox(disabled, kGreyPixel).Empty());
  EXPECT_LE(InkBox(disabled, kGreyPixel).right, TextSize("Ab", g.box.Font()).cx + 6);

  g.box.SetEnabled(true);
  EXPECT_TRUE(edit->Enabled());
  EXPECT_TRUE(IsWindowEnabled(edit->Handle()));
  EXPECT_TRUE(check->Enabled()) << "enabled with the box, though it was disabled before";
}

TEST(GroupBox, TransparentByDefaultShowingTheParent) {
  Host host(gui::clNavy);
  TsuiGroupBox box(nullptr);
  box.SetParent(&host.form);
  box.SetBounds(10, 10, 100, 60);
  EXPECT_TRUE(box.Transparent());
  EXPECT_EQ(At(Paint(box), 50, 40), 0x000080u);
  box.SetTransparent(false);
  EXPECT_EQ(At(Paint(box), 50, 40), PixelOf(gui::clBtnFace));
}

TEST(GroupBox, TakesTheFormStyleColoursAtCreationButNotItsFace) {
  for (auto [style, border, font] : {std::tuple{TsuiUIStyle::Protein, 0x000000u, 0x000000u},
                                     std::tuple{TsuiUIStyle::WinXP, 0x686868u, 0xCF4602u}}) {
    Host host;
    auto* frame = new FakeFrame(&host.form, style);
    frame->SetParent(&host.form);
    TsuiGroupBox box(&host.form);
    EXPECT_EQ(box.BorderColor(), border);
    EXPECT_EQ(box.Font().Color(), font);
    EXPECT_EQ(box.Color(), gui::clBtnFace);
    EXPECT_EQ(box.Width(), 185);
    EXPECT_EQ(box.Height(), 105);
    EXPECT_EQ(box.gui::Control::Caption(), " ") << "the window text";
  }
}

TEST(GroupBox, TheFormsStyleWalkColoursTheBoxAndEntersIt) {
  Host host;
  auto* box = new TsuiGroupBox(&host.form);
  box->SetParent(&host.form);
  auto* edit = new TsuiEdit(&host.form);
  edit->SetParent(box);
  ApplyStyleToContainers(&host.form, TsuiUIStyle::WinXP);
  ApplyStyleToChildren(&host.form, TsuiUIStyle::WinXP);
  EXPECT_EQ(box->BorderColor(), 0x686868u);
  EXPECT_EQ(box->Font().Color(), 0xCF4602u);
  EXPECT_EQ(box->Color(), 0xDEEBEFu);
  EXPECT_EQ(edit->BorderColor(), 0x686868u) << "a control inside the box takes the style too";
}
