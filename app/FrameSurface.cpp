#include "app/FrameSurface.h"

#include "gui/Exception.h"

#include <algorithm>

FrameSurface::~FrameSurface() { release(); }

void FrameSurface::release() {
    picture_.reset();
    pixels_ = nullptr;
    width_ = height_ = 0;
}

void FrameSurface::Resize(int width, int height) {
    if (width == width_ && height == height_ && pixels_) return;
    release();
    if (width <= 0 || height <= 0) return;
    try {
        picture_ = std::make_unique<gui::OffscreenPaint>(width, height);
    } catch (const gui::EOutOfResources&) {
        throw gui::EOutOfResources("Cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                                   " picture for the movie");
    }
    pixels_ = picture_->Bitmap().ScanLine(0);
    width_ = width;
    height_ = height;
}

void FrameSurface::Fill(std::uint32_t pixel) {
    if (pixels_) std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, pixel);
}

void FrameSurface::BlitTo(HDC dc, int x, int y) const {
    if (picture_) picture_->Present(dc, x, y);
}

void FrameSurface::BlitRect(HDC dc, const RECT& part) const {
    if (picture_) picture_->Present(dc, part);
}
