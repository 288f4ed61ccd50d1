#include "movie/raster/Paint.h"

#include "movie/raster/PixelVectors.h"
#include "movie/raster/RowBlend.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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
[[maybe_unused]] inline float FastFloor(float v) {
    v = v < -1e9f ? -1e9f : (v > 1e9f ? 1e9f : v);
    float i = static_cast<float>(static_cast<int>(v));
    return i > v ? i - 1 : i;
}

// Radial positions are kept in table units, 256 to the gradient's radius:
// scaling by a power of two changes no rounding, so the entries are those
// of the unscaled position times 256, and the multiply leaves the loop.
constexpr float kTableUnits = 256.0f;

// The table entry of a position u in table units, spread beyond the table.
template <Spread s> [[maybe_unused]] inline int EntryAt(float u) {
    if constexpr (s == Spread::Repeat) {
        u -= 256 * FastFloor(u * (1 / 256.0f));
    } else if constexpr (s == Spread::Reflect) {
        u -= 512 * FastFloor(u * (1 / 512.0f));
        if (u > 256) u = 512 - u;
    }
    u = u > 0 ? (u < 255 ? u : 255) : 0; // a NaN position becomes entry 0
    return static_cast<int>(u);
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
// from the centre, in the units the point and step are given in.
struct RadialPositions {
    float gx, gy, ax, bx; // pixel 0's place in gradient space, and the step to the next pixel
#if NIMBRE_RASTER_SSE2
    __m128 At(int i) const {
        const __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm_setr_ps(0, 1, 2, 3));
        const __m128 x = _mm_add_ps(_mm_set1_ps(gx), _mm_mul_ps(_mm_set1_ps(ax), k));
        const __m128 y = _mm_add_ps(_mm_set1_ps(gy), _mm_mul_ps(_mm_set1_ps(bx), k));
        return _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)));
    }
#endif
#if NIMBRE_RASTER_AVX2
    // The same arithmetic, eight at a time, for the pixels numbered k; where
    // kLevel, bx is 0 and y stays gy (0 * k adds nothing, exactly).
    template <bool kLevel> NIMBRE_AVX2 __m256 At8(__m256 k) const {
        const __m256 x = _mm256_add_ps(_mm256_set1_ps(gx), _mm256_mul_ps(_mm256_set1_ps(ax), k));
        const __m256 y = kLevel ? _mm256_set1_ps(gy)
                                : _mm256_add_ps(_mm256_set1_ps(gy), _mm256_mul_ps(_mm256_set1_ps(bx), k));
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
// root and a multiply per pixel, no divide (invNegC carries the scale of
// the result).
struct FocalPositions {
    float dx, dy, ax, bx; // pixel 0's d, and the step to the next pixel
    float f, c, invNegC;
#if NIMBRE_RASTER_SSE2
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
    template <bool kLevel> NIMBRE_AVX2 __m256 At8(__m256 k) const {
        const __m256 x = _mm256_add_ps(_mm256_set1_ps(dx), _mm256_mul_ps(_mm256_set1_ps(ax), k));
        const __m256 y = kLevel ? _mm256_set1_ps(dy)
                                : _mm256_add_ps(_mm256_set1_ps(dy), _mm256_mul_ps(_mm256_set1_ps(bx), k));
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

#if NIMBRE_RASTER_SSE2
inline __m128 Floor4(__m128 v) { // FastFloor, four at a time
    v = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-1e9f)), _mm_set1_ps(1e9f));
    const __m128 i = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_sub_ps(i, _mm_and_ps(_mm_cmpgt_ps(i, v), _mm_set1_ps(1.0f)));
}

// The table entries of four positions in table units: EntryAt<s>.
template <Spread s> inline __m128i TableEntries4(__m128 u) {
    if constexpr (s == Spread::Repeat) {
        u = _mm_sub_ps(u, _mm_mul_ps(_mm_set1_ps(256.0f), Floor4(_mm_mul_ps(u, _mm_set1_ps(1 / 256.0f)))));
    } else if constexpr (s == Spread::Reflect) {
        u = _mm_sub_ps(u, _mm_mul_ps(_mm_set1_ps(512.0f), Floor4(_mm_mul_ps(u, _mm_set1_ps(1 / 512.0f)))));
        const __m128 over = _mm_cmpgt_ps(u, _mm_set1_ps(256.0f));
        u = _mm_or_ps(_mm_andnot_ps(over, u), _mm_and_ps(over, _mm_sub_ps(_mm_set1_ps(512.0f), u)));
    }
    // Clamped before the conversion; a NaN position (max takes the second operand) becomes entry 0.
    const __m128 v = _mm_min_ps(_mm_max_ps(u, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(v);
}
#endif

#if NIMBRE_RASTER_AVX2
NIMBRE_AVX2 inline __m256 Floor8(__m256 v) {
    v = _mm256_min_ps(_mm256_max_ps(v, _mm256_set1_ps(-1e9f)), _mm256_set1_ps(1e9f));
    const __m256 i = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(v));
    return _mm256_sub_ps(i, _mm256_and_ps(_mm256_cmp_ps(i, v, _CMP_GT_OQ), _mm256_set1_ps(1.0f)));
}

template <Spread s> NIMBRE_AVX2 inline __m256i TableEntries8(__m256 u) {
    if constexpr (s == Spread::Repeat) {
        u = _mm256_sub_ps(
            u, _mm256_mul_ps(_mm256_set1_ps(256.0f), Floor8(_mm256_mul_ps(u, _mm256_set1_ps(1 / 256.0f)))));
    } else if constexpr (s == Spread::Reflect) {
        u = _mm256_sub_ps(
            u, _mm256_mul_ps(_mm256_set1_ps(512.0f), Floor8(_mm256_mul_ps(u, _mm256_set1_ps(1 / 512.0f)))));
        const __m256 over = _mm256_cmp_ps(u, _mm256_set1_ps(256.0f), _CMP_GT_OQ);
        u = _mm256_blendv_ps(u, _mm256_sub_ps(_mm256_set1_ps(512.0f), u), over);
    }
    const __m256 v = _mm256_min_ps(_mm256_max_ps(u, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
    return _mm256_cvttps_epi32(v);
}
#endif

// Gradient sources: each gives the table entries of pixel i alone (Entry),
// of pixels i .. i+3 (Four) and of pixels i .. i+m-1, m a multiple of
// eight, into out (Entries8), all alike.

// A radial or focal gradient, its pixel 0 the positions' pixel `first`.
template <Spread s, class Positions> struct RadialSource {
    Positions at;
    int first = 0;
    int Entry(int i) const { return EntryAt<s>(at.At1(first + i)); }
#if NIMBRE_RASTER_SSE2
    __m128i Four(int i) const {
        return TableEntries4<s>(at.At(first + i));
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 void Entries8(int i, int m, int32_t* out) const {
        // The pixel numbers as floats, whole numbers stepped exactly.
        __m256 k = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(first + i)),
                                 _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7));
        auto run = [&]<bool kLevel>() NIMBRE_AVX2 {
            for (int j = 0; j < m; j += 8, k = _mm256_add_ps(k, _mm256_set1_ps(8.0f)))
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j),
                                    TableEntries8<s>(at.template At8<kLevel>(k)));
        };
        // Most gradients are not turned: y is the same along the row.
        if (at.bx == 0)
            run.template operator()<true>();
        else
            run.template operator()<false>();
    }
#endif
};

// A linear gradient whose position t, 32 fraction bits, has no whole part
// to look at: a repeating one's wraps, a padded one's stays 0 <= t < 1. The
// table entry is the fraction's top byte, and the fraction steps by dt mod 2^32.
struct LinearSource {
    uint32_t t, dt;
    int Entry(int i) const { return static_cast<int>((t + static_cast<uint32_t>(i) * dt) >> 24); }
#if NIMBRE_RASTER_SSE2
    __m128i Four(int i) const {
        const __m128i steps =
            _mm_setr_epi32(0, static_cast<int>(dt), static_cast<int>(2 * dt), static_cast<int>(3 * dt));
        const __m128i v =
            _mm_add_epi32(_mm_set1_epi32(static_cast<int>(t + static_cast<uint32_t>(i) * dt)), steps);
        return _mm_srli_epi32(v, 24);
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 void Entries8(int i, int m, int32_t* out) const {
        const __m256i steps = _mm256_mullo_epi32(_mm256_set1_epi32(static_cast<int>(dt)),
                                                 _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        for (int j = 0; j < m; j += 8) {
            const __m256i v = _mm256_add_epi32(
                _mm256_set1_epi32(static_cast<int>(t + static_cast<uint32_t>(i + j) * dt)), steps);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_srli_epi32(v, 24));
        }
    }
#endif
};

// A reflected linear gradient, its whole 32.32 position followed.
struct LinearReflectSource {
    int64_t t, dt;
    int Entry(int i) const {
        const int v = static_cast<int>(((t + i * dt) >> 24) & 511);
        return v < 256 ? v : 511 - v;
    }
    // The positions' bits 24 .. 32 (a right shift that brings in zeros or
    // ones leaves them alike), reflected: min(v, 511 - v).
#if NIMBRE_RASTER_SSE2
    __m128i Four(int i) const {
        const int64_t v = t + i * dt;
        const __m128i mask = _mm_set1_epi64x(511);
        const __m128i lo = _mm_and_si128(_mm_srli_epi64(_mm_set_epi64x(v + dt, v), 24), mask);
        const __m128i hi = _mm_and_si128(_mm_srli_epi64(_mm_set_epi64x(v + 3 * dt, v + 2 * dt), 24), mask);
        const __m128i e = _mm_unpacklo_epi64(_mm_shuffle_epi32(lo, 0x08), _mm_shuffle_epi32(hi, 0x08));
        return _mm_min_epi16(e, _mm_sub_epi32(_mm_set1_epi32(511), e));
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 void Entries8(int i, int m, int32_t* out) const {
        const __m256i mask = _mm256_set1_epi64x(511), reflect = _mm256_set1_epi32(511);
        const __m256i step = _mm256_set1_epi64x(8 * dt);
        const int64_t v = t + i * dt;
        __m256i lo = _mm256_setr_epi64x(v, v + dt, v + 2 * dt, v + 3 * dt);
        __m256i hi = _mm256_add_epi64(lo, _mm256_set1_epi64x(4 * dt));
        for (int j = 0; j < m; j += 8, lo = _mm256_add_epi64(lo, step), hi = _mm256_add_epi64(hi, step)) {
            const __m256i a = _mm256_and_si256(_mm256_srli_epi64(lo, 24), mask); // a0 . a1 . | a2 . a3 .
            const __m256i b = _mm256_and_si256(_mm256_srli_epi64(hi, 24), mask);
            const __m256i ab =
                _mm256_blend_epi32(_mm256_shuffle_epi32(a, 0x08), _mm256_shuffle_epi32(b, 0x80),
                                   0xCC); // a0 a1 b0 b1 | a2 a3 b2 b3
            const __m256i e = _mm256_permute4x64_epi64(ab, 0xD8);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j),
                                _mm256_min_epi16(e, _mm256_sub_epi32(reflect, e)));
        }
    }
#endif
};

// How shaded pixels meet the row they are laid on, one, four or eight at a
// time: stored, laid over it, or added to it, the last two scaled by a
// coverage value each where kCoverage. Row() does the same for a row shaded
// beforehand.
struct Store {
    static constexpr bool kReadsDst = false, kCoverage = false;
    static Pixel One(Pixel, Pixel s, uint8_t) { return s; }
#if NIMBRE_RASTER_SSE2
    static __m128i Four(__m128i, __m128i s, const uint8_t*) {
        return s;
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 static __m256i Eight(__m256i, __m256i s, const uint8_t*) {
        return s;
    }
#endif
    static void Row(Pixel* d, const Pixel* s, const uint8_t*, int n) {
        std::copy_n(s, n, d);
    }
};
struct Over {
    static constexpr bool kReadsDst = true, kCoverage = false;
    static Pixel One(Pixel d, Pixel s, uint8_t) { return BlendOver(d, s); }
#if NIMBRE_RASTER_SSE2
    static __m128i Four(__m128i d, __m128i s, const uint8_t*) {
        return vec::Over(s, d);
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 static __m256i Eight(__m256i d, __m256i s, const uint8_t*) {
        return vec::Over(s, d);
    }
#endif
    static void Row(Pixel* d, const Pixel* s, const uint8_t*, int n) {
        OverRow(d, s, n);
    }
};
struct OverCoverage {
    static constexpr bool kReadsDst = true, kCoverage = true;
    static Pixel One(Pixel d, Pixel s, uint8_t c) { return BlendOver(d, MulDiv255(s, c)); }
#if NIMBRE_RASTER_SSE2
    static __m128i Four(__m128i d, __m128i s, const uint8_t* c) {
        return vec::OverScaled(s, d, c);
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 static __m256i Eight(__m256i d, __m256i s, const uint8_t* c) {
        return vec::OverScaled(s, d, c);
    }
#endif
    static void Row(Pixel* d, const Pixel* s, const uint8_t* c, int n) {
        OverRowCoverage(d, s, c, n);
    }
};
struct Add {
    static constexpr bool kReadsDst = true, kCoverage = false;
    static Pixel One(Pixel d, Pixel s, uint8_t) { return AddSaturate(d, s); }
#if NIMBRE_RASTER_SSE2
    static __m128i Four(__m128i d, __m128i s, const uint8_t*) {
        return _mm_adds_epu8(d, s);
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 static __m256i Eight(__m256i d, __m256i s, const uint8_t*) {
        return _mm256_adds_epu8(d, s);
    }
#endif
    static void Row(Pixel* d, const Pixel* s, const uint8_t*, int n) {
        AddRow(d, s, 1, n);
    }
};
struct AddCoverage {
    static constexpr bool kReadsDst = true, kCoverage = true;
    static Pixel One(Pixel d, Pixel s, uint8_t c) { return AddSaturate(d, MulDiv255(s, c)); }
#if NIMBRE_RASTER_SSE2
    static __m128i Four(__m128i d, __m128i s, const uint8_t* c) {
        return _mm_adds_epu8(d, vec::Scale(s, c));
    }
#endif
#if NIMBRE_RASTER_AVX2
    NIMBRE_AVX2 static __m256i Eight(__m256i d, __m256i s, const uint8_t* c) {
        return _mm256_adds_epu8(d, vec::Scale(s, c));
    }
#endif
    static void Row(Pixel* d, const Pixel* s, const uint8_t* c, int n) {
        AddRowCoverage(d, s, 1, c, n);
    }
};

// One colour over n pixels.
template <class Op> void LayColor(Pixel color, int n, Pixel* dst, const uint8_t* cov) {
    if constexpr (std::is_same_v<Op, Store>) {
        FillRow(dst, color, n);
    } else if constexpr (std::is_same_v<Op, Over>) {
        if (PixelA(color) == 255) {
            FillRow(dst, color, n);
            return;
        }
        constexpr int kRun = 64;
        Pixel run[kRun];
        std::fill(run, run + kRun, color);
        for (int i = 0; i < n; i += kRun)
            OverRow(dst + i, run, std::min(kRun, n - i));
    } else if constexpr (std::is_same_v<Op, OverCoverage>) {
        OverSolidCoverage(dst, color, cov, n);
    } else if constexpr (std::is_same_v<Op, Add>) {
        AddRow(dst, &color, 0, n);
    } else {
        AddRowCoverage(dst, &color, 0, cov, n);
    }
}

#if NIMBRE_RASTER_AVX2
// Eight neighbouring pixels of a gradient mostly take entries within eight
// of each other: those are read as one register from the table and moved
// into place by a permute. The eight read start at the lower of the first
// and the last pixel's entries (at most at 248, to stay in the table);
// false where some entry lies outside them.
NIMBRE_AVX2 inline bool NearEntries8(__m256i e, int& first, __m256i& offsets) {
    const __m256i ends = _mm256_min_epi32(_mm256_broadcastd_epi32(_mm256_castsi256_si128(e)),
                                          _mm256_permutevar8x32_epi32(e, _mm256_set1_epi32(7)));
    const __m256i base = _mm256_min_epi32(ends, _mm256_set1_epi32(248));
    offsets = _mm256_sub_epi32(e, base);
    first = _mm256_cvtsi256_si32(base);
    // Every offset 0 .. 7: no bit above the lowest three (one below base has them all).
    return _mm256_testz_si256(offsets, _mm256_set1_epi32(~7));
}

// Eight pixels at a time; returns how many it laid (a multiple of eight).
// The entries of up to 64 pixels are worked out first, in a loop of their
// own: the long chain of arithmetic per pixel overlaps far better there
// than with the table reads and stores between. Entries too far apart for
// one read of the table are then stored one by one or, for pixels laid on
// others, gathered.
template <class Op, class Source>
NIMBRE_AVX2 int LayAvx2(const Source& source, const Pixel* table, int n, Pixel* dst, const uint8_t* cov) {
    const Source src = source; // a copy in registers: the stores below could alias the original
    constexpr int kChunk = 64;
    alignas(32) int32_t entries[kChunk];
    int i = 0;
    while (n - i >= 8) {
        const int m = std::min(kChunk, (n - i) & ~7);
        src.Entries8(i, m, entries);
        for (int j = 0; j < m; j += 8, i += 8) {
            const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(entries + j));
            int first;
            __m256i offsets, s;
            if (NearEntries8(e, first, offsets)) {
                s = _mm256_permutevar8x32_epi32(vec::Load8(table + first), offsets);
            } else if constexpr (Op::kReadsDst) {
                s = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), e, 4);
            } else {
                for (int k = 0; k < 8; ++k)
                    dst[i + k] = table[entries[j + k]];
                continue;
            }
            const __m256i d = Op::kReadsDst ? vec::Load8(dst + i) : _mm256_setzero_si256();
            vec::Store8(dst + i, Op::Eight(d, s, Op::kCoverage ? cov + i : nullptr));
        }
    }
    return i;
}
#endif

// Shades pixels 0 .. n-1 through the table from the source's entries and
// lays each on dst[i] as it is made.
template <class Op, class Source>
void Lay(const Source& source, const Pixel* table, int n, Pixel* dst, const uint8_t* cov) {
    const Source src = source;
#if NIMBRE_RASTER_SSE2
    int i = 0;
#if NIMBRE_RASTER_AVX2
    if (HasAvx2()) i = LayAvx2<Op>(src, table, n, dst, cov);
#endif
    alignas(16) int32_t e[4];
    for (; i + 4 <= n; i += 4) {
        _mm_store_si128(reinterpret_cast<__m128i*>(e), src.Four(i));
        if constexpr (Op::kReadsDst) {
            const __m128i s = _mm_setr_epi32(static_cast<int>(table[e[0]]), static_cast<int>(table[e[1]]),
                                             static_cast<int>(table[e[2]]), static_cast<int>(table[e[3]]));
            vec::Store4(dst + i, Op::Four(vec::Load4(dst + i), s, Op::kCoverage ? cov + i : nullptr));
        } else {
            for (int k = 0; k < 4; ++k)
                dst[i + k] = table[e[k]];
        }
    }
    if (i < n) { // the last one to three pixels through a register of four as well
        const int r = n - i;
        _mm_store_si128(reinterpret_cast<__m128i*>(e), src.Four(i));
        if constexpr (Op::kReadsDst) {
            uint32_t c = 0;
            if constexpr (Op::kCoverage)
                c = cov[i] | (r > 1 ? cov[i + 1] << 8 : 0) | (r > 2 ? cov[i + 2] << 16 : 0);
            const __m128i s = _mm_setr_epi32(static_cast<int>(table[e[0]]), static_cast<int>(table[e[1]]),
                                             static_cast<int>(table[e[2]]), static_cast<int>(table[e[3]]));
            const __m128i d = vec::LoadFirst4(dst + i, r);
            vec::StoreFirst4(dst + i, Op::Four(d, s, reinterpret_cast<const uint8_t*>(&c)), r);
        } else {
            for (int k = 0; k < r; ++k)
                dst[i + k] = table[e[k]];
        }
    }
#else
    for (int i = 0; i < n; ++i)
        dst[i] = Op::One(Op::kReadsDst ? dst[i] : 0, table[src.Entry(i)], Op::kCoverage ? cov[i] : 255);
#endif
}

// The table entry of a linear gradient's position t (32.32 fixed point).
int LinearEntry(int64_t t, Spread s) {
    switch (s) {
    case Spread::Pad:
        return static_cast<int>(std::clamp<int64_t>(t >> 24, 0, 255));
    case Spread::Repeat:
        return static_cast<int>((t >> 24) & 255);
    case Spread::Reflect:
        break;
    }
    const int v = static_cast<int>((t >> 24) & 511);
    return v < 256 ? v : 511 - v;
}

// A padded linear gradient's row falls into up to three stretches: before
// the ramp (entry 0), on it (0 <= t < 1) and past it (entry 255).
template <class Op>
void LayLinearPad(const Pixel* table, int64_t t, int64_t dt, int n, Pixel* dst, const uint8_t* cov) {
    constexpr int64_t kOne = int64_t{1} << 32;
    auto at = [&](int i) { return Op::kCoverage ? cov + i : nullptr; };
    auto color = [&](int from, int to, Pixel c) {
        if (to > from) LayColor<Op>(c, to - from, dst + from, at(from));
    };
    auto ramp = [&](int from, int to) {
        const LinearSource source{static_cast<uint32_t>(t + from * dt), static_cast<uint32_t>(dt)};
        if (to > from) Lay<Op>(source, table, to - from, dst + from, at(from));
    };
    auto clampN = [n](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, n)); };
    if (dt > 0) { // first i with t_i >= 0, then first with t_i >= 1
        const int a = t >= 0 ? 0 : clampN((-t + dt - 1) / dt);
        const int c = t >= kOne ? 0 : clampN((kOne - t + dt - 1) / dt);
        color(0, a, table[0]);
        ramp(a, c);
        color(c, n, table[255]);
    } else { // first i with t_i < 1, then first with t_i < 0
        const int64_t m = -dt;
        const int c = t < kOne ? 0 : clampN((t - kOne) / m + 1);
        const int a = t < 0 ? 0 : clampN(t / m + 1);
        color(0, c, table[255]);
        ramp(c, a);
        color(a, n, table[0]);
    }
}

template <class Op> void LayLinear(const Paint& p, int x, int y, int n, Pixel* dst, const uint8_t* cov) {
    // t in 32.32 fixed point, stepped along the row; the table index is
    // its top fraction bits.
    constexpr double kOne = 4294967296.0;
    const Affine& m = p.inverse;
    const double t0 = std::clamp(m.a * x + m.c * y + m.tx, -536870912.0, 536870912.0);
    const int64_t t = static_cast<int64_t>(t0 * kOne);
    const int64_t dt = static_cast<int64_t>(std::clamp(m.a, -32768.0, 32768.0) * kOne);
    const Pixel* table = p.lut.data();
    if (dt == 0) { // the gradient runs down the frame: one colour along the row
        LayColor<Op>(table[LinearEntry(t, p.spread)], n, dst, cov);
        return;
    }
    switch (p.spread) {
    case Spread::Pad:
        LayLinearPad<Op>(table, t, dt, n, dst, cov);
        break;
    case Spread::Repeat:
        Lay<Op>(LinearSource{static_cast<uint32_t>(t), static_cast<uint32_t>(dt)}, table, n, dst, cov);
        break;
    case Spread::Reflect:
        Lay<Op>(LinearReflectSource{t, dt}, table, n, dst, cov);
        break;
    }
}

// The pixels from .. to-1 of a row of n whose place in gradient space,
// (gx, gy) + i (ax, bx), may lie within the unit circle, a little widened.
// Outside it a radial gradient is past its end, and a focal one too: the
// ray from the focus meets the circle before it reaches the point.
struct RowAcrossCircle {
    int from, to;
};

RowAcrossCircle CrossCircle(double gx, double gy, double ax, double bx, int n) {
    constexpr int kWorthIt = 32; // shorter rows are shaded whole
    if (n < kWorthIt) return {0, n};
    constexpr double kRadius = 1 + 1.0 / 64; // far beyond the positions' rounding
    // |g + i a|^2 = r^2: A i^2 + 2 B i + C = 0.
    const double a = ax * ax + bx * bx, b = gx * ax + gy * bx, c = gx * gx + gy * gy - kRadius * kRadius;
    if (a == 0) return c > 0 ? RowAcrossCircle{0, 0} : RowAcrossCircle{0, n};
    const double disc = b * b - a * c;
    if (!(disc >= 0)) return disc < 0 ? RowAcrossCircle{0, 0} : RowAcrossCircle{0, n};
    const double root = std::sqrt(disc);
    const double i0 = (-b - root) / a, i1 = (-b + root) / a;
    if (!(i0 <= i1)) return {0, n}; // not a number somewhere: shade it all
    // Two pixels wider each way, converted once clamped (a conversion cuts
    // towards zero, down for these).
    const double last = n;
    const int from = static_cast<int>(std::clamp(i0 - 2, 0.0, last));
    const int to = static_cast<int>(std::clamp(i1 + 3, static_cast<double>(from), last));
    return {from, to};
}

template <class Op, class Positions>
void LayRadialSpread(const Positions& at, const Paint& p, int n, Pixel* dst, const uint8_t* cov,
                     RowAcrossCircle row) {
    const Pixel* table = p.lut.data();
    switch (p.spread) {
    case Spread::Pad: {
        // Beyond the circle, well clear of it, the last entry throughout.
        const int from = row.from, to = row.to;
        auto covAt = [&](int i) { return Op::kCoverage ? cov + i : nullptr; };
        if (from > 0) LayColor<Op>(table[255], from, dst, covAt(0));
        if (to > from)
            Lay<Op>(RadialSource<Spread::Pad, Positions>{at, from}, table, to - from, dst + from,
                    covAt(from));
        if (n > to) LayColor<Op>(table[255], n - to, dst + to, covAt(to));
        break;
    }
    case Spread::Repeat:
        Lay<Op>(RadialSource<Spread::Repeat, Positions>{at}, table, n, dst, cov);
        break;
    case Spread::Reflect:
        Lay<Op>(RadialSource<Spread::Reflect, Positions>{at}, table, n, dst, cov);
        break;
    }
}

template <class Op> void LayRadial(const Paint& p, int x, int y, int n, Pixel* dst, const uint8_t* cov) {
    // Gradient space moves by (ax, bx) from one pixel to the next; the
    // positions come out in table units.
    const Affine& m = p.inverse;
    const float gx = static_cast<float>(m.a * x + m.c * y + m.tx);
    const float gy = static_cast<float>(m.b * x + m.d * y + m.ty);
    const float ax = static_cast<float>(m.a), bx = static_cast<float>(m.b);
    const RowAcrossCircle row =
        p.spread == Spread::Pad ? CrossCircle(gx, gy, ax, bx, n) : RowAcrossCircle{0, n};
    if (p.kind == PaintKind::Radial) {
        const float u = kTableUnits;
        LayRadialSpread<Op>(RadialPositions{gx * u, gy * u, ax * u, bx * u}, p, n, dst, cov, row);
    } else {
        const float f = std::clamp(p.focal, -0.98f, 0.98f);
        LayRadialSpread<Op>(FocalPositions{gx - f, gy, ax, bx, f, f * f - 1, 1 / (1 - f * f) * kTableUnits},
                            p, n, dst, cov, row);
    }
}

// Gradients are sampled at the pixel's top left corner, solid colours
// anywhere; images are shaded into the scratch row first.
template <class Op>
void LayPaint(const Paint& p, int x, int y, int n, Pixel* dst, const uint8_t* cov, Pixel* scratch) {
    switch (p.kind) {
    case PaintKind::Solid:
        LayColor<Op>(p.color, n, dst, cov);
        return;
    case PaintKind::Linear:
        LayLinear<Op>(p, x, y, n, dst, cov);
        return;
    case PaintKind::Radial:
    case PaintKind::Focal:
        LayRadial<Op>(p, x, y, n, dst, cov);
        return;
    case PaintKind::Image:
        p.ShadeRow(x, y, n, scratch);
        Op::Row(dst, scratch, cov, n);
        return;
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
        FillRow(out, color, n);
        return;
    case PaintKind::Linear:
        LayLinear<Store>(*this, x, y, n, out, nullptr);
        return;
    case PaintKind::Radial:
    case PaintKind::Focal:
        LayRadial<Store>(*this, x, y, n, out, nullptr);
        return;
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

void Paint::LayRow(int x, int y, int n, Pixel* dst, const uint8_t* cov, LayMode mode, Pixel* scratch) const {
    if (mode == LayMode::Over) {
        if (cov)
            LayPaint<OverCoverage>(*this, x, y, n, dst, cov, scratch);
        else
            LayPaint<Over>(*this, x, y, n, dst, cov, scratch);
    } else {
        if (cov)
            LayPaint<AddCoverage>(*this, x, y, n, dst, cov, scratch);
        else
            LayPaint<Add>(*this, x, y, n, dst, cov, scratch);
    }
}

} // namespace movie::raster
