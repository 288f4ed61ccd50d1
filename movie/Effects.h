// The blend modes and bitmap filter kinds, numbered as the file numbers them:
// read from tags and set by scripts, drawn by the rasterizer.
#pragma once

#include <cstdint>

namespace movie {

// How a layer's pixels meet what lies under them.
enum class BlendMode : uint8_t {
    Normal = 0, // the file's 0 and 1 both mean normal
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

enum class FilterKind : uint8_t {
    DropShadow = 0,
    Blur = 1,
    Glow = 2,
    Bevel = 3,
    GradientGlow = 4,
    Convolution = 5,
    ColorMatrix = 6,
    GradientBevel = 7,
};

} // namespace movie
