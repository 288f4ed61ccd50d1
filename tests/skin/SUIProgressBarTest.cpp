// The progress bar, on pixels: fill lengths and the unfilled colour in both directions and
// every style, the border, the caption's text and place, the 12-pixel thickness, ranges with
// nothing to divide by or too wide for 32 bits, the style walk, and paints without leaks.
#include "skin/SUIProgressBar.h"

#include <gtest/gtest.h>

#include "skin/SUITrackBar.h"
#include "tests/skin/SUIButton_test.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace buttontest;

namespace {

using skintest::PixelOf;

// Pixels of the box (right and bottom excluded) that are not of that colour.
int OffColour(const gui::Bitmap& b, Box box, std::uint32_t pixel) {
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            n += At(b, x, y) != pixel;
    return n;
}

// The outer ring of pixels that are not of that colour.
int OffBorder(const gui::Bitmap& b, std::uint32_t pixel) {
    const int w = b.Width(), h = b.Height();
    return OffColour(b, {0, 0, w, 1}, pixel) + OffColour(b, {0, h - 1, w, h}, pixel) +
           OffColour(b, {0, 0, 1, h}, pixel) + OffColour(b, {w - 1, 0, w, h}, pixel);
}

} // namespace

TEST(ProgressBar, Defaults) {
    TsuiProgressBar bar(nullptr);
    EXPECT_EQ(bar.Width(), 150);
    EXPECT_EQ(bar.Height(), 12);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(bar.Caption(), "50%");
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(bar.Color(), 0xE8E8E8u);
    EXPECT_EQ(bar.BorderColor(), 0x000000u);
    EXPECT_TRUE(bar.ShowCaption());
    EXPECT_EQ(bar.Orientation(), suiHorizontal);
}

// At 50 of 0 … 100 a 150-wide bar has the picture over x 1 … 73 and the colour over 74 … 148;
// a 150-high one has the colour over rows 1 … 74 and the picture over 75 … 148 (it fills from
// the bottom). The border is the outer ring either way.
TEST(ProgressBar, FillInBothDirectionsAndEveryStyle) {
    for (TsuiUIStyle style : kBuiltInStyles) {
        SCOPED_TRACE(StyleWord(style));
        TsuiProgressBar bar(nullptr);
        bar.SetUIStyle(style);
        bar.SetShowCaption(false);
        const std::uint32_t face = PixelOf(GetThemeColor(style, thControlColor));
        const std::uint32_t border = PixelOf(GetThemeColor(style, thControlBorderColor));
        EXPECT_EQ(bar.Color(), GetThemeColor(style, thControlColor));

        const gui::Bitmap h = Paint(bar);
        const gui::Bitmap pic = ThemeBitmap(style, thProgressBar);
        EXPECT_EQ(OffBorder(h, border), 0);
        EXPECT_EQ(OffColour(h, {74, 1, 149, 11}, face), 0);
        for (int y = 1; y < 11; ++y) {
            EXPECT_EQ(At(h, 1, y), At(pic, 0, y - 1)) << y;
            EXPECT_EQ(At(h, 73, y), At(pic, pic.Width() - 1, y - 1)) << y;
        }

        bar.SetOrientation(suiVertical);
        ASSERT_EQ(bar.Width(), 12);
        ASSERT_EQ(bar.Height(), 150);
        const gui::Bitmap v = Paint(bar);
        const gui::Bitmap picV = ThemeBitmap(style, thProgressBarV);
        EXPECT_EQ(OffBorder(v, border), 0);
        EXPECT_EQ(OffColour(v, {1, 1, 11, 75}, face), 0);
        for (int x = 1; x < 11; ++x) {
            EXPECT_EQ(At(v, x, 75), At(picV, x - 1, 0)) << x;
            EXPECT_EQ(At(v, x, 148), At(picV, x - 1, picV.Height() - 1)) << x;
        }
    }
}

TEST(ProgressBar, EmptyFullAndOutOfRange) {
    TsuiProgressBar bar(nullptr);
    bar.SetShowCaption(false);
    const std::uint32_t face = PixelOf(bar.Color());
    bar.SetPosition(0);
    EXPECT_EQ(bar.Caption(), "0%");
    EXPECT_EQ(OffColour(Paint(bar), {1, 1, 149, 11}, face), 0) << "Min shows only the colour";
    bar.SetPosition(150);
    EXPECT_EQ(bar.Caption(), "150%");
    const gui::Bitmap full = Paint(bar);
    const gui::Bitmap pic = ThemeBitmap(TsuiUIStyle::DeepBlue, thProgressBar); // one column
    for (int y = 1; y < 11; ++y)
        EXPECT_EQ(OffColour(full, {1, y, 149, y + 1}, At(pic, 0, y - 1)), 0) << "above Max: full, row " << y;
    bar.SetPosition(-20);
    EXPECT_EQ(bar.Caption(), "-20%");
    EXPECT_EQ(bar.FilledLength(149), 0);
    bar.SetMin(10);
    bar.SetMax(10);
    bar.SetPosition(10);
    EXPECT_EQ(bar.Caption(), "0%") << "Max equal to Min reads as empty";
    EXPECT_EQ(bar.FilledLength(149), 0);
    bar.SetMin(0);
    bar.SetMax(2000000000);
    bar.SetPosition(1000000000);
    EXPECT_EQ(bar.Caption(), "50%");
    EXPECT_EQ(bar.FilledLength(149), 74);
    bar.SetMin(-2000000000);
    bar.SetPosition(2000000000);
    EXPECT_EQ(bar.Caption(), "100%");
}

// The caption is centred over the whole bar in the caption colour, over the filled part and
// the unfilled one alike.
TEST(ProgressBar, CaptionCentredOverBothParts) {
    TsuiProgressBar bar(nullptr);
    bar.SetWidth(200);
    bar.SetCaptionColor(0x0000FF);
    const gui::Bitmap out = Paint(bar);
    gui::Bitmap measure(1, 1);
    const SIZE text = measure.Canvas().TextExtent("50%");
    const Box ink = InkBox(out, kRedPixel);
    ASSERT_FALSE(ink.Empty());
    const int x0 = (200 - text.cx) / 2;
    EXPECT_GE(ink.left, x0);
    EXPECT_LE(ink.right, x0 + text.cx);
    EXPECT_GE(ink.top, (12 - text.cy) / 2);
    EXPECT_LE(ink.bottom, (12 - text.cy) / 2 + text.cy);
    EXPECT_LT(ink.left, 99) << "over the filled part";
    EXPECT_GT(ink.right, 100) << "over the unfilled part";
}

TEST(ProgressBar, ThicknessStaysTwelve) {
    TsuiProgressBar bar(nullptr);
    bar.SetBounds(0, 0, 150, 12);
    bar.SetHeight(20);
    EXPECT_EQ(bar.Height(), 12);
    bar.SetBounds(30, 40, 150, 20);
    EXPECT_EQ(bar.Left(), 0) << "a refused change is dropped whole";
    bar.SetWidth(300);
    EXPECT_EQ(bar.Width(), 300);
    bar.SetOrientation(suiVertical);
    EXPECT_EQ(bar.Width(), 12);
    EXPECT_EQ(bar.Height(), 300);
    bar.SetWidth(20);
    EXPECT_EQ(bar.Width(), 12);
    bar.SetHeight(80);
    EXPECT_EQ(bar.Height(), 80);
}

// A vertical bar paints no caption and switches it off for good.
TEST(ProgressBar, VerticalBarDropsTheCaptionForGood) {
    TsuiProgressBar bar(nullptr);
    bar.SetCaptionColor(0x0000FF);
    bar.SetOrientation(suiVertical);
    EXPECT_TRUE(bar.ShowCaption());
    EXPECT_TRUE(InkBox(Paint(bar), kRedPixel).Empty());
    EXPECT_FALSE(bar.ShowCaption());
    bar.SetOrientation(suiHorizontal);
    EXPECT_EQ(bar.Width(), 150);
    EXPECT_FALSE(bar.ShowCaption());
    EXPECT_TRUE(InkBox(Paint(bar), kRedPixel).Empty());
}

TEST(ProgressBar, CustomPictureIsStretchedAndColoursStay) {
    TsuiProgressBar bar(nullptr);
    bar.SetUIStyle(TsuiUIStyle::Custom);
    bar.SetShowCaption(false);
    bar.SetColor(0x00FF00);
    bar.SetBorderColor(0x0000FF);
    gui::Picture p;
    p.Assign(skintest::Filled(4, 10, kYellowPixel));
    bar.SetPicture(p);
    const gui::Bitmap out = Paint(bar);
    EXPECT_EQ(OffColour(out, {1, 1, 74, 11}, kYellowPixel), 0);
    EXPECT_EQ(OffColour(out, {74, 1, 149, 11}, kGreenPixel), 0);
    EXPECT_EQ(OffBorder(out, kRedPixel), 0);
    bar.SetUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(bar.Color(), 0x00FF00u);
}

// A form's style reaches track bars, and progress bars unless they are Custom.
TEST(ProgressBar, StyleWalkReachesBothControls) {
    Host host;
    TsuiProgressBar themed(&host.form), custom(&host.form);
    TsuiTrackBar track(&host.form);
    themed.SetParent(&host.form);
    custom.SetParent(&host.form);
    track.SetParent(&host.form);
    custom.SetUIStyle(TsuiUIStyle::Custom);
    ApplyStyleToChildren(&host.form, TsuiUIStyle::WinXP);
    EXPECT_EQ(themed.UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(themed.BorderColor(), 0x686868u);
    EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(track.UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(track.Height(), 21);
}

TEST(ProgressBar, TenThousandPaintsLeaveTheLiveGdiObjectCountUnchanged) {
    Host host;
    TsuiProgressBar bar(nullptr);
    bar.SetParent(&host.form);
    gui::Bitmap out(150, 150);
    EXPECT_EQ(GdiChangeOverPaints(bar, out.Canvas().Handle(), kLeakPaints / 2), 0);
    bar.SetOrientation(suiVertical);
    EXPECT_EQ(GdiChangeOverPaints(bar, out.Canvas().Handle(), kLeakPaints / 2), 0);
}
