// Pixel arithmetic on registers of four (SSE2) or eight (AVX2) pixels, the
// same as Pixel.h's one pixel at a time: the row loops of RowBlend and the
// gradient shaders, which lay their pixels as they make them, are built
// from these. Functions on 256-bit registers carry NIMBRE_AVX2 and run only
// after HasAvx2() said yes.
#pragma once

#include "movie/raster/Cpu.h"
#include "movie/raster/Pixel.h"

#include <cstdint>
#include <cstring>

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(NIMBRE_RASTER_SSE2)
#include <emmintrin.h>
#define NIMBRE_RASTER_SSE2 1
#endif

namespace movie::raster::vec {

// Pixels are not widened: red and blue sit in the 16-bit lanes of
// p & 0x00FF00FF, alpha and green in those of p >> 8, and a channel times
// a factor of 0..255 fits its lane. x / 255 rounded, (x + 128 + ((x + 128)
// >> 8)) >> 8 as Pixel.h has it, is (x + 128) * 257 >> 16 for x <= 255 * 255,
// one multiply. Sums saturate: where a channel would pass 255 (a pixel not
// premultiplied), 255.
#if NIMBRE_RASTER_SSE2
// x / 255 rounded in each 16-bit lane, x <= 255 * 255.
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// The channels of four pixels times f / 255, rounded; f16 holds each
// pixel's factor in both of its 16-bit lanes.
inline __m128i MulDiv255(__m128i p, __m128i f16) {
    const __m128i rb = _mm_mullo_epi16(_mm_and_si128(p, _mm_set1_epi32(0x00FF00FF)), f16);
    const __m128i ag = _mm_mullo_epi16(_mm_srli_epi16(p, 8), f16);
    return _mm_or_si128(Div255x8(rb), _mm_slli_epi16(Div255x8(ag), 8));
}

// Coverage of four pixels, each value in both 16-bit lanes of its pixel.
inline __m128i Coverage4(const uint8_t* cov) {
    int32_t c4;
    std::memcpy(&c4, cov, 4);
    const __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(c4), _mm_setzero_si128()); // c0 c1 c2 c3
    return _mm_unpacklo_epi16(c, c);                                                 // c0 c0 c1 c1 ...
}

inline __m128i Load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(Pixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// The first r pixels at p, r 1 .. 3, in a register of four (the rest
// zero), and back.
inline __m128i LoadFirst4(const Pixel* p, int r) {
    const __m128i first = r > 1 ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))
                                : _mm_cvtsi32_si128(static_cast<int>(p[0]));
    return r > 2 ? _mm_unpacklo_epi64(first, _mm_cvtsi32_si128(static_cast<int>(p[2]))) : first;
}
inline void StoreFirst4(Pixel* p, __m128i v, int r) {
    if (r > 1)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    else
        p[0] = static_cast<Pixel>(_mm_cvtsi128_si32(v));
    if (r > 2) p[2] = static_cast<Pixel>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
}

// Four pixels: s over d.
inline __m128i Over(__m128i s, __m128i d) {
    const __m128i ag = _mm_srli_epi16(s, 8); // alpha in each pixel's upper lane
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(ag, 0xF5), 0xF5);
    return _mm_adds_epu8(s, MulDiv255(d, _mm_sub_epi16(_mm_set1_epi16(255), alpha)));
}
// Four pixels scaled by their coverage.
inline __m128i Scale(__m128i s, const uint8_t* cov) {
    return MulDiv255(s, Coverage4(cov));
}
// Four pixels: s scaled by their coverage, over d.
inline __m128i OverScaled(__m128i s, __m128i d, const uint8_t* cov) {
    return Over(Scale(s, cov), d);
}
#endif

// The same eight pixels at a time.
#if NIMBRE_RASTER_AVX2
// The channels of eight pixels times f / 255, rounded; f16 holds each
// pixel's factor in both of its 16-bit lanes.
NIMBRE_AVX2 inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}
NIMBRE_AVX2 inline __m256i MulDiv255(__m256i p, __m256i f16) {
    const __m256i rb = _mm256_mullo_epi16(_mm256_and_si256(p, _mm256_set1_epi32(0x00FF00FF)), f16);
    const __m256i ag = _mm256_mullo_epi16(_mm256_srli_epi16(p, 8), f16);
    return _mm256_or_si256(Div255x16(rb), _mm256_slli_epi16(Div255x16(ag), 8));
}

// Coverage of eight pixels, each value in both 16-bit lanes of its pixel.
NIMBRE_AVX2 inline __m256i Coverage8(const uint8_t* cov) {
    int64_t c8;
    std::memcpy(&c8, cov, 8);
    const __m256i spread = _mm256_setr_epi8(0, -1, 0, -1, 1, -1, 1, -1, 2, -1, 2, -1, 3, -1, 3, -1, //
                                            4, -1, 4, -1, 5, -1, 5, -1, 6, -1, 6, -1, 7, -1, 7, -1);
    return _mm256_shuffle_epi8(_mm256_set1_epi64x(c8), spread);
}

NIMBRE_AVX2 inline __m256i Load8(const Pixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
NIMBRE_AVX2 inline void Store8(Pixel* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

NIMBRE_AVX2 inline __m256i Over(__m256i s, __m256i d) {
    const __m256i alpha = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, //
                                           3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), _mm256_shuffle_epi8(s, alpha));
    return _mm256_adds_epu8(s, MulDiv255(d, inverse));
}
NIMBRE_AVX2 inline __m256i Scale(__m256i s, const uint8_t* cov) {
    return MulDiv255(s, Coverage8(cov));
}
NIMBRE_AVX2 inline __m256i OverScaled(__m256i s, __m256i d, const uint8_t* cov) {
    return Over(Scale(s, cov), d);
}
#endif

} // namespace movie::raster::vec
