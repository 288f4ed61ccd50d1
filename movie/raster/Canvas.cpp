#include "movie/raster/Canvas.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace movie::raster {

Canvas::Canvas(const Canvas& other)
    : width_(other.width_), height_(other.height_), stride_(other.width_), own_(other.Pixels()) {
    data_ = own_.data();
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_), stride_(other.stride_), data_(other.data_),
      lent_(other.lent_), own_(std::move(other.own_)) {
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
    other.data_ = nullptr;
    other.lent_ = false;
    other.own_.clear();
}

Canvas& Canvas::operator=(Canvas other) noexcept {
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(stride_, other.stride_);
    std::swap(data_, other.data_);
    std::swap(lent_, other.lent_);
    own_.swap(other.own_);
    return *this;
}

void Canvas::Resize(int width, int height, Pixel fill) {
    if (width < 0 || height < 0) throw std::invalid_argument("canvas size must not be negative");
    if (width == width_ && height == height_) return;
    lent_ = false;
    own_.assign(static_cast<size_t>(width) * height, fill);
    data_ = own_.data();
    width_ = width;
    height_ = height;
    stride_ = width;
}

void Canvas::Lend(Pixel* pixels, int width, int height, std::ptrdiff_t stride) {
    if (!pixels || width <= 0 || height <= 0 || stride < width)
        throw std::invalid_argument(
            "lent pixels must be a non-empty picture with rows at least its width apart");
    own_.clear();
    own_.shrink_to_fit();
    lent_ = true;
    data_ = pixels;
    width_ = width;
    height_ = height;
    stride_ = stride;
}

void Canvas::Fill(Pixel p) {
    for (int y = 0; y < height_; ++y)
        std::fill_n(Row(y), width_, p);
}

std::vector<Pixel> Canvas::Pixels() const {
    std::vector<Pixel> out;
    out.reserve(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        out.insert(out.end(), Row(y), Row(y) + width_);
    return out;
}

} // namespace movie::raster
