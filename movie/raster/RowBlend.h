// The pixel row loops the scene renderer is made of: laying paint over a
// row of the frame, adding into a layer row, with or without a coverage
// value per pixel. Premultiplied pixels; SSE2 (every x86-64 processor has
// it) four pixels at a time, with a plain loop for the rest.
#pragma once

#include "movie/raster/Pixel.h"
#include "movie/raster/PixelVectors.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NIMBRE_RASTER_SSE2 1
#endif

namespace movie::raster {

// dst = src + dst * (1 - srcAlpha)
void OverRow(Pixel* dst, const Pixel* src, int n);
// dst = src * cov + dst * (1 - srcAlpha * cov)
void OverRowCoverage(Pixel* dst, const Pixel* src, const uint8_t* cov, int n);
// The same with one colour for the whole row.
void OverSolidCoverage(Pixel* dst, Pixel color, const uint8_t* cov, int n);
// The same for the few pixels of a stretch along a thin shape's edge: two
// at a time, then one.
inline void OverSolidCoverageShort(Pixel* dst, Pixel color, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_SSE2
    if (n >= 2) {
        const __m128i s = _mm_set1_epi32(static_cast<int>(color));
        for (; i + 2 <= n; i += 2) {
            __m128i c = _mm_cvtsi32_si128(cov[i] | cov[i + 1] << 16); // c0 c1 (16-bit lanes)
            c = _mm_unpacklo_epi16(c, c);                             // c0 c0 c1 c1: each pixel's lanes
            const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + i));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), vec::Over(vec::MulDiv255(s, c), d));
        }
    }
#endif
    for (; i < n; ++i)
        dst[i] = BlendOver(dst[i], MulDiv255(color, cov[i]));
}
// layer += src * cov, channels saturating (srcStep 0: one colour).
void AddRowCoverage(Pixel* dst, const Pixel* src, size_t srcStep, const uint8_t* cov, int n);
// layer += src, channels saturating (srcStep 0: one colour).
void AddRow(Pixel* dst, const Pixel* src, size_t srcStep, int n);
// Lays a layer row over the frame and empties it for the next layer.
void OverRowAndClear(Pixel* dst, Pixel* src, int n);
// A mask row takes the union of its coverage and a fill's: m + (1 - m) * c
// (cov null: c is `value` throughout).
void UniteCoverage(uint8_t* m, const uint8_t* cov, int n, uint8_t value = 0);
// Coverage thinned by a mask: c * m, rounded.
void ScaleCoverage(uint8_t* c, const uint8_t* m, int n);

// n pixels of one colour. Long runs use the processor's string store, which
// writes whole cache lines without reading them first: about half again as
// fast as vector stores over a frame that is not in the cache.
inline void FillRow(Pixel* dst, Pixel color, int n) {
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
    if (n >= 512) {
        size_t count = static_cast<size_t>(n);
        asm volatile("rep stosl" : "+D"(dst), "+c"(count) : "a"(color) : "memory");
        return;
    }
#endif
    if (n > 0) std::fill(dst, dst + n, color);
}

// Length of the run of bytes equal to `v` from cov[i] (sixteen at a time).
inline int RunOf(const uint8_t* cov, int i, int n, uint8_t v) {
#if NIMBRE_RASTER_SSE2
    const __m128i all = _mm_set1_epi8(static_cast<char>(v));
    while (i + 16 <= n) {
        int same = _mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + i)), all));
        if (same != 0xFFFF) return i + std::countr_zero(static_cast<unsigned>(~same));
        i += 16;
    }
#endif
    while (i < n && cov[i] == v)
        ++i;
    return i;
}

} // namespace movie::raster
