#include "movie/raster/Paint.h"

#include "movie/raster/Cpu.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NIMBRE_PAINT_SSE2 1
#endif

namespace movie::raster {

namespace {

uint32_t ClampChannel(float v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint32_t>(v + 0.5f);
}

// A stop's colour in linear light is held in a byte, cut down, as the
// original player holds it: dark channels lose most (20 comes back as 13).
float SrgbToLinear(float c) {
    c /= 255.0f;
    const float l = c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
    return std::floor(l * 255.0f + 1e-4f) / 255.0f;
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

[[maybe_unused]] inline float Spread01(float t, Spread s) {
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

[[maybe_unused]] inline int LutIndex(float t) {
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

// Where pixels i .. i+3 of a row fall on a radial gradient: their distance
// from the centre, the gradient's radius being 1.
struct RadialPositions {
    float gx, gy, ax, bx; // pixel 0's place in gradient space, and the step to the next pixel
#if NIMBRE_PAINT_SSE2
    __m128 At(int i) const {
        const __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm_setr_ps(0, 1, 2, 3));
        const __m128 x = _mm_add_ps(_mm_set1_ps(gx), _mm_mul_ps(_mm_set1_ps(ax), k));
        const __m128 y = _mm_add_ps(_mm_set1_ps(gy), _mm_mul_ps(_mm_set1_ps(bx), k));
        return _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)));
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 __m256 At8(int i) const { // the same arithmetic, eight at a time
        const __m256 k =
            _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7));
        const __m256 x = _mm256_add_ps(_mm256_set1_ps(gx), _mm256_mul_ps(_mm256_set1_ps(ax), k));
        const __m256 y = _mm256_add_ps(_mm256_set1_ps(gy), _mm256_mul_ps(_mm256_set1_ps(bx), k));
        return _mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(x, x), _mm256_mul_ps(y, y)));
    }
#endif
    float At1(int i) const {
        const float x = gx + ax * static_cast<float>(i), y = gy + bx * static_cast<float>(i);
        return std::sqrt(x * x + y * y);
    }
};

// The same for a radial gradient whose focus F = (f, 0) is off the centre.
// The ray from F through the point p meets the unit circle at F + d / t
// (d = p - F), so t solves |F + d / t|^2 = 1, that is
//     c t^2 + 2 (F.d) t + |d|^2 = 0,  with c = f^2 - 1 < 0,
// whose positive root is t = (F.d + sqrt((F.d)^2 - c |d|^2)) / -c: a square
// root and a multiply per pixel, no divide.
struct FocalPositions {
    float dx, dy, ax, bx; // pixel 0's d, and the step to the next pixel
    float f, c, invNegC;
#if NIMBRE_PAINT_SSE2
    __m128 At(int i) const {
        const __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm_setr_ps(0, 1, 2, 3));
        const __m128 x = _mm_add_ps(_mm_set1_ps(dx), _mm_mul_ps(_mm_set1_ps(ax), k));
        const __m128 y = _mm_add_ps(_mm_set1_ps(dy), _mm_mul_ps(_mm_set1_ps(bx), k));
        const __m128 dd = _mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y));
        const __m128 fd = _mm_mul_ps(_mm_set1_ps(f), x);
        const __m128 root = _mm_sqrt_ps(_mm_sub_ps(_mm_mul_ps(fd, fd), _mm_mul_ps(dd, _mm_set1_ps(c))));
        return _mm_mul_ps(_mm_add_ps(root, fd), _mm_set1_ps(invNegC));
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 __m256 At8(int i) const {
        const __m256 k =
            _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7));
        const __m256 x = _mm256_add_ps(_mm256_set1_ps(dx), _mm256_mul_ps(_mm256_set1_ps(ax), k));
        const __m256 y = _mm256_add_ps(_mm256_set1_ps(dy), _mm256_mul_ps(_mm256_set1_ps(bx), k));
        const __m256 dd = _mm256_add_ps(_mm256_mul_ps(x, x), _mm256_mul_ps(y, y));
        const __m256 fd = _mm256_mul_ps(_mm256_set1_ps(f), x);
        const __m256 root =
            _mm256_sqrt_ps(_mm256_sub_ps(_mm256_mul_ps(fd, fd), _mm256_mul_ps(dd, _mm256_set1_ps(c))));
        return _mm256_mul_ps(_mm256_add_ps(root, fd), _mm256_set1_ps(invNegC));
    }
#endif
    float At1(int i) const {
        const float x = dx + ax * static_cast<float>(i), y = dy + bx * static_cast<float>(i);
        const float dd = x * x + y * y, fd = f * x;
        return (std::sqrt(fd * fd - dd * c) + fd) * invNegC;
    }
};

#if NIMBRE_PAINT_SSE2
inline __m128 Floor4(__m128 v) { // FastFloor, four at a time
    v = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-1e9f)), _mm_set1_ps(1e9f));
    const __m128 i = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_sub_ps(i, _mm_and_ps(_mm_cmpgt_ps(i, v), _mm_set1_ps(1.0f)));
}

// Table entries of four gradient positions: LutIndex(Spread01(t, s)).
template <Spread s> inline __m128i Entries4(__m128 t) {
    if constexpr (s == Spread::Repeat) {
        t = _mm_sub_ps(t, Floor4(t));
    } else if constexpr (s == Spread::Reflect) {
        t = _mm_sub_ps(t, _mm_mul_ps(_mm_set1_ps(2.0f), Floor4(_mm_mul_ps(t, _mm_set1_ps(0.5f)))));
        const __m128 over = _mm_cmpgt_ps(t, _mm_set1_ps(1.0f));
        t = _mm_or_ps(_mm_andnot_ps(over, t), _mm_and_ps(over, _mm_sub_ps(_mm_set1_ps(2.0f), t)));
    }
    // Clamped before the conversion; a NaN position (max takes the second operand) becomes entry 0.
    const __m128 v =
        _mm_min_ps(_mm_max_ps(_mm_mul_ps(t, _mm_set1_ps(256.0f)), _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(v);
}
#endif

#if NIMBRE_RASTER_AVX2
NIMBRE_AVX2 inline __m256 Floor8(__m256 v) {
    v = _mm256_min_ps(_mm256_max_ps(v, _mm256_set1_ps(-1e9f)), _mm256_set1_ps(1e9f));
    const __m256 i = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(v));
    return _mm256_sub_ps(i, _mm256_and_ps(_mm256_cmp_ps(i, v, _CMP_GT_OQ), _mm256_set1_ps(1.0f)));
}

template <Spread s> NIMBRE_AVX2 inline __m256i Entries8(__m256 t) {
    if constexpr (s == Spread::Repeat) {
        t = _mm256_sub_ps(t, Floor8(t));
    } else if constexpr (s == Spread::Reflect) {
        t = _mm256_sub_ps(
            t, _mm256_mul_ps(_mm256_set1_ps(2.0f), Floor8(_mm256_mul_ps(t, _mm256_set1_ps(0.5f)))));
        const __m256 over = _mm256_cmp_ps(t, _mm256_set1_ps(1.0f), _CMP_GT_OQ);
        t = _mm256_blendv_ps(t, _mm256_sub_ps(_mm256_set1_ps(2.0f), t), over);
    }
    const __m256 v = _mm256_min_ps(
        _mm256_max_ps(_mm256_mul_ps(t, _mm256_set1_ps(256.0f)), _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
    return _mm256_cvttps_epi32(v);
}

// Eight pixels at a time; returns how many it shaded (a multiple of eight).
// The table is read one entry at a time: a gather instruction measured
// slower than eight loads.
template <Spread s, class Positions>
NIMBRE_AVX2 int ShadeGradientAvx2(const Positions& at, const Pixel* table, int n, Pixel* out) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        int32_t e[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(e), Entries8<s>(at.At8(i)));
        for (int k = 0; k < 8; ++k)
            out[i + k] = table[e[k]];
    }
    return i;
}
#endif

// Shades n pixels of a radial or focal gradient through its table.
template <Spread s, class Positions>
void ShadeGradientSpread(const Positions& at, const Pixel* table, int n, Pixel* out) {
#if NIMBRE_PAINT_SSE2
    alignas(16) int32_t e[4];
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = ShadeGradientAvx2<s>(at, table, n, out);
#endif
    for (; i + 4 <= n; i += 4) {
        _mm_store_si128(reinterpret_cast<__m128i*>(e), Entries4<s>(at.At(i)));
        out[i] = table[e[0]];
        out[i + 1] = table[e[1]];
        out[i + 2] = table[e[2]];
        out[i + 3] = table[e[3]];
    }
    if (i < n) { // the last one to three pixels four at a time as well
        _mm_store_si128(reinterpret_cast<__m128i*>(e), Entries4<s>(at.At(i)));
        for (int k = 0; i < n; ++i, ++k)
            out[i] = table[e[k]];
    }
#else
    for (int i = 0; i < n; ++i)
        out[i] = table[LutIndex(Spread01(at.At1(i), s))];
#endif
}

template <class Positions>
void ShadeGradient(const Positions& at, Spread s, const Pixel* table, int n, Pixel* out) {
    switch (s) {
    case Spread::Pad:
        ShadeGradientSpread<Spread::Pad>(at, table, n, out);
        break;
    case Spread::Repeat:
        ShadeGradientSpread<Spread::Repeat>(at, table, n, out);
        break;
    case Spread::Reflect:
        ShadeGradientSpread<Spread::Reflect>(at, table, n, out);
        break;
    }
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
        // Straight colours are interpolated: a stop with no alpha keeps its
        // colour, which tints the ramp towards it.
        const uint32_t a = ClampChannel(s.a * cx.mult[3] + cx.add[3]);
        float r = static_cast<float>(ClampChannel(s.r * cx.mult[0] + cx.add[0]));
        float g = static_cast<float>(ClampChannel(s.g * cx.mult[1] + cx.add[1]));
        float b = static_cast<float>(ClampChannel(s.b * cx.mult[2] + cx.add[2]));
        if (linearRgb) r = SrgbToLinear(r), g = SrgbToLinear(g), b = SrgbToLinear(b);
        cols.push_back({r, g, b, static_cast<float>(a)});
    }
    // Each stop sits at the table entry of its ratio; a ratio below the one
    // before it is taken as that one (the ramp does not turn back). Before the first stop
    // its colour, after the last the last one's; in between the ramp of the
    // two stops around the entry, the ramp into an entry ending on the first
    // stop there. Stops that share a ratio make a hard edge: the entries
    // after it take one each, all but the last of them in order; the ramp
    // out of the entry starts from the last.
    const size_t last = stops.size() - 1;
    std::vector<int> pos(stops.size());
    for (size_t k = 0; k <= last; ++k)
        pos[k] = std::clamp(stops[k].ratio, k == 0 ? 0 : pos[k - 1], 255);
    std::array<int, 256> pinned;
    pinned.fill(-1);
    for (size_t k = 0; k < last; ++k) {
        if (pos[k + 1] != pos[k]) continue;
        size_t first = k;
        while (first > 0 && pos[first - 1] == pos[k])
            --first;
        int entry = pos[k] + 1 + static_cast<int>(k - first);
        if (entry <= 255 && pinned[entry] < 0) pinned[entry] = static_cast<int>(k);
    }
    size_t seg = 0; // the ramp from stop seg to seg + 1
    for (int i = 0; i < 256; ++i) {
        C c;
        if (pinned[i] >= 0) {
            c = cols[pinned[i]];
        } else if (i <= pos[0]) {
            c = cols[0];
        } else if (i > pos[last]) {
            c = cols[last];
        } else {
            while (!(pos[seg] < i && i <= pos[seg + 1]))
                ++seg;
            float f = static_cast<float>(i - pos[seg]) / static_cast<float>(pos[seg + 1] - pos[seg]);
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
    // Gradients are sampled at the pixel's top left corner, images at its centre.
    const double px = x, py = y;
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
            for (int i = 0; i < n; ++i, t += dt)
                out[i] = table[(t >> 24) & 255];
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
    case PaintKind::Radial:
    case PaintKind::Focal: {
        // Gradient space moves by (ax, bx) from one pixel to the next.
        const float gx = static_cast<float>(inverse.a * px + inverse.c * py + inverse.tx);
        const float gy = static_cast<float>(inverse.b * px + inverse.d * py + inverse.ty);
        const float ax = static_cast<float>(inverse.a), bx = static_cast<float>(inverse.b);
        if (kind == PaintKind::Radial) {
            ShadeGradient(RadialPositions{gx, gy, ax, bx}, spread, lut.data(), n, out);
        } else {
            const float f = std::clamp(focal, -0.98f, 0.98f);
            ShadeGradient(FocalPositions{gx - f, gy, ax, bx, f, f * f - 1, 1 / (1 - f * f)}, spread,
                          lut.data(), n, out);
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
        double u = inverse.a * (px + 0.5) + inverse.c * (py + 0.5) + inverse.tx;
        double v = inverse.b * (px + 0.5) + inverse.d * (py + 0.5) + inverse.ty;
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
        const bool wholePixels = inverse.a == 1 && inverse.b == 0 && inverse.c == 0 && inverse.d == 1 &&
                                 std::abs(inverse.tx) < 1e9 && std::abs(inverse.ty) < 1e9 &&
                                 std::floor(inverse.tx) == inverse.tx && std::floor(inverse.ty) == inverse.ty;
        if (wholePixels && !repeat) {
            // One image pixel to a device pixel, unmoved within it (both
            // samplings give the pixel itself): the row is copied, its edge
            // pixels held beyond the image.
            const int iy = std::clamp(y + static_cast<int>(inverse.ty), 0, h - 1);
            const int x0 = x + static_cast<int>(inverse.tx);
            const int lead = std::clamp(-x0, 0, n), end = std::clamp(w - x0, lead, n);
            std::fill(out, out + lead, image->At(0, iy));
            if (!image->rgba && end > lead)
                std::copy_n(image->pixels.data() + static_cast<size_t>(iy) * w + (x0 + lead), end - lead,
                            out + lead);
            else
                for (int i = lead; i < end; ++i)
                    out[i] = image->At(x0 + i, iy);
            std::fill(out + end, out + n, image->At(w - 1, iy));
        } else {
            for (int i = 0; i < n; ++i, u += inverse.a, v += inverse.b) {
                double cu = std::clamp(u, -1e9, 1e9), cv = std::clamp(v, -1e9, 1e9);
                if (!smooth) {
                    out[i] = fetch(static_cast<int>(std::floor(cu)), static_cast<int>(std::floor(cv)));
                } else {
                    double su = cu - 0.5, sv = cv - 0.5;
                    double fu = std::floor(su), fv = std::floor(sv);
                    int ix = static_cast<int>(fu), iy = static_cast<int>(fv);
                    uint32_t wu = static_cast<uint32_t>((su - fu) * 256),
                             wv = static_cast<uint32_t>((sv - fv) * 256);
                    Pixel top = Lerp(fetch(ix, iy), fetch(ix + 1, iy), wu);
                    Pixel bot = Lerp(fetch(ix, iy + 1), fetch(ix + 1, iy + 1), wu);
                    out[i] = Lerp(top, bot, wv);
                }
            }
        }
        if (hasColorMatrix)
            for (int i = 0; i < n; ++i)
                out[i] = colorMatrix.ApplyPremultiplied(out[i]);
        return;
    }
    }
}

} // namespace movie::raster
