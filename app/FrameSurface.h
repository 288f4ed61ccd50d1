// The off-screen picture of the movie control: a 32-bit top-down bitmap that
// the renderer writes into, copied to the window in one blit.
#pragma once

#include "gui/OffscreenPaint.h"

#include <windows.h>

#include <cstdint>
#include <memory>

class FrameSurface {
public:
    FrameSurface() = default;
    FrameSurface(const FrameSurface&) = delete;
    FrameSurface& operator=(const FrameSurface&) = delete;
    ~FrameSurface();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_ == nullptr; }
    // Rows of 0xAARRGGBB words (bytes B, G, R, A), top to bottom, no padding.
    std::uint32_t* Pixels() { return pixels_; }
    const std::uint32_t* Pixels() const { return pixels_; }
    int StrideBytes() const { return width_ * 4; }

    // A new picture of that size (contents undefined); 0 on either axis frees it.
    void Resize(int width, int height);
    void Fill(std::uint32_t pixel);
    // Copies the whole picture to dc at (x, y).
    void BlitTo(HDC dc, int x = 0, int y = 0) const;
    // Copies one part of the picture to the same place in dc.
    void BlitRect(HDC dc, const RECT& part) const;

private:
    void release();

    int width_ = 0;
    int height_ = 0;
    std::uint32_t* pixels_ = nullptr;
    std::unique_ptr<gui::OffscreenPaint> picture_;
};
