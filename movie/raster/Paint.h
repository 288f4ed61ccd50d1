// What fills the covered pixels: a solid colour, a gradient through a
// 256-entry colour table, or an image. Each kind has its own row shader; the
// blitter calls the shader once per run of covered pixels.
#pragma once

#include "movie/raster/BlendModes.h"
#include "movie/raster/Pixel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace movie::raster {

// x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

// A premultiplied image, rows top to bottom without padding: either Pixel
// words it owns (`pixels`) or, when `rgba` is set, borrowed bytes in the
// order r, g, b, a (as decoded movie bitmaps hold them).
struct Image {
    int width = 0;
    int height = 0;
    bool opaque = true;
    std::vector<Pixel> pixels;
    const uint8_t* rgba = nullptr;

    Pixel At(int x, int y) const {
        size_t i = static_cast<size_t>(y) * width + x;
        if (!rgba) return pixels[i];
        const uint8_t* p = rgba + i * 4;
        return PackPixel(p[0], p[1], p[2], p[3]);
    }
};

// A colour transform on straight colour, channel = clamp(c * mult + add).
struct ColorMatrix {
    float mult[4] = {1, 1, 1, 1}; // r, g, b, a
    float add[4] = {0, 0, 0, 0};  // channel units
    bool IsIdentity() const {
        return mult[0] == 1 && mult[1] == 1 && mult[2] == 1 && mult[3] == 1 && add[0] == 0 && add[1] == 0 &&
               add[2] == 0 && add[3] == 0;
    }
    // Straight colour in, premultiplied pixel out.
    Pixel Apply(uint32_t r, uint32_t g, uint32_t b, uint32_t a) const;
    // Premultiplied in and out.
    Pixel ApplyPremultiplied(Pixel p) const;
};

enum class PaintKind : uint8_t { Solid, Linear, Radial, Focal, Image };
enum class Spread : uint8_t { Pad, Reflect, Repeat };
// How shaded pixels meet the row they are laid on: over it, or added to it
// with channels saturating (the fills of one layer).
enum class LayMode : uint8_t { Over, Add };

struct GradientStopF {
    int ratio = 0; // 0..255
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct Paint {
    PaintKind kind = PaintKind::Solid;
    Pixel color = 0xFF000000u; // Solid
    // Gradients: device pixel -> gradient space, where linear gradients run
    // t = x from 0 to 1 and radial ones have radius 1 around the origin.
    // Images: device pixel -> image pixel coordinates.
    Affine inverse;
    Spread spread = Spread::Pad;
    float focal = 0; // Focal: the focus on the x axis, -1..1
    std::array<Pixel, 256> lut{};
    const Image* image = nullptr;
    bool repeat = true;
    bool smooth = true;
    bool hasColorMatrix = false;
    ColorMatrix colorMatrix; // Image only (gradients and solids carry it in their colours)
    bool opaque = true;      // every shaded pixel has alpha 255
    BlendMode blend =
        BlendMode::Normal; // how the shaded pixels meet the frame (never opaque when not normal)

    static Paint Solid(Pixel premultiplied);
    // Builds the gradient table from the stops (at least one, in the
    // record's order), interpolating in sRGB or, when `linearRgb`, in linear light.
    void SetGradient(const std::vector<GradientStopF>& stops, bool linearRgb, const ColorMatrix& cx);
    void SetImage(const Image* img, bool repeat, bool smooth, const ColorMatrix& cx);

    // Shades pixels x .. x+n-1 of row y (pixel centres) into out.
    void ShadeRow(int x, int y, int n, Pixel* out) const;
    // Shades the same pixels and lays each on dst[0 .. n-1] as it is made,
    // scaled by cov[i] where cov is given: one pass where shading into a row
    // and laying the row would take two. `scratch` holds n pixels, for
    // images, which are shaded into it first.
    void LayRow(int x, int y, int n, Pixel* dst, const uint8_t* cov, LayMode mode, Pixel* scratch) const;
};

} // namespace movie::raster
