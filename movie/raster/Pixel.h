// Pixel arithmetic of the rasterizer. A pixel is a 32-bit word 0xAARRGGBB
// with colour premultiplied by alpha: in memory on a little-endian machine the
// bytes read B, G, R, A, which is what a 32-bit Windows DIB section and a
// cairo ARGB32 surface hold.
#pragma once

#include <cstdint>

namespace movie::raster {

using Pixel = uint32_t;

constexpr Pixel PackPixel(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr uint32_t PixelA(Pixel p) { return p >> 24; }
constexpr uint32_t PixelR(Pixel p) { return (p >> 16) & 0xFF; }
constexpr uint32_t PixelG(Pixel p) { return (p >> 8) & 0xFF; }
constexpr uint32_t PixelB(Pixel p) { return p & 0xFF; }

// A straight-alpha colour premultiplied, rounded.
inline Pixel Premultiply(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    auto mul = [a](uint32_t c) {
        uint32_t t = c * a + 128;
        return (t + (t >> 8)) >> 8;
    };
    return PackPixel(mul(r), mul(g), mul(b), a);
}

// All four channels times f/256, f in 0..256.
inline Pixel ScalePixel(Pixel p, uint32_t f) {
    uint32_t rb = (((p & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((p >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
    return rb | ag;
}

// All four channels times f/255, f in 0..255, rounded to nearest.
inline Pixel MulDiv255(Pixel p, uint32_t f) {
    uint32_t rb = (p & 0x00FF00FFu) * f + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * f + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source over destination, both premultiplied.
inline Pixel BlendOver(Pixel dst, Pixel src) {
    return src + MulDiv255(dst, 255 - (src >> 24));
}

// Channel-wise saturating sum (used to add the disjoint fills of one shape
// into a layer, so that fills meeting along an edge leave no seam).
inline Pixel AddSaturate(Pixel a, Pixel b) {
    uint32_t rb = (a & 0x00FF00FFu) + (b & 0x00FF00FFu);
    uint32_t ag = ((a >> 8) & 0x00FF00FFu) + ((b >> 8) & 0x00FF00FFu);
    rb |= ((rb & 0x01000100u) - ((rb & 0x01000100u) >> 8));
    ag |= ((ag & 0x01000100u) - ((ag & 0x01000100u) >> 8));
    return (rb & 0x00FF00FFu) | ((ag & 0x00FF00FFu) << 8);
}

} // namespace movie::raster
