#include "movie/raster/Canvas.h"

#include <algorithm>
#include <stdexcept>

namespace movie::raster {

void Canvas::Resize(int width, int height, Pixel fill) {
    if (width < 0 || height < 0) throw std::invalid_argument("canvas size must not be negative");
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * height, fill);
}

void Canvas::Fill(Pixel p) {
    std::fill(pixels_.begin(), pixels_.end(), p);
}

} // namespace movie::raster
