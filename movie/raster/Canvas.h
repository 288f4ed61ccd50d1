// The pixel buffer frames are drawn into: premultiplied 0xAARRGGBB words,
// rows top to bottom without padding (see Pixel.h for the byte order).
#pragma once

#include "movie/raster/Pixel.h"

#include <cstddef>
#include <vector>

namespace movie::raster {

class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height, Pixel fill = 0) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Sets the size; pixels are kept only if the size does not change.
    void Resize(int width, int height, Pixel fill = 0);
    void Fill(Pixel p);

    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    const std::vector<Pixel>& Pixels() const { return pixels_; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

} // namespace movie::raster
