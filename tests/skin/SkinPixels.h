// Pixel helpers of the skin tests: patterned bitmaps whose every pixel tells where it came
// from, and reads of single pixels.
#pragma once

#include <cstdint>

#include "gui/Bitmap.h"
#include "gui/Color.h"

namespace skintest {

// Pixels as the bitmap stores them: 0x00RRGGBB.
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kMagenta = 0xFF00FF;

// The pattern pixel of source column x, row y: red = x, green = y, blue 0x40.
constexpr std::uint32_t PatternPixel(int x, int y) {
  return (static_cast<std::uint32_t>(x) << 16) | (static_cast<std::uint32_t>(y) << 8) | 0x40;
}
constexpr int PatternX(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int PatternY(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr bool IsPattern(std::uint32_t p) { return (p & 0xFF) == 0x40; }

inline gui::Bitmap Pattern(int w, int h) {
  gui::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.ScanLine(y)[x] = PatternPixel(x, y);
  return b;
}

inline gui::Bitmap Filled(int w, int h, std::uint32_t pixel) {
  gui::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.ScanLine(y)[x] = pixel;
  return b;
}

inline std::uint32_t At(gui::Bitmap& b, int x, int y) { return b.ScanLine(y)[x] & 0xFFFFFF; }

// A colour (0x00BBGGRR or a system colour) as a bitmap pixel.
inline std::uint32_t PixelOf(gui::TColor color) { return gui::ColorToPixel(gui::ColorToRGB(color)); }

}  // namespace skintest
