#include "gui/JpegImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "gui/Exception.h"
#include "gui/Text.h"

namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

// JPEG is lossy: a colour counts when every channel is within a small distance.
bool Near(gui::TColor actual, gui::TColor expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 24) return false;
  }
  return true;
}

std::vector<std::uint8_t> ResourceBytes(const wchar_t* name) {
  HRSRC resource = FindResourceW(Self(), name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(Self(), resource)));
  return std::vector<std::uint8_t>(data, data + SizeofResource(Self(), resource));
}

TEST(JpegImage, DecodesARcdataResource) {
  gui::JpegImage image;
  image.LoadFromResourceName(Self(), "TEST_JPEG");
  ASSERT_EQ(image.Width(), 16);
  ASSERT_EQ(image.Height(), 8);
  gui::Bitmap target(16, 8);
  target.Canvas().Draw(0, 0, image);
  EXPECT_TRUE(Near(target.Canvas().Pixel(2, 3), gui::clRed)) << std::hex << target.Canvas().Pixel(2, 3);
  EXPECT_TRUE(Near(target.Canvas().Pixel(13, 4), gui::clBlue)) << std::hex << target.Canvas().Pixel(13, 4);
}

TEST(JpegImage, ResourcesOfAnotherTypeByName) {
  gui::JpegImage image;
  image.LoadFromResourceName(Self(), "TEST_JPEG_TYPED", L"JPEG");
  EXPECT_EQ(image.Width(), 16);
  try {
    image.LoadFromResourceName(Self(), "TEST_JPEG_TYPED");
    FAIL() << "no exception";
  } catch (const gui::EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource TEST_JPEG_TYPED not found");
  }
}

TEST(JpegImage, StretchesWhenDrawnIntoALargerRectangle) {
  gui::JpegImage image;
  image.LoadFromResourceName(Self(), "TEST_JPEG");
  gui::Bitmap target(32, 16);
  target.Canvas().StretchDraw(gui::MakeRect(0, 0, 32, 16), image);
  EXPECT_TRUE(Near(target.Canvas().Pixel(4, 12), gui::clRed));
  EXPECT_TRUE(Near(target.Canvas().Pixel(28, 12), gui::clBlue));
}

TEST(JpegImage, BadDataFailsCleanlyAndKeepsThePicture) {
  gui::JpegImage image;
  image.LoadFromResourceName(Self(), "TEST_JPEG");
  EXPECT_THROW(image.LoadFromResourceName(Self(), "TEST_JPEG_BROKEN"), gui::EInvalidGraphic);
  EXPECT_EQ(image.Width(), 16) << "the old picture stays";
  const std::vector<std::uint8_t> good = ResourceBytes(L"TEST_JPEG");
  // Every cut of the header region, and a garbage stream, must fail with the graphic error.
  for (std::size_t cut = 0; cut < 200 && cut < good.size(); ++cut) {
    try {
      image.LoadFromMemory(good.data(), cut);
    } catch (const gui::EInvalidGraphic&) {
    }
    EXPECT_EQ(image.Width(), 16);
  }
  const std::uint8_t garbage[] = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4, 5};
  EXPECT_THROW(image.LoadFromMemory(garbage, sizeof(garbage)), gui::EInvalidGraphic);
  EXPECT_THROW(image.LoadFromMemory(nullptr, 0), gui::EInvalidGraphic);
}

TEST(JpegImage, AHeaderClaimingAHugePictureIsRefused) {
  std::vector<std::uint8_t> bytes = ResourceBytes(L"TEST_JPEG");
  std::size_t sof = 0;
  for (std::size_t i = 0; i + 9 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC1)) {
      sof = i;
      break;
    }
  ASSERT_NE(sof, 0u);
  bytes[sof + 5] = 0x3A;  // height 15000
  bytes[sof + 6] = 0x98;
  bytes[sof + 7] = 0x3A;  // width 15000
  bytes[sof + 8] = 0x98;
  gui::JpegImage image;
  image.LoadFromResourceName(Self(), "TEST_JPEG");
  EXPECT_THROW(image.LoadFromMemory(bytes.data(), bytes.size()), gui::EInvalidGraphic);
  EXPECT_EQ(image.Width(), 16);
}

TEST(JpegImage, LoadsAFileAndCopies) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::string path = gui::WideToUtf8(folder) + "nimbre_jpeg_test.jpg";
  const std::vector<std::uint8_t> good = ResourceBytes(L"TEST_JPEG");
  {
    std::ofstream file(gui::Utf8ToWide(path).c_str(), std::ios::binary);
    file.write(reinterpret_cast<const char*>(good.data()), static_cast<std::streamsize>(good.size()));
  }
  gui::JpegImage image;
  image.LoadFromFile(path);
  DeleteFileW(gui::Utf8ToWide(path).c_str());
  EXPECT_EQ(image.Width(), 16);
  auto copy = image.Clone();
  EXPECT_EQ(copy->Height(), 8);
  EXPECT_THROW(image.LoadFromFile(path), gui::EInvalidGraphic) << "the file is gone";
}

}  // namespace
