// Bitmap filters on premultiplied images: blur (box passes), drop shadow,
// glow, bevel, their gradient forms, convolution and the colour matrix.
// A filter works on an image that already holds room around the object for
// what the filter adds (Margin() tells how much); the image keeps its size.
#pragma once

#include "movie/Effects.h"
#include "movie/raster/Paint.h"

#include <array>
#include <cstdint>
#include <vector>

namespace movie::raster {

// A straight-alpha colour 0xAARRGGBB.
using Argb = uint32_t;

// What a filter does, in stage pixels (Scaled() turns it into device pixels).
struct FilterSpec {
    FilterKind type = FilterKind::Blur;
    // Blur, shadows, glows and bevels.
    float blurX = 4, blurY = 4;
    int passes = 1;          // the quality: box passes, 1..15
    float angle = 0.785398f; // radians, clockwise from the x axis (y down)
    float distance = 4;
    float strength = 1;
    bool inner = false;
    bool knockout = false;
    bool hideObject = false;          // drop shadow: the shadow alone
    bool onTop = false;               // bevels: inner and outer together ("full")
    Argb color = 0xFF000000u;         // shadow and glow colour; a bevel's shadow
    Argb highlight = 0xFFFFFFFFu;     // a bevel's highlight
    std::vector<GradientStopF> stops; // gradient glow and bevel
    // Convolution.
    int matrixX = 0, matrixY = 0;
    std::vector<float> matrix;
    float divisor = 1, bias = 0;
    bool clamp = true, preserveAlpha = true;
    Argb defaultColor = 0;
    // Colour matrix: four rows of five (r, g, b, a, offset in 0..255 units).
    std::array<float, 20> colorMatrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};

    // Blur sizes and distance times `scale` (device pixels per stage pixel).
    FilterSpec Scaled(double scale) const;
};

// An object's filters in the order they apply, with a digest of what they
// are made once when the list is set (equal lists have equal digests), so
// that drawing never reads them again to tell them apart.
class FilterList {
  public:
    FilterList() = default;
    explicit FilterList(std::vector<FilterSpec> specs);
    bool Empty() const { return specs_.empty(); }
    size_t Size() const { return specs_.size(); }
    const FilterSpec& operator[](size_t i) const { return specs_[i]; }
    auto begin() const { return specs_.begin(); }
    auto end() const { return specs_.end(); }
    uint64_t Digest() const { return digest_; }

  private:
    std::vector<FilterSpec> specs_;
    uint64_t digest_ = 0;
};

// Pixels a filter may add on each side of what it is given.
struct FilterMargin {
    int left = 0, top = 0, right = 0, bottom = 0;
};
FilterMargin Margin(const FilterSpec& f);

// Work of applying the filter, in passes over each pixel: one per blur pass
// (a shadow, glow or bevel blurs its alpha and makes one pass more), one for
// a colour matrix, one per cell of a convolution matrix.
uint64_t PassesOf(const FilterSpec& f);

// Applies the filter to `img` (premultiplied pixels it owns) in place.
void ApplyFilter(const FilterSpec& f, Image& img);

} // namespace movie::raster
