// How a layer's pixels meet what lies under them: the fourteen blend modes.
// Premultiplied pixels in and out; the separable modes follow the usual
// compositing formula (the mode where both are present, each one alone
// where the other is not).
#pragma once

#include "movie/Effects.h"
#include "movie/raster/Pixel.h"

#include <cstdint>

namespace movie::raster {

// dst = src blended onto dst, n pixels.
void BlendRow(BlendMode mode, Pixel* dst, const Pixel* src, int n);
// The same with a coverage (0..255) per pixel that scales src first.
void BlendRowCoverage(BlendMode mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n);

} // namespace movie::raster
