#include "gui/ImageList.h"

#include <gtest/gtest.h>

#include "gui/Canvas.h"

namespace {

constexpr gui::TColor kBack = 0x102030;
constexpr gui::TColor kKey = 0xFF00FF;

gui::Bitmap Filled(int width, int height, gui::TColor color) {
  gui::Bitmap bitmap(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(gui::MakeRect(0, 0, width, height));
  return bitmap;
}

// A strip of three 3 x 2 images: red, green, blue, each with a key-coloured top-left pixel, and
// one column more that no image takes.
gui::Bitmap Strip() {
  gui::Bitmap strip(10, 2);
  const gui::TColor colours[] = {gui::clRed, gui::clLime, gui::clBlue};
  for (int i = 0; i < 3; ++i) {
    strip.Canvas().Brush().SetColor(colours[i]);
    strip.Canvas().FillRect(gui::MakeRect(i * 3, 0, i * 3 + 3, 2));
    strip.Canvas().SetPixel(i * 3, 0, kKey);
  }
  strip.Canvas().SetPixel(9, 0, gui::clBlack);
  return strip;
}

TEST(ImageList, CutsAStripIntoImagesAndDropsTheRemainder) {
  gui::ImageList list(3, 2);
  EXPECT_EQ(list.AddMasked(Strip(), kKey), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.AddMasked(Strip(), kKey), 3);
  EXPECT_EQ(list.Count(), 6);
  gui::ImageList wide(20, 2);
  EXPECT_EQ(wide.AddMasked(Strip(), kKey), -1) << "nothing fits";
  EXPECT_EQ(wide.Count(), 0);
}

TEST(ImageList, DrawsWithTheMaskColourLeftOut) {
  gui::ImageList list(3, 2);
  list.AddMasked(Strip(), kKey);
  gui::Bitmap target = Filled(8, 4, kBack);
  list.Draw(target.Canvas(), 1, 1, 2);
  EXPECT_EQ(target.Canvas().Pixel(1, 1), kBack);
  EXPECT_EQ(target.Canvas().Pixel(2, 1), gui::clBlue);
  EXPECT_EQ(target.Canvas().Pixel(3, 2), gui::clBlue);
  EXPECT_EQ(target.Canvas().Pixel(4, 1), kBack);
  list.Draw(target.Canvas(), 0, 0, 7);  // no such image: nothing happens
  EXPECT_EQ(target.Canvas().Pixel(0, 0), kBack);
}

TEST(ImageList, AddTakesAnExplicitMaskOrNone) {
  gui::Bitmap image = Filled(2, 1, gui::clRed);
  gui::Bitmap mask(2, 1);  // white: transparent
  mask.Canvas().SetPixel(1, 0, gui::clBlack);
  gui::ImageList list(2, 1);
  list.Add(image, &mask);
  list.Add(image, nullptr);
  gui::Bitmap target = Filled(2, 2, kBack);
  list.Draw(target.Canvas(), 0, 0, 0);
  list.Draw(target.Canvas(), 0, 1, 1);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), kBack);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), gui::clRed);
  EXPECT_EQ(target.Canvas().Pixel(0, 1), gui::clRed) << "no mask: all opaque";
}

TEST(ImageList, DisabledImagesAreGreyAndKeepTheirMask) {
  gui::ImageList list(3, 2);
  list.AddMasked(Strip(), kKey);
  gui::Bitmap target = Filled(3, 2, kBack);
  list.Draw(target.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), kBack);
  const gui::TColor grey = target.Canvas().Pixel(1, 1);
  EXPECT_NE(grey, gui::clRed);
  EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
  EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
  EXPECT_GE(grey & 0xFF, 128u) << "a light grey";
  gui::Bitmap other = Filled(3, 2, kBack);
  list.Draw(other.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(other.Canvas().Pixel(1, 1), grey) << "the same rendering every time";
}

TEST(ImageList, GetBitmapGivesTheImageOnWhite) {
  gui::ImageList list(3, 2);
  list.AddMasked(Strip(), kKey);
  gui::Bitmap slice(7, 7);
  slice.Canvas().SetPixel(0, 0, gui::clBlack);
  list.GetBitmap(1, slice);
  EXPECT_EQ(slice.Width(), 3);
  EXPECT_EQ(slice.Height(), 2);
  EXPECT_EQ(slice.Canvas().Pixel(0, 0), gui::clWhite) << "the transparent pixel comes out white";
  EXPECT_EQ(slice.Canvas().Pixel(2, 1), gui::clLime);
}

}  // namespace
