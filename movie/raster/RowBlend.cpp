#include "movie/raster/RowBlend.h"

#include "movie/raster/PixelVectors.h"

namespace movie::raster {

using namespace vec;

namespace {

inline Pixel OverCoverage(Pixel d, Pixel s, uint32_t c) {
    return BlendOver(d, MulDiv255(s, c));
}

// The loops eight pixels at a time where the processor has AVX2; each
// returns how many pixels it did, a multiple of eight.
#if NIMBRE_RASTER_AVX2
// dst = src * cov + dst * (1 - srcAlpha * cov), src one colour when step is 0.
NIMBRE_AVX2 int OverCoverageAvx2(Pixel* dst, const Pixel* src, size_t step, const uint8_t* cov, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = step ? Load8(src + i) : _mm256_set1_epi32(static_cast<int>(*src));
        Store8(dst + i, OverScaled(s, Load8(dst + i), cov + i));
    }
    return i;
}

NIMBRE_AVX2 int OverRowAvx2(Pixel* dst, const Pixel* src, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8)
        Store8(dst + i, Over(Load8(src + i), Load8(dst + i)));
    return i;
}

NIMBRE_AVX2 int AddRowCoverageAvx2(Pixel* dst, const Pixel* src, size_t step, const uint8_t* cov, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = step ? Load8(src + i) : _mm256_set1_epi32(static_cast<int>(*src));
        Store8(dst + i, _mm256_adds_epu8(Load8(dst + i), Scale(s, cov + i)));
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
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alpha), alpha)) != -1)
            out = Over(s, Load8(dst + i));
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
    for (; i + 4 <= n; i += 4)
        Store4(dst + i, Over(Load4(src + i), Load4(dst + i)));
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
    for (; i + 4 <= n; i += 4)
        Store4(dst + i, OverScaled(Load4(src + i), Load4(dst + i), cov + i));
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
    const __m128i s = _mm_set1_epi32(static_cast<int>(color));
    for (; i + 4 <= n; i += 4)
        Store4(dst + i, OverScaled(s, Load4(dst + i), cov + i));
#endif
    OverSolidCoverageShort(dst + i, color, cov + i, n - i);
}

void AddRowCoverage(Pixel* dst, const Pixel* src, size_t srcStep, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = AddRowCoverageAvx2(dst, src, srcStep, cov, n);
#endif
#if NIMBRE_RASTER_SSE2
    for (; i + 4 <= n; i += 4) {
        const __m128i s = srcStep ? Load4(src + i) : _mm_set1_epi32(static_cast<int>(*src));
        Store4(dst + i, _mm_adds_epu8(Load4(dst + i), Scale(s, cov + i)));
    }
#endif
    for (; i < n; ++i)
        dst[i] = AddSaturate(dst[i], MulDiv255(src[i * srcStep], cov[i]));
}

void AddRow(Pixel* dst, const Pixel* src, size_t srcStep, int n) {
    int i = 0;
#if NIMBRE_RASTER_SSE2
    for (; i + 4 <= n; i += 4) {
        const __m128i s = srcStep ? Load4(src + i) : _mm_set1_epi32(static_cast<int>(*src));
        Store4(dst + i, _mm_adds_epu8(Load4(dst + i), s));
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
        const __m128i s = Load4(src + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
        __m128i out = s;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) != 0xFFFF)
            out = Over(s, Load4(dst + i));
        Store4(dst + i, out);
        Store4(src + i, zero);
    }
#endif
    for (; i < n; ++i) {
        dst[i] = BlendOver(dst[i], src[i]);
        src[i] = 0;
    }
}

namespace {

// a * b / 255 rounded, for bytes.
inline uint8_t MulDiv255Byte(uint32_t a, uint32_t b) {
    return static_cast<uint8_t>((a * b + 127) / 255);
}

#if NIMBRE_RASTER_SSE2
// The same for sixteen bytes at a time.
inline __m128i MulDiv255Bytes(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(
        Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero))),
        Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero))));
}
inline __m128i LoadBytes(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
#endif

} // namespace

void UniteCoverage(uint8_t* m, const uint8_t* cov, int n, uint8_t value) {
    int k = 0;
#if NIMBRE_RASTER_SSE2
    const __m128i ones = _mm_set1_epi8(-1), spread = _mm_set1_epi8(static_cast<char>(value));
    for (; k + 16 <= n; k += 16) {
        const __m128i have = LoadBytes(m + k);
        const __m128i add = MulDiv255Bytes(_mm_sub_epi8(ones, have), cov ? LoadBytes(cov + k) : spread);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m + k), _mm_add_epi8(have, add));
    }
#endif
    for (; k < n; ++k)
        m[k] = static_cast<uint8_t>(m[k] + MulDiv255Byte(255 - m[k], cov ? cov[k] : value));
}

void ScaleCoverage(uint8_t* c, const uint8_t* m, int n) {
    int k = 0;
#if NIMBRE_RASTER_SSE2
    for (; k + 16 <= n; k += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(c + k),
                         MulDiv255Bytes(LoadBytes(c + k), LoadBytes(m + k)));
#endif
    for (; k < n; ++k)
        c[k] = MulDiv255Byte(c[k], m[k]);
}

} // namespace movie::raster
