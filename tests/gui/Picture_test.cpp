#include "gui/Picture.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/JpegImage.h"

namespace {

TEST(Picture, HoldsAnyGraphicAndReportsEveryChange) {
  gui::Picture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);

  auto jpeg = std::make_unique<gui::JpegImage>();
  jpeg->LoadFromResourceName(GetModuleHandleW(nullptr), "TEST_JPEG");
  picture.SetGraphic(std::move(jpeg));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.Width(), 16);
  EXPECT_EQ(picture.Height(), 8);
  EXPECT_NE(dynamic_cast<gui::JpegImage*>(picture.Graphic()), nullptr);

  picture.Graphic()->SetTransparent(true);
  EXPECT_EQ(changes, 2) << "a change of the graphic held is the picture's change";

  picture.SetGraphic(nullptr);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(picture.Empty());
}

TEST(Picture, AssignCopiesTheGraphic) {
  gui::Picture source;
  source.Bitmap().SetSize(3, 2);
  source.Bitmap().Canvas().SetPixel(0, 0, gui::clRed);
  gui::Picture copy;
  int changes = 0;
  copy.OnChange = [&] { ++changes; };
  copy.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(copy.Width(), 3);
  source.Bitmap().Canvas().SetPixel(0, 0, gui::clBlue);
  EXPECT_EQ(copy.Bitmap().Canvas().Pixel(0, 0), gui::clRed) << "a deep copy";
  copy.Bitmap().SetSize(5, 5);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(source.Width(), 3);

  gui::Picture empty;
  copy.Assign(empty);
  EXPECT_TRUE(copy.Empty());
  copy.Assign(source.Bitmap());
  EXPECT_EQ(copy.Width(), 3);
}

TEST(Picture, BitmapReplacesAnotherKindOfGraphic) {
  gui::Picture picture;
  auto jpeg = std::make_unique<gui::JpegImage>();
  jpeg->LoadFromResourceName(GetModuleHandleW(nullptr), "TEST_JPEG");
  picture.SetGraphic(std::move(jpeg));
  gui::Bitmap& bitmap = picture.Bitmap();
  EXPECT_EQ(picture.Graphic(), &bitmap);
  EXPECT_TRUE(picture.Empty());
}

}  // namespace
