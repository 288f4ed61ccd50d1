#include "movie/raster/Paint.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace movie::raster {

namespace {

uint32_t ClampChannel(float v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint32_t>(v + 0.5f);
}

float SrgbToLinear(float c) {
    c /= 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float LinearToSrgb(float c) {
    c = c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1 / 2.4f) - 0.055f;
    return c * 255.0f;
}

// floor() for the range gradients use, without a library call.
inline float FastFloor(float v) {
    v = v < -1e9f ? -1e9f : (v > 1e9f ? 1e9f : v);
    float i = static_cast<float>(static_cast<int>(v));
    return i > v ? i - 1 : i;
}

inline float Spread01(float t, Spread s) {
    switch (s) {
    case Spread::Pad:
        return t < 0 ? 0 : (t > 1 ? 1 : t);
    case Spread::Repeat:
        return t - FastFloor(t);
    case Spread::Reflect: {
        float m = t - 2 * FastFloor(t * 0.5f);
        return m > 1 ? 2 - m : m;
    }
    }
    return t;
}

inline int LutIndex(float t) {
    int i = static_cast<int>(t * 256.0f);
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

inline int Wrap(int v, int n) {
    v %= n;
    return v < 0 ? v + n : v;
}

inline Pixel Lerp(Pixel p, Pixel q, uint32_t f) { // f 0..256 weight of q
    uint32_t g = 256 - f;
    uint32_t rb = (((p & 0x00FF00FFu) * g + (q & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((p >> 8) & 0x00FF00FFu) * g + ((q >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
    return rb | ag;
}

} // namespace

Pixel ColorMatrix::Apply(uint32_t r, uint32_t g, uint32_t b, uint32_t a) const {
    return Premultiply(ClampChannel(r * mult[0] + add[0]), ClampChannel(g * mult[1] + add[1]),
                       ClampChannel(b * mult[2] + add[2]), ClampChannel(a * mult[3] + add[3]));
}

Pixel ColorMatrix::ApplyPremultiplied(Pixel p) const {
    uint32_t a = PixelA(p);
    uint32_t r = 0, g = 0, b = 0;
    if (a != 0) {
        r = std::min<uint32_t>(255, (PixelR(p) * 255 + a / 2) / a);
        g = std::min<uint32_t>(255, (PixelG(p) * 255 + a / 2) / a);
        b = std::min<uint32_t>(255, (PixelB(p) * 255 + a / 2) / a);
    }
    return Apply(r, g, b, a);
}

Paint Paint::Solid(Pixel premultiplied) {
    Paint p;
    p.kind = PaintKind::Solid;
    p.color = premultiplied;
    p.opaque = PixelA(premultiplied) == 255;
    return p;
}

void Paint::SetGradient(const std::vector<GradientStopF>& stops, bool linearRgb, const ColorMatrix& cx) {
    opaque = true;
    if (stops.empty()) {
        lut.fill(0);
        opaque = false;
        return;
    }
    struct C {
        float r, g, b, a;
    };
    std::vector<C> cols;
    cols.reserve(stops.size());
    for (const auto& s : stops) {
        Pixel p = cx.Apply(s.r, s.g, s.b, s.a); // back to straight for interpolation
        uint32_t a = PixelA(p);
        float r = a ? PixelR(p) * 255.0f / a : 0, g = a ? PixelG(p) * 255.0f / a : 0,
              b = a ? PixelB(p) * 255.0f / a : 0;
        if (linearRgb) r = SrgbToLinear(r), g = SrgbToLinear(g), b = SrgbToLinear(b);
        cols.push_back({r, g, b, static_cast<float>(a)});
    }
    // Before the first stop its colour, after the last the last one's; in
    // between the segment of non-zero length that holds the position.
    // Stops that share a ratio make a hard edge: all but the last of them
    // take one table entry each from that ratio on.
    const size_t last = stops.size() - 1;
    std::array<int, 256> pinned;
    pinned.fill(-1);
    for (size_t k = 0; k < last; ++k) {
        if (stops[k + 1].ratio != stops[k].ratio) continue;
        size_t first = k;
        while (first > 0 && stops[first - 1].ratio == stops[k].ratio) --first;
        int entry = stops[k].ratio + static_cast<int>(k - first);
        if (entry <= 255 && pinned[entry] < 0) pinned[entry] = static_cast<int>(k);
    }
    // Where stops share a ratio, the ramps between stops run one entry
    // lower than their ratios (as the reference renderings show).
    bool shared = false;
    for (size_t k = 0; k < last; ++k) shared = shared || stops[k + 1].ratio == stops[k].ratio;
    const int shift = shared ? 1 : 0;
    auto pos = [&](size_t k) { return std::max(0, stops[k].ratio - shift); };
    size_t seg = 0;
    for (int i = 0; i < 256; ++i) {
        C c;
        if (pinned[i] >= 0) {
            c = cols[pinned[i]];
        } else if (i <= pos(0)) {
            c = cols[0];
        } else if (i >= pos(last)) {
            // The ramp into the last stops ends on the first of them; the
            // ones that share its ratio are pinned after it.
            size_t k = last;
            while (k > 0 && pos(k - 1) == pos(last)) --k;
            c = i == pos(last) ? cols[k] : cols[last];
        } else {
            while (seg < last && !(pos(seg + 1) > i && pos(seg + 1) > pos(seg))) ++seg;
            float f = static_cast<float>(i - pos(seg)) / static_cast<float>(pos(seg + 1) - pos(seg));
            const C& p = cols[seg];
            const C& q = cols[seg + 1];
            c = {p.r + (q.r - p.r) * f, p.g + (q.g - p.g) * f, p.b + (q.b - p.b) * f, p.a + (q.a - p.a) * f};
        }
        if (linearRgb) c.r = LinearToSrgb(c.r), c.g = LinearToSrgb(c.g), c.b = LinearToSrgb(c.b);
        uint32_t a = ClampChannel(c.a);
        lut[i] = Premultiply(ClampChannel(c.r), ClampChannel(c.g), ClampChannel(c.b), a);
        if (a != 255) opaque = false;
    }
}

void Paint::SetImage(const Image* img, bool rep, bool smo, const ColorMatrix& cx) {
    kind = PaintKind::Image;
    image = img;
    repeat = rep;
    smooth = smo;
    hasColorMatrix = !cx.IsIdentity();
    colorMatrix = cx;
    opaque = img && img->opaque && !hasColorMatrix && img->width > 0 && img->height > 0;
    if (hasColorMatrix && cx.mult[3] == 1 && cx.add[3] == 0 && img && img->opaque) opaque = true;
}

void Paint::ShadeRow(int x, int y, int n, Pixel* out) const {
    const double px = x + 0.5, py = y + 0.5;
    switch (kind) {
    case PaintKind::Solid:
        std::fill(out, out + n, color);
        return;
    case PaintKind::Linear: {
        // t in 32.32 fixed point, stepped along the row; the table index is
        // its top fraction bits. The spread is decided once per row.
        constexpr double kOne = 4294967296.0;
        double t0 = std::clamp(inverse.a * px + inverse.c * py + inverse.tx, -536870912.0, 536870912.0);
        double dt0 = std::clamp(inverse.a, -32768.0, 32768.0);
        int64_t t = static_cast<int64_t>(t0 * kOne);
        const int64_t dt = static_cast<int64_t>(dt0 * kOne);
        if (dt == 0 && n > 1) { // the gradient runs down the frame: one colour along the row
            ShadeRow(x, y, 1, out);
            std::fill(out + 1, out + n, out[0]);
            return;
        }
        const Pixel* table = lut.data();
        switch (spread) {
        case Spread::Pad:
            for (int i = 0; i < n; ++i, t += dt) {
                int64_t v = t >> 24;
                out[i] = table[v < 0 ? 0 : (v > 255 ? 255 : v)];
            }
            break;
        case Spread::Repeat:
            for (int i = 0; i < n; ++i, t += dt) out[i] = table[(t >> 24) & 255];
            break;
        case Spread::Reflect:
            for (int i = 0; i < n; ++i, t += dt) {
                int v = static_cast<int>((t >> 24) & 511);
                out[i] = table[v < 256 ? v : 511 - v];
            }
            break;
        }
        return;
    }
    case PaintKind::Radial: {
        float gx = static_cast<float>(inverse.a * px + inverse.c * py + inverse.tx);
        float gy = static_cast<float>(inverse.b * px + inverse.d * py + inverse.ty);
        const float ax = static_cast<float>(inverse.a), bx = static_cast<float>(inverse.b);
        const Pixel* table = lut.data();
        if (spread == Spread::Pad) {
            // Distances in blocks the compiler can vectorize, then the lookups.
            constexpr int kBlock = 64;
            int idx[kBlock];
            for (int base = 0; base < n; base += kBlock) {
                const int m = std::min(kBlock, n - base);
                int i = 0;
#if defined(__SSE2__) || defined(_M_X64)
                const __m128i limit = _mm_set1_epi32(255);
                for (; i + 4 <= m; i += 4) {
                    __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(base + i)), _mm_setr_ps(0, 1, 2, 3));
                    __m128 x = _mm_add_ps(_mm_set1_ps(gx), _mm_mul_ps(_mm_set1_ps(ax), k));
                    __m128 y = _mm_add_ps(_mm_set1_ps(gy), _mm_mul_ps(_mm_set1_ps(bx), k));
                    __m128 v = _mm_mul_ps(_mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y))), _mm_set1_ps(256.0f));
                    __m128i iv = _mm_cvttps_epi32(_mm_min_ps(v, _mm_set1_ps(255.0f)));
                    iv = _mm_and_si128(iv, limit); // a NaN distance converts to 0x80000000
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(idx + i), iv);
                }
#endif
                for (; i < m; ++i) {
                    float x = gx + ax * static_cast<float>(base + i), y = gy + bx * static_cast<float>(base + i);
                    float v = std::sqrt(x * x + y * y) * 256.0f;
                    idx[i] = static_cast<int>(v < 255.0f ? v : 255.0f);
                }
                for (int i = 0; i < m; ++i) out[base + i] = table[idx[i]];
            }
        } else {
            for (int i = 0; i < n; ++i, gx += ax, gy += bx)
                out[i] = table[LutIndex(Spread01(std::sqrt(gx * gx + gy * gy), spread))];
        }
        return;
    }
    case PaintKind::Focal: {
        // The ray from the focus F through the point p meets the unit circle
        // at F + (p - F) / t: t = |p-F|^2 / (sqrt((F.(p-F))^2 - |p-F|^2 (|F|^2 - 1)) - F.(p-F)).
        // Computed in blocks (four at a time where SSE2 is there), then looked up.
        const float gx = static_cast<float>(inverse.a * px + inverse.c * py + inverse.tx);
        const float gy = static_cast<float>(inverse.b * px + inverse.d * py + inverse.ty);
        const float ax = static_cast<float>(inverse.a), bx = static_cast<float>(inverse.b);
        const float f = std::clamp(focal, -0.998f, 0.998f);
        const float c = f * f - 1; // < 0
        constexpr int kBlock = 64;
        float ts[kBlock];
        for (int base = 0; base < n; base += kBlock) {
            const int m = std::min(kBlock, n - base);
            int i = 0;
#if defined(__SSE2__) || defined(_M_X64)
            for (; i + 4 <= m; i += 4) {
                __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(base + i)), _mm_setr_ps(0, 1, 2, 3));
                __m128 dx = _mm_sub_ps(_mm_add_ps(_mm_set1_ps(gx), _mm_mul_ps(_mm_set1_ps(ax), k)), _mm_set1_ps(f));
                __m128 dy = _mm_add_ps(_mm_set1_ps(gy), _mm_mul_ps(_mm_set1_ps(bx), k));
                __m128 dd = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy));
                __m128 fd = _mm_mul_ps(_mm_set1_ps(f), dx);
                __m128 root = _mm_sqrt_ps(_mm_sub_ps(_mm_mul_ps(fd, fd), _mm_mul_ps(dd, _mm_set1_ps(c))));
                __m128 den = _mm_max_ps(_mm_sub_ps(root, fd), _mm_set1_ps(1e-30f));
                _mm_storeu_ps(ts + i, _mm_div_ps(dd, den));
            }
#endif
            for (; i < m; ++i) {
                float dx = gx + ax * static_cast<float>(base + i) - f, dy = gy + bx * static_cast<float>(base + i);
                float dd = dx * dx + dy * dy, fd = f * dx;
                ts[i] = dd / std::max(std::sqrt(fd * fd - dd * c) - fd, 1e-30f);
            }
            for (i = 0; i < m; ++i) out[base + i] = lut[LutIndex(Spread01(ts[i], spread))];
        }
        return;
    }
    case PaintKind::Image: {
        if (!image || image->width <= 0 || image->height <= 0 ||
            (!image->rgba && image->pixels.size() < static_cast<size_t>(image->width) * image->height)) {
            std::fill(out, out + n, 0u);
            return;
        }
        const int w = image->width, h = image->height;
        double u = inverse.a * px + inverse.c * py + inverse.tx;
        double v = inverse.b * px + inverse.d * py + inverse.ty;
        auto fetch = [&](int ix, int iy) {
            if (repeat) {
                ix = Wrap(ix, w);
                iy = Wrap(iy, h);
            } else {
                ix = std::clamp(ix, 0, w - 1);
                iy = std::clamp(iy, 0, h - 1);
            }
            return image->At(ix, iy);
        };
        for (int i = 0; i < n; ++i, u += inverse.a, v += inverse.b) {
            double cu = std::clamp(u, -1e9, 1e9), cv = std::clamp(v, -1e9, 1e9);
            if (!smooth) {
                out[i] = fetch(static_cast<int>(std::floor(cu)), static_cast<int>(std::floor(cv)));
            } else {
                double su = cu - 0.5, sv = cv - 0.5;
                double fu = std::floor(su), fv = std::floor(sv);
                int ix = static_cast<int>(fu), iy = static_cast<int>(fv);
                uint32_t wu = static_cast<uint32_t>((su - fu) * 256), wv = static_cast<uint32_t>((sv - fv) * 256);
                Pixel top = Lerp(fetch(ix, iy), fetch(ix + 1, iy), wu);
                Pixel bot = Lerp(fetch(ix, iy + 1), fetch(ix + 1, iy + 1), wu);
                out[i] = Lerp(top, bot, wv);
            }
        }
        if (hasColorMatrix)
            for (int i = 0; i < n; ++i) out[i] = colorMatrix.ApplyPremultiplied(out[i]);
        return;
    }
    }
}

} // namespace movie::raster
