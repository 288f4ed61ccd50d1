#include "movie/raster/BlendModes.h"

#include "movie/raster/RowBlend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace movie::raster {

namespace {

// The mode's function of straight colours cb (under) and cs (layer), 0..1.
template <BlendMode M> float Mix(float cb, float cs) {
    switch (M) {
    case BlendMode::Multiply:
        return cb * cs;
    case BlendMode::Screen:
        return cb + cs - cb * cs;
    case BlendMode::Lighten:
        return std::max(cb, cs);
    case BlendMode::Darken:
        return std::min(cb, cs);
    case BlendMode::Difference:
        return std::abs(cb - cs);
    case BlendMode::HardLight:
        return cs <= 0.5f ? cb * 2 * cs : cb + (2 * cs - 1) - cb * (2 * cs - 1);
    case BlendMode::Overlay:
        return cb <= 0.5f ? cs * 2 * cb : cs + (2 * cb - 1) - cs * (2 * cb - 1);
    default:
        return cs;
    }
}

uint32_t ToByte(float v) {
    return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f);
}

template <BlendMode M> Pixel BlendPixel(Pixel d, Pixel s) {
    const uint32_t sa8 = PixelA(s);
    if (sa8 == 0) return d;
    switch (M) {
    case BlendMode::Normal:
    case BlendMode::Layer:
        return BlendOver(d, s);
    case BlendMode::Add:
        return AddSaturate(d, s);
    case BlendMode::Alpha:
        return MulDiv255(d, sa8);
    case BlendMode::Erase:
        return MulDiv255(d, 255 - sa8);
    default:
        break;
    }
    const float sa = sa8 / 255.0f, da = PixelA(d) / 255.0f;
    const float alpha = sa + da - sa * da;
    const float sc[3] = {PixelR(s) / 255.0f, PixelG(s) / 255.0f, PixelB(s) / 255.0f};
    const float dc[3] = {PixelR(d) / 255.0f, PixelG(d) / 255.0f, PixelB(d) / 255.0f};
    float out[3];
    for (int c = 0; c < 3; ++c) {
        switch (M) {
        case BlendMode::Subtract:
            out[c] = dc[c] - sc[c] + sc[c] * (1 - da);
            break;
        case BlendMode::Invert:
            out[c] = sa * (da - dc[c]) + dc[c] * (1 - sa);
            break;
        // The separable modes whose mix of straight colours, times both
        // alphas, is a sum of premultiplied ones: no divide.
        case BlendMode::Multiply:
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + sc[c] * dc[c];
            break;
        case BlendMode::Screen:
            out[c] = sc[c] + dc[c] - sc[c] * dc[c];
            break;
        case BlendMode::Lighten:
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + std::max(sa * dc[c], da * sc[c]);
            break;
        case BlendMode::Darken:
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + std::min(sa * dc[c], da * sc[c]);
            break;
        case BlendMode::Difference:
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + std::abs(sa * dc[c] - da * sc[c]);
            break;
        default: {
            const float cb = da > 0 ? dc[c] / da : 0, cs = sc[c] / sa;
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + sa * da * Mix<M>(cb, cs);
            break;
        }
        }
    }
    const float a = M == BlendMode::Invert ? da : alpha;
    const uint32_t a8 = ToByte(a);
    auto ch = [a8](float v) { return std::min(ToByte(v), a8); };
    return PackPixel(ch(out[0]), ch(out[1]), ch(out[2]), a8);
}

// Screen on premultiplied channels, alpha included: s + d * (255 - s) / 255,
// which is the float form above rounded once.
void ScreenRow(Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    int i = 0;
#if NIMBRE_RASTER_SSE2
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
    auto div255 = [half](__m128i v) {
        v = _mm_add_epi16(v, half);
        return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
    };
    auto screen = [&](__m128i s16, __m128i d16) {
        return _mm_add_epi16(s16, div255(_mm_mullo_epi16(d16, _mm_sub_epi16(ones, s16))));
    };
    for (; i + 4 <= n; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
        if (cov) {
            uint32_t c4;
            std::memcpy(&c4, cov + i, 4);
            if (c4 != 0xFFFFFFFFu) {
                __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c4)), zero);
                c = _mm_unpacklo_epi16(c, c);
                slo = div255(_mm_mullo_epi16(slo, _mm_unpacklo_epi32(c, c)));
                shi = div255(_mm_mullo_epi16(shi, _mm_unpackhi_epi32(c, c)));
            }
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = screen(slo, _mm_unpacklo_epi8(d, zero));
        __m128i hi = screen(shi, _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) {
        const Pixel s = cov ? MulDiv255(src[i], cov[i]) : src[i];
        const Pixel d = dst[i];
        Pixel out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
            uint32_t t = dc * (255 - sc) + 128;
            out |= (sc + ((t + (t >> 8)) >> 8)) << shift;
        }
        dst[i] = out;
    }
}

template <BlendMode M> void Row(Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    for (int i = 0; i < n; ++i) {
        const Pixel s = cov ? MulDiv255(src[i], cov[i]) : src[i];
        dst[i] = BlendPixel<M>(dst[i], s);
    }
}

void Dispatch(BlendMode mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer:
        if (cov)
            OverRowCoverage(dst, src, cov, n);
        else
            OverRow(dst, src, n);
        return;
    case BlendMode::Multiply:
        return Row<BlendMode::Multiply>(dst, src, cov, n);
    case BlendMode::Screen:
        return ScreenRow(dst, src, cov, n);
    case BlendMode::Lighten:
        return Row<BlendMode::Lighten>(dst, src, cov, n);
    case BlendMode::Darken:
        return Row<BlendMode::Darken>(dst, src, cov, n);
    case BlendMode::Difference:
        return Row<BlendMode::Difference>(dst, src, cov, n);
    case BlendMode::Add: // channels added, saturating
        if (cov)
            AddRowCoverage(dst, src, 1, cov, n);
        else
            AddRow(dst, src, 1, n);
        return;
    case BlendMode::Subtract:
        return Row<BlendMode::Subtract>(dst, src, cov, n);
    case BlendMode::Invert:
        return Row<BlendMode::Invert>(dst, src, cov, n);
    case BlendMode::Alpha:
        return Row<BlendMode::Alpha>(dst, src, cov, n);
    case BlendMode::Erase:
        return Row<BlendMode::Erase>(dst, src, cov, n);
    case BlendMode::Overlay:
        return Row<BlendMode::Overlay>(dst, src, cov, n);
    case BlendMode::HardLight:
        return Row<BlendMode::HardLight>(dst, src, cov, n);
    }
    OverRow(dst, src, n); // values outside the enumeration draw as normal
}

} // namespace

void BlendRow(BlendMode mode, Pixel* dst, const Pixel* src, int n) {
    Dispatch(mode, dst, src, nullptr, n);
}

void BlendRowCoverage(BlendMode mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    Dispatch(mode, dst, src, cov, n);
}

} // namespace movie::raster
