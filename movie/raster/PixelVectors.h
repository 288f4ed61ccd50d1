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

// Channels are widened to 16 bits; x / 255 is
// (x + 128 + ((x + 128) >> 8)) >> 8, exact for x <= 255 * 255.
#if NIMBRE_RASTER_SSE2
inline __m128i Div255x8(__m128i v) {
    v = _mm_add_epi16(v, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

inline __m128i AlphaOf(__m128i px16) { // broadcast each pixel's alpha over its four lanes
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xFF), 0xFF);
}

// Two pixels (16-bit lanes): src + dst * (255 - srcAlpha) / 255.
inline __m128i Over2(__m128i s16, __m128i d16) {
    __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), AlphaOf(s16));
    return _mm_add_epi16(s16, Div255x8(_mm_mullo_epi16(d16, ia)));
}

// Coverage of four pixels, as two registers of 16-bit lanes.
inline void Coverage4(const uint8_t* cov, __m128i& lo, __m128i& hi) {
    int32_t c4;
    std::memcpy(&c4, cov, 4);
    __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(c4), _mm_setzero_si128()); // c0 c1 c2 c3 (16-bit)
    c = _mm_unpacklo_epi16(c, c);                                              // c0 c0 c1 c1 c2 c2 c3 c3
    lo = _mm_unpacklo_epi32(c, c);
    hi = _mm_unpackhi_epi32(c, c);
}

inline __m128i Load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(Pixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Four pixels: s over d.
inline __m128i Over(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(Over2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero)),
                            Over2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero)));
}
// Four pixels scaled by their coverage.
inline __m128i Scale(__m128i s, const uint8_t* cov) {
    const __m128i zero = _mm_setzero_si128();
    __m128i clo, chi;
    Coverage4(cov, clo, chi);
    return _mm_packus_epi16(Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), clo)),
                            Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), chi)));
}
// Four pixels: s scaled by their coverage, over d.
inline __m128i OverScaled(__m128i s, __m128i d, const uint8_t* cov) {
    const __m128i zero = _mm_setzero_si128();
    __m128i clo, chi;
    Coverage4(cov, clo, chi);
    return _mm_packus_epi16(
        Over2(Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), clo)), _mm_unpacklo_epi8(d, zero)),
        Over2(Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), chi)), _mm_unpackhi_epi8(d, zero)));
}
#endif

// The same eight pixels at a time. The byte unpacking works within each
// half of a register, so lanes hold pixels 0, 1, 4, 5 (lo) and 2, 3, 6, 7
// (hi), and the pack puts them back in order.
#if NIMBRE_RASTER_AVX2
NIMBRE_AVX2 inline __m256i Div255x16(__m256i v) {
    v = _mm256_add_epi16(v, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(v, _mm256_srli_epi16(v, 8)), 8);
}

NIMBRE_AVX2 inline __m256i Over4(__m256i s16, __m256i d16) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
    return _mm256_add_epi16(s16,
                            Div255x16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(_mm256_set1_epi16(255), a))));
}

// Coverage of eight pixels, each value over its pixel's four channels, in
// the lanes the unpacking gives.
NIMBRE_AVX2 inline void Coverage8(const uint8_t* cov, __m256i& lo, __m256i& hi) {
    int64_t c8;
    std::memcpy(&c8, cov, 8);
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, //
                                            4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
    const __m256i c = _mm256_shuffle_epi8(_mm256_set1_epi64x(c8), spread);
    lo = _mm256_unpacklo_epi8(c, _mm256_setzero_si256());
    hi = _mm256_unpackhi_epi8(c, _mm256_setzero_si256());
}

NIMBRE_AVX2 inline __m256i Load8(const Pixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
NIMBRE_AVX2 inline void Store8(Pixel* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

NIMBRE_AVX2 inline __m256i Over(__m256i s, __m256i d) {
    const __m256i zero = _mm256_setzero_si256();
    return _mm256_packus_epi16(Over4(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero)),
                               Over4(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero)));
}
NIMBRE_AVX2 inline __m256i Scale(__m256i s, const uint8_t* cov) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i clo, chi;
    Coverage8(cov, clo, chi);
    return _mm256_packus_epi16(Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), clo)),
                               Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), chi)));
}
NIMBRE_AVX2 inline __m256i OverScaled(__m256i s, __m256i d, const uint8_t* cov) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i clo, chi;
    Coverage8(cov, clo, chi);
    return _mm256_packus_epi16(Over4(Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), clo)),
                                     _mm256_unpacklo_epi8(d, zero)),
                               Over4(Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), chi)),
                                     _mm256_unpackhi_epi8(d, zero)));
}
#endif

} // namespace movie::raster::vec
