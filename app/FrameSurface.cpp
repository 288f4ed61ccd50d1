#include "app/FrameSurface.h"

#include "gui/Exception.h"

#include <algorithm>

FrameSurface::~FrameSurface() { release(); }

void FrameSurface::release() {
    selection_.reset();
    bitmap_.Reset();
    dc_.reset();
    pixels_ = nullptr;
    width_ = height_ = 0;
}

void FrameSurface::Resize(int width, int height) {
    if (width == width_ && height == height_ && pixels_) return;
    release();
    if (width <= 0 || height <= 0) return;
    gui::DibSection dib;
    try {
        dib = gui::CreateTopDownDib(width, height);
    } catch (const gui::EOutOfResources&) {
        throw gui::EOutOfResources("Cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                                   " picture for the movie");
    }
    bitmap_ = std::move(dib.handle);
    dc_ = std::make_unique<gui::MemoryDC>();
    selection_ = std::make_unique<gui::SelectObjectGuard>(dc_->Get(), bitmap_.Get());
    pixels_ = dib.pixels;
    width_ = width;
    height_ = height;
}

void FrameSurface::Fill(std::uint32_t pixel) {
    if (pixels_) std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, pixel);
}

void FrameSurface::BlitTo(HDC dc, int x, int y) const {
    if (!pixels_) return;
    GdiFlush();
    BitBlt(dc, x, y, width_, height_, dc_->Get(), 0, 0, SRCCOPY);
}

void FrameSurface::BlitRect(HDC dc, const RECT& part) const {
    if (!pixels_ || part.right <= part.left || part.bottom <= part.top) return;
    GdiFlush();
    BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, dc_->Get(), part.left, part.top,
           SRCCOPY);
}
