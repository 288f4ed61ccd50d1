// The pixel buffer frames are drawn into: premultiplied 0xAARRGGBB words,
// rows top to bottom (see Pixel.h for the byte order). It holds its own
// pixels, without padding, or draws into memory the caller lends it (a
// window's bitmap), rows a given number of pixels apart.
#pragma once

#include "movie/raster/Pixel.h"

#include <cstddef>
#include <vector>

namespace movie::raster {

class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height, Pixel fill = 0) { Resize(width, height, fill); }
    // A copy holds pixels of its own, even of a canvas drawing into lent memory.
    Canvas(const Canvas& other);
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixels from one row to the next.
    std::ptrdiff_t Stride() const { return stride_; }
    // Sets the size; pixels are kept only if the size does not change. A
    // new size leaves lent memory and takes pixels of its own.
    void Resize(int width, int height, Pixel fill = 0);
    // Draws into `pixels` from now on: width x height, rows `stride` pixels
    // apart (at least the width). The memory stays the caller's and must
    // outlive its use here; what it holds is kept.
    void Lend(Pixel* pixels, int width, int height, std::ptrdiff_t stride);
    // True while drawing into lent memory.
    bool Lent() const { return lent_; }
    void Fill(Pixel p);

    Pixel* Row(int y) { return data_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    const Pixel* Row(int y) const { return data_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    // A copy of every pixel, row after row.
    std::vector<Pixel> Pixels() const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stride_ = 0;
    Pixel* data_ = nullptr;
    bool lent_ = false;
    std::vector<Pixel> own_;
};

} // namespace movie::raster
