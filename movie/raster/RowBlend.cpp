#include "movie/raster/RowBlend.h"

#include "movie/raster/Cpu.h"

#include <cstring>

namespace movie::raster {

namespace {

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
#endif

inline Pixel OverCoverage(Pixel d, Pixel s, uint32_t c) {
    return BlendOver(d, MulDiv255(s, c));
}

// The same loops eight pixels at a time where the processor has AVX2. The
// byte unpacking works within each half of a register, so lanes hold pixels
// 0, 1, 4, 5 (lo) and 2, 3, 6, 7 (hi), and the pack puts them back in order.
// Each returns how many pixels it did, a multiple of eight.
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

// dst = src * cov + dst * (1 - srcAlpha * cov), src one colour when step is 0.
NIMBRE_AVX2 int OverCoverageAvx2(Pixel* dst, const Pixel* src, size_t step, const uint8_t* cov, int n) {
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = step ? Load8(src + i) : _mm256_set1_epi32(static_cast<int>(*src));
        const __m256i d = Load8(dst + i);
        __m256i clo, chi;
        Coverage8(cov + i, clo, chi);
        const __m256i slo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), clo));
        const __m256i shi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), chi));
        Store8(dst + i, _mm256_packus_epi16(Over4(slo, _mm256_unpacklo_epi8(d, zero)),
                                            Over4(shi, _mm256_unpackhi_epi8(d, zero))));
    }
    return i;
}

NIMBRE_AVX2 int OverRowAvx2(Pixel* dst, const Pixel* src, int n) {
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = Load8(src + i), d = Load8(dst + i);
        Store8(dst + i,
               _mm256_packus_epi16(Over4(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero)),
                                   Over4(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero))));
    }
    return i;
}

NIMBRE_AVX2 int AddRowCoverageAvx2(Pixel* dst, const Pixel* src, size_t step, const uint8_t* cov, int n) {
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = step ? Load8(src + i) : _mm256_set1_epi32(static_cast<int>(*src));
        __m256i clo, chi;
        Coverage8(cov + i, clo, chi);
        const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), clo));
        const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), chi));
        Store8(dst + i, _mm256_adds_epu8(Load8(dst + i), _mm256_packus_epi16(lo, hi)));
    }
    return i;
}

// Eight empty layer pixels leave both rows alone, eight opaque ones are stored.
NIMBRE_AVX2 int OverRowAndClearAvx2(Pixel* dst, Pixel* src, int n) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = Load8(src + i);
        if (_mm256_testz_si256(s, s)) continue;
        __m256i out = s;
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alpha), alpha)) != -1) {
            const __m256i d = Load8(dst + i);
            out = _mm256_packus_epi16(Over4(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero)),
                                      Over4(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero)));
        }
        Store8(dst + i, out);
        Store8(src + i, zero);
    }
    return i;
}
#endif

} // namespace

void OverRow(Pixel* dst, const Pixel* src, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = OverRowAvx2(dst, src, n);
#endif
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = Over2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
        __m128i hi = Over2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i)
        dst[i] = BlendOver(dst[i], src[i]);
}

void OverRowCoverage(Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = OverCoverageAvx2(dst, src, 1, cov, n);
#endif
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i clo, chi;
        Coverage4(cov + i, clo, chi);
        __m128i slo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), clo));
        __m128i shi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), chi));
        __m128i lo = Over2(slo, _mm_unpacklo_epi8(d, zero));
        __m128i hi = Over2(shi, _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i)
        dst[i] = OverCoverage(dst[i], src[i], cov[i]);
}

void OverSolidCoverage(Pixel* dst, Pixel color, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = OverCoverageAvx2(dst, &color, 0, cov, n);
#endif
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i s16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
    for (; i + 4 <= n; i += 4) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i clo, chi;
        Coverage4(cov + i, clo, chi);
        __m128i lo = Over2(Div255x8(_mm_mullo_epi16(s16, clo)), _mm_unpacklo_epi8(d, zero));
        __m128i hi = Over2(Div255x8(_mm_mullo_epi16(s16, chi)), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i)
        dst[i] = OverCoverage(dst[i], color, cov[i]);
}

void AddRowCoverage(Pixel* dst, const Pixel* src, size_t srcStep, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = AddRowCoverageAvx2(dst, src, srcStep, cov, n);
#endif
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4) {
        __m128i s = srcStep ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i))
                            : _mm_set1_epi32(static_cast<int>(*src));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i clo, chi;
        Coverage4(cov + i, clo, chi);
        __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), clo));
        __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), chi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(d, _mm_packus_epi16(lo, hi)));
    }
#endif
    for (; i < n; ++i)
        dst[i] = AddSaturate(dst[i], MulDiv255(src[i * srcStep], cov[i]));
}

void AddRow(Pixel* dst, const Pixel* src, size_t srcStep, int n) {
    int i = 0;
#if NIMBRE_RASTER_SSE2
    for (; i + 4 <= n; i += 4) {
        __m128i s = srcStep ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i))
                            : _mm_set1_epi32(static_cast<int>(*src));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(d, s));
    }
#endif
    for (; i < n; ++i)
        dst[i] = AddSaturate(dst[i], src[i * srcStep]);
}

// Four opaque layer pixels are simply stored, four empty ones leave both alone.
void OverRowAndClear(Pixel* dst, Pixel* src, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = OverRowAndClearAvx2(dst, src, n);
#endif
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= n; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
        __m128i out;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
            out = s;
        } else {
            __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            __m128i lo = Over2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
            __m128i hi = Over2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
            out = _mm_packus_epi16(lo, hi);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(src + i), zero);
    }
#endif
    for (; i < n; ++i) {
        dst[i] = BlendOver(dst[i], src[i]);
        src[i] = 0;
    }
}

void UniteCoverage(uint8_t* m, const uint8_t* cov, int n) {
    for (int k = 0; k < n; ++k) {
        const uint32_t c = cov[k];
        if (c) m[k] = static_cast<uint8_t>(m[k] + ((255 - m[k]) * c + 127) / 255);
    }
}

} // namespace movie::raster
