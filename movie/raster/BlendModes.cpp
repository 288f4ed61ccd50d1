#include "movie/raster/BlendModes.h"

#include "movie/raster/RowBlend.h"

#include <algorithm>
#include <cmath>

namespace movie::raster {

namespace {

// The mode's function of straight colours cb (under) and cs (layer), 0..1.
template <Blend M> float Mix(float cb, float cs) {
    switch (M) {
    case Blend::Multiply:
        return cb * cs;
    case Blend::Screen:
        return cb + cs - cb * cs;
    case Blend::Lighten:
        return std::max(cb, cs);
    case Blend::Darken:
        return std::min(cb, cs);
    case Blend::Difference:
        return std::abs(cb - cs);
    case Blend::HardLight:
        return cs <= 0.5f ? cb * 2 * cs : cb + (2 * cs - 1) - cb * (2 * cs - 1);
    case Blend::Overlay:
        return cb <= 0.5f ? cs * 2 * cb : cs + (2 * cb - 1) - cs * (2 * cb - 1);
    default:
        return cs;
    }
}

uint32_t ToByte(float v) {
    return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f);
}

template <Blend M> Pixel BlendPixel(Pixel d, Pixel s) {
    const uint32_t sa8 = PixelA(s);
    if (sa8 == 0) return d;
    switch (M) {
    case Blend::Normal:
    case Blend::Layer:
        return BlendOver(d, s);
    case Blend::Add:
        return AddSaturate(d, s);
    case Blend::Alpha:
        return MulDiv255(d, sa8);
    case Blend::Erase:
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
        case Blend::Subtract:
            out[c] = dc[c] - sc[c] + sc[c] * (1 - da);
            break;
        case Blend::Invert:
            out[c] = sa * (da - dc[c]) + dc[c] * (1 - sa);
            break;
        default: {
            const float cb = da > 0 ? dc[c] / da : 0, cs = sc[c] / sa;
            out[c] = sc[c] * (1 - da) + dc[c] * (1 - sa) + sa * da * Mix<M>(cb, cs);
            break;
        }
        }
    }
    const float a = M == Blend::Invert ? da : alpha;
    const uint32_t a8 = ToByte(a);
    auto ch = [a8](float v) { return std::min(ToByte(v), a8); };
    return PackPixel(ch(out[0]), ch(out[1]), ch(out[2]), a8);
}

template <Blend M> void Row(Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    for (int i = 0; i < n; ++i) {
        const Pixel s = cov ? MulDiv255(src[i], cov[i]) : src[i];
        dst[i] = BlendPixel<M>(dst[i], s);
    }
}

void Dispatch(Blend mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    switch (mode) {
    case Blend::Normal:
    case Blend::Layer:
        if (cov)
            OverRowCoverage(dst, src, cov, n);
        else
            OverRow(dst, src, n);
        return;
    case Blend::Multiply:
        return Row<Blend::Multiply>(dst, src, cov, n);
    case Blend::Screen:
        return Row<Blend::Screen>(dst, src, cov, n);
    case Blend::Lighten:
        return Row<Blend::Lighten>(dst, src, cov, n);
    case Blend::Darken:
        return Row<Blend::Darken>(dst, src, cov, n);
    case Blend::Difference:
        return Row<Blend::Difference>(dst, src, cov, n);
    case Blend::Add:
        return Row<Blend::Add>(dst, src, cov, n);
    case Blend::Subtract:
        return Row<Blend::Subtract>(dst, src, cov, n);
    case Blend::Invert:
        return Row<Blend::Invert>(dst, src, cov, n);
    case Blend::Alpha:
        return Row<Blend::Alpha>(dst, src, cov, n);
    case Blend::Erase:
        return Row<Blend::Erase>(dst, src, cov, n);
    case Blend::Overlay:
        return Row<Blend::Overlay>(dst, src, cov, n);
    case Blend::HardLight:
        return Row<Blend::HardLight>(dst, src, cov, n);
    }
    OverRow(dst, src, n); // values outside the enumeration draw as normal
}

} // namespace

void BlendRow(Blend mode, Pixel* dst, const Pixel* src, int n) {
    Dispatch(mode, dst, src, nullptr, n);
}

void BlendRowCoverage(Blend mode, Pixel* dst, const Pixel* src, const uint8_t* cov, int n) {
    Dispatch(mode, dst, src, cov, n);
}

} // namespace movie::raster
