#include "gui/Bitmap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "gui/Exception.h"
#include "gui/Text.h"

namespace {

constexpr gui::TColor kMagenta = 0xFF00FF;
constexpr gui::TColor kGrey = 0x808080;
constexpr gui::TColor kBack = 0x102030;

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

gui::TColor At(gui::Bitmap& bitmap, int x, int y) { return bitmap.Canvas().Pixel(x, y); }

gui::Bitmap Filled(int width, int height, gui::TColor color) {
  gui::Bitmap bitmap(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(gui::MakeRect(0, 0, width, height));
  return bitmap;
}

TEST(Bitmap, StartsWhiteAndKeepsItsPixelsWhenResized) {
  gui::Bitmap bitmap(4, 3);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(At(bitmap, 0, 0), gui::clWhite);
  EXPECT_EQ(At(bitmap, 3, 2), gui::clWhite);
  bitmap.Canvas().SetPixel(1, 1, gui::clRed);
  gui::Canvas* canvas = &bitmap.Canvas();
  bitmap.SetSize(6, 5);
  EXPECT_EQ(&bitmap.Canvas(), canvas) << "the canvas object stays";
  EXPECT_EQ(At(bitmap, 1, 1), gui::clRed);
  EXPECT_EQ(At(bitmap, 5, 4), gui::clWhite);
  bitmap.SetWidth(1);
  EXPECT_EQ(bitmap.Width(), 1);
  EXPECT_EQ(bitmap.Height(), 5);
  bitmap.SetSize(0, 7);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Handle(), nullptr);
}

TEST(Bitmap, HoldsItsPixelsAndOneDCAndDrawingMakesNothingLasting) {
  const long start = gui::LiveGdiObjectCount();
  {
    gui::Bitmap picture(3, 3);
    EXPECT_EQ(gui::LiveGdiObjectCount(), start + 2);
    gui::Bitmap target(5, 5);
    const long before = gui::LiveGdiObjectCount();
    target.Canvas().Draw(0, 0, picture);
    picture.SetTransparent(true);
    target.Canvas().Draw(1, 1, picture);
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
    picture.SetSize(0, 0);
    EXPECT_EQ(gui::LiveGdiObjectCount(), before - 1) << "no pixels, only the DC";
  }
  EXPECT_EQ(gui::LiveGdiObjectCount(), start);
}

TEST(Bitmap, CanvasSettingsSurviveAResize) {
  gui::Bitmap bitmap(2, 2);
  bitmap.Canvas().Brush().SetColor(gui::clBlue);
  bitmap.SetSize(3, 3);
  bitmap.Canvas().FillRect(gui::MakeRect(0, 0, 3, 3));
  EXPECT_EQ(At(bitmap, 2, 2), gui::clBlue);
}

TEST(Bitmap, ScanLinesHoldRedGreenBlueFromTheHighByteDown) {
  gui::Bitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(1, 0, gui::RGBColor(0x11, 0x22, 0x33));
  EXPECT_EQ(bitmap.ScanLine(0)[1], 0x00112233u);
  bitmap.ScanLine(1)[0] = 0x00AABBCC;
  EXPECT_EQ(At(bitmap, 0, 1), gui::RGBColor(0xAA, 0xBB, 0xCC));
}

TEST(Bitmap, ChangesAreNotified) {
  gui::Bitmap bitmap;
  int changes = 0;
  bitmap.OnChange = [&] { ++changes; };
  bitmap.SetSize(2, 2);
  bitmap.SetSize(2, 2);
  bitmap.SetTransparent(true);
  bitmap.SetTransparent(true);
  bitmap.LoadFromResourceName(Self(), "TEST_BMP24");
  EXPECT_EQ(changes, 3);
}

TEST(Bitmap, Loads24BitResourcesPixelForPixel) {
  gui::Bitmap bitmap;
  bitmap.LoadFromResourceName(Self(), "TEST_BMP24");
  ASSERT_EQ(bitmap.Width(), 5);
  ASSERT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(At(bitmap, 0, 0), gui::clRed);
  EXPECT_EQ(At(bitmap, 1, 0), gui::clLime);
  EXPECT_EQ(At(bitmap, 2, 0), gui::clBlue);
  EXPECT_EQ(At(bitmap, 3, 0), gui::clWhite);
  EXPECT_EQ(At(bitmap, 4, 0), gui::clBlack);
  EXPECT_EQ(At(bitmap, 2, 1), kGrey);
  EXPECT_EQ(At(bitmap, 0, 2), kMagenta);
  EXPECT_EQ(At(bitmap, 4, 2), gui::clLime);
}

TEST(Bitmap, Loads8BitAnd4BitResourcesThroughTheirColourTables) {
  const gui::TColor table8[] = {gui::clRed, gui::clLime, gui::clBlue, gui::clWhite};
  gui::Bitmap eight;
  eight.LoadFromResourceName(Self(), "TEST_BMP8");
  ASSERT_EQ(eight.Width(), 6);
  ASSERT_EQ(eight.Height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(eight, x, y), table8[(x + y) % 4]) << x << "," << y;

  const gui::TColor table4[] = {gui::clBlack, kMagenta, gui::clLime};
  gui::Bitmap four;
  four.LoadFromResourceName(Self(), "TEST_BMP4");
  ASSERT_EQ(four.Width(), 7);
  ASSERT_EQ(four.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(At(four, x, y), table4[x % 3]) << x << "," << y;
}

TEST(Bitmap, AMissingResourceIsReportedByNameAndChangesNothing) {
  gui::Bitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(0, 0, gui::clRed);
  try {
    bitmap.LoadFromResourceName(Self(), "PROTEIN_NOTHING");
    FAIL() << "no exception";
  } catch (const gui::EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource PROTEIN_NOTHING not found");
  }
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(At(bitmap, 0, 0), gui::clRed);
  EXPECT_THROW(bitmap.LoadFromResourceName(Self(), "TEST_JPEG"), gui::EResNotFound) << "RCDATA is no bitmap";
}

TEST(Bitmap, TheAutomaticKeyIsTheBottomLeftPixel) {
  gui::Bitmap bitmap;
  bitmap.LoadFromResourceName(Self(), "TEST_BMP24");
  EXPECT_EQ(bitmap.TransparentMode(), gui::tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), kMagenta);
  bitmap.SetTransparentColor(gui::clRed);
  EXPECT_EQ(bitmap.TransparentMode(), gui::tmFixed);
  EXPECT_EQ(bitmap.TransparentColor(), gui::clRed);
  bitmap.SetTransparentMode(gui::tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), kMagenta);
}

TEST(Bitmap, DrawsOpaqueOrLeavesItsKeyColourOut) {
  gui::Bitmap picture;
  picture.LoadFromResourceName(Self(), "TEST_BMP24");
  gui::Bitmap target = Filled(10, 10, kBack);
  target.Canvas().Draw(1, 1, picture);
  EXPECT_EQ(At(target, 1, 3), kMagenta) << "opaque: the key colour is drawn";
  EXPECT_EQ(At(target, 1, 1), gui::clRed);
  EXPECT_EQ(At(target, 6, 1), kBack);

  picture.SetTransparent(true);
  target.Assign(Filled(10, 10, kBack));
  target.Canvas().Draw(1, 1, picture);
  EXPECT_EQ(At(target, 1, 3), kBack) << "transparent: the bottom-left colour is left out";
  EXPECT_EQ(At(target, 2, 3), gui::clRed);
  EXPECT_EQ(At(target, 5, 1), gui::clBlack) << "black stays black";
  EXPECT_EQ(At(target, 4, 1), gui::clWhite);

  picture.SetTransparentColor(gui::clRed);
  target.Assign(Filled(10, 10, kBack));
  target.Canvas().Draw(1, 1, picture);
  EXPECT_EQ(At(target, 1, 1), kBack);
  EXPECT_EQ(At(target, 1, 3), kMagenta);
}

TEST(Bitmap, StretchDrawReplicatesPixelsAlsoTransparently) {
  gui::Bitmap picture(2, 1);
  picture.Canvas().SetPixel(0, 0, gui::clRed);
  picture.Canvas().SetPixel(1, 0, gui::clBlue);
  gui::Bitmap target = Filled(10, 4, kBack);
  target.Canvas().StretchDraw(gui::MakeRect(0, 0, 10, 4), picture);
  EXPECT_EQ(At(target, 4, 3), gui::clRed);
  EXPECT_EQ(At(target, 5, 0), gui::clBlue);
  picture.SetTransparent(true);
  picture.SetTransparentColor(gui::clBlue);
  target.Assign(Filled(10, 4, kBack));
  target.Canvas().StretchDraw(gui::MakeRect(0, 0, 10, 4), picture);
  EXPECT_EQ(At(target, 4, 3), gui::clRed);
  EXPECT_EQ(At(target, 5, 0), kBack);
  EXPECT_EQ(At(target, 9, 3), kBack);
}

TEST(Bitmap, CopiesAreIndependent) {
  gui::Bitmap original(3, 3);
  original.Canvas().SetPixel(1, 1, gui::clRed);
  original.SetTransparent(true);
  gui::Bitmap copy(original);
  auto clone = original.Clone();
  original.Canvas().SetPixel(1, 1, gui::clBlue);
  EXPECT_EQ(At(copy, 1, 1), gui::clRed);
  EXPECT_TRUE(copy.Transparent());
  auto& cloned = dynamic_cast<gui::Bitmap&>(*clone);
  EXPECT_EQ(At(cloned, 1, 1), gui::clRed);
  gui::Bitmap assigned;
  assigned.Assign(original);
  EXPECT_EQ(At(assigned, 1, 1), gui::clBlue);
  EXPECT_EQ(assigned.Width(), 3);
}

class BitmapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path = gui::WideToUtf8(folder) + "nimbre_bitmap_test.bmp";
  }
  void TearDown() override { DeleteFileW(gui::Utf8ToWide(path).c_str()); }
  void Write(const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(gui::Utf8ToWide(path).c_str(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // The bytes of the 24-bit test resource as a .bmp file.
  std::vector<std::uint8_t> ValidFile() {
    HRSRC resource = FindResourceW(Self(), L"TEST_BMP24", MAKEINTRESOURCEW(2));
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(Self(), resource)));
    const DWORD size = SizeofResource(Self(), resource);
    std::vector<std::uint8_t> bytes(14, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const std::uint32_t offset = 14 + 40;
    std::memcpy(&bytes[10], &offset, 4);
    bytes.insert(bytes.end(), data, data + size);
    return bytes;
  }
  std::string path;
};

TEST_F(BitmapFileTest, LoadsAFile) {
  Write(ValidFile());
  gui::Bitmap bitmap;
  bitmap.LoadFromFile(path);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(At(bitmap, 0, 2), kMagenta);
}

// Every cut of a good file, and headers with lying sizes, give a clear error and keep the picture.
TEST_F(BitmapFileTest, DamagedFilesFailCleanlyAndLoseNothing) {
  const std::vector<std::uint8_t> good = ValidFile();
  gui::Bitmap bitmap(1, 1);
  bitmap.Canvas().SetPixel(0, 0, gui::clBlue);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    Write(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
    EXPECT_THROW(bitmap.LoadFromFile(path), gui::EInvalidGraphic) << "cut at " << cut;
  }
  auto lying = good;
  const std::int32_t hugeWidth = 16000;
  std::memcpy(&lying[18], &hugeWidth, 4);
  Write(lying);
  EXPECT_THROW(bitmap.LoadFromFile(path), gui::EInvalidGraphic);
  lying = good;
  const std::uint32_t manyColours = 0x7FFFFFFF;
  std::memcpy(&lying[46], &manyColours, 4);
  Write(lying);
  EXPECT_THROW(bitmap.LoadFromFile(path), gui::EInvalidGraphic);
  lying = good;
  lying[28] = 7;  // bits per pixel
  Write(lying);
  EXPECT_THROW(bitmap.LoadFromFile(path), gui::EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 1);
  EXPECT_EQ(At(bitmap, 0, 0), gui::clBlue);
  EXPECT_THROW(bitmap.LoadFromFile(path + ".missing"), gui::EInvalidGraphic);
}

TEST(MaskedDrawing, KeyedPixelsLeaveTheCanvasAlone) {
  gui::Bitmap source(3, 1);
  source.Canvas().SetPixel(0, 0, kMagenta);
  source.Canvas().SetPixel(1, 0, gui::clBlack);
  source.Canvas().SetPixel(2, 0, kMagenta);
  gui::Bitmap keyed;
  gui::Bitmap mask;
  gui::MakeMask(source, kMagenta, keyed, mask);
  EXPECT_EQ(At(mask, 0, 0), gui::clWhite);
  EXPECT_EQ(At(mask, 1, 0), gui::clBlack);
  EXPECT_EQ(At(keyed, 0, 0), gui::clBlack);
  gui::Bitmap target = Filled(3, 1, kBack);
  gui::DrawMasked(target.Canvas(), gui::MakeRect(0, 0, 3, 1), keyed, mask);
  EXPECT_EQ(At(target, 0, 0), kBack);
  EXPECT_EQ(At(target, 1, 0), gui::clBlack);
  EXPECT_EQ(At(target, 2, 0), kBack);
}

}  // namespace
