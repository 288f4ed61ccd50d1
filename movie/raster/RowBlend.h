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
#include <cstring>

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
// The same for the few pixels of a stretch along a thin shape's edge: four
// at a time, the last one to three in a register of four.
inline void OverSolidCoverageShort(Pixel* dst, Pixel color, const uint8_t* cov, int n) {
#if NIMBRE_RASTER_SSE2
    const __m128i s = _mm_set1_epi32(static_cast<int>(color));
    int i = 0;
    for (; i + 4 <= n; i += 4)
        vec::Store4(dst + i, vec::OverScaled(s, vec::Load4(dst + i), cov + i));
    const int r = n - i;
    if (r > 0) {
        uint32_t c = cov[i];
        if (r > 1) c |= static_cast<uint32_t>(cov[i + 1]) << 8;
        if (r > 2) c |= static_cast<uint32_t>(cov[i + 2]) << 16;
        uint8_t last[4];
        std::memcpy(last, &c, 4);
        vec::StoreFirst4(dst + i, vec::OverScaled(s, vec::LoadFirst4(dst + i, r), last), r);
    }
#else
    for (int i = 0; i < n; ++i)
        dst[i] = BlendOver(dst[i], MulDiv255(color, cov[i]));
#endif
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
#if NIMBRE_RASTER_SSE2
    if (n >= 4 && n < 64) {
        // Four at a time, the last four overlapping those before.
        const __m128i c = _mm_set1_epi32(static_cast<int>(color));
        for (int i = 0; i + 4 < n; i += 4)
            vec::Store4(dst + i, c);
        vec::Store4(dst + n - 4, c);
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
