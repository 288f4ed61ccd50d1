// Decoded bitmaps (DefineBits*, DefineBitsLossless*).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace movie {

// Pixels are RGBA, 4 bytes per pixel in the order r, g, b, a, rows top to
// bottom without padding, colour PREMULTIPLIED by alpha (r, g, b <= a).
// Opaque pixels therefore carry their colour unchanged.
struct Bitmap {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels; // width * height * 4 bytes
    // Bitmaps that scripts make: false when every pixel is opaque, and a
    // count that changes with every change of the pixels.
    bool transparent = true;
    uint32_t version = 0;

    const uint8_t* Pixel(uint32_t x, uint32_t y) const { return &pixels[(std::size_t(y) * width + x) * 4]; }
};

} // namespace movie
