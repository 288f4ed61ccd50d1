// How a layer's pixels meet what lies under them: the fourteen blend modes.
// Premultiplied pixels in and out; the separable modes follow the usual
// compositing formula (the mode where both are present, each one alone
// where the other is not).
#pragma once

#include "movie/raster/Pixel.h"

#include <cstdint>

namespace movie::raster {

// The file's numbering (0 and 1 both normal).
enum class Blend : uint8_t {
    Normal = 0,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11, // keeps what lies under where the layer is opaque
    Erase = 12, // clears what lies under where the layer is opaque
    Overlay = 13,
    HardLight = 14,
};

// dst = src blended onto dst, n pixels.
void BlendRow(Blend mode, Pixel* dst, const Pixel* src, int n);
// The same with a coverage (0..255) per pixel that scales src first.
void BlendRowCoverage(Blend mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n);

} // namespace movie::raster
