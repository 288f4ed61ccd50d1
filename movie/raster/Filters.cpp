#include "movie/raster/Filters.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>

namespace movie::raster {

namespace {

// Wider blurs, further shadows and more passes are drawn at these.
constexpr int kMaxPasses = Limits::kMaxBlurPasses;
constexpr float kMaxBlur = Limits::kMaxBlurPixels;
constexpr float kMaxDistance = Limits::kMaxFilterDistance;

float ClampBlur(float b) {
    return std::isfinite(b) ? std::clamp(b, 0.0f, kMaxBlur) : 0.0f;
}

// A blur of b pixels averages a box one pixel narrower, centred on the
// pixel; a fractional width weighs the outermost taps by half its fraction.
float BoxWidth(float blur) {
    return blur - 1;
}

// Pixels one pass of a blur reaches on either side of its centre.
int Reach(float blur) {
    const float size = BoxWidth(blur);
    if (size <= 1) return 0;
    return static_cast<int>(std::ceil((size - 1) / 2));
}

// The box of one pass: r whole taps on either side of the centre, the two
// beyond weighed by `edge` (in 256ths), all divided by `total` (256ths).
struct Box {
    int r = 0;
    uint32_t edge = 0, total = 256;
    // n / total rounded down, for every sum a pass makes (n < 2^25, total
    // >= 256), as a multiply and a shift: m = ceil(2^42 / total) is off by
    // less than total, so n * m / 2^42 errs by less than n / 2^42 < 1 / total.
    uint64_t m = 0;
    uint32_t Divide(uint32_t n) const { return static_cast<uint32_t>((n * m) >> 42); }
};

// The box of a blur, or none (r < 0) when the blur leaves the image alone.
Box BoxOf(float blur) {
    Box b;
    const float size = BoxWidth(blur);
    if (size <= 1) {
        b.r = -1;
        return b;
    }
    b.r = static_cast<int>(std::floor((size - 1) / 2));
    b.edge = static_cast<uint32_t>(std::lround((size - (2 * b.r + 1)) / 2 * 256));
    b.total = static_cast<uint32_t>((2 * b.r + 1) * 256 + 2 * b.edge);
    b.m = ((uint64_t(1) << 42) + b.total - 1) / b.total;
    return b;
}

// One horizontal pass over each row of C interleaved channels. The row is
// copied with r + 1 samples of `outside` on either side, so that the
// running sums need no bounds.
template <int C> void BoxRows(uint8_t* data, int w, int h, const Box& box, uint8_t outside) {
    const int r = box.r, pad = r + 1;
    std::vector<uint8_t> line(static_cast<size_t>(w + 2 * pad) * C, outside);
    const size_t rowBytes = static_cast<size_t>(w) * C;
    const uint32_t half = box.total / 2, edge = box.edge;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = data + y * rowBytes;
        std::copy(row, row + rowBytes, line.begin() + static_cast<ptrdiff_t>(pad) * C);
        const uint8_t* in = line.data() + static_cast<size_t>(pad) * C; // sample 0
        uint32_t inner[C] = {};
        for (int k = -r; k <= r; ++k)
            for (int c = 0; c < C; ++c)
                inner[c] += in[k * C + c];
        for (int i = 0; i < w; ++i) {
            const uint8_t *before = in + (i - r - 1) * C, *after = in + (i + r + 1) * C,
                          *first = in + (i - r) * C;
            for (int c = 0; c < C; ++c) {
                const uint32_t sum = inner[c] * 256 + edge * (before[c] + after[c]);
                row[static_cast<size_t>(i) * C + c] = static_cast<uint8_t>(box.Divide(sum + half));
                inner[c] += after[c] - first[c];
            }
        }
    }
}

// One vertical pass: every column at once, a running sum per byte of the
// row, reading the rows as they were before the pass.
void BoxColumns(uint8_t* data, int w, int h, int channels, const Box& box, uint8_t outside) {
    const int r = box.r;
    const size_t rowBytes = static_cast<size_t>(w) * channels;
    const std::vector<uint8_t> src(data, data + rowBytes * h);
    const std::vector<uint8_t> blank(rowBytes, outside);
    auto row = [&](int y) { return y < 0 || y >= h ? blank.data() : src.data() + y * rowBytes; };
    std::vector<uint32_t> inner(rowBytes, 0);
    for (int k = -r; k <= r; ++k) {
        const uint8_t* in = row(k);
        for (size_t j = 0; j < rowBytes; ++j)
            inner[j] += in[j];
    }
    const uint32_t half = box.total / 2, edge = box.edge;
    for (int y = 0; y < h; ++y) {
        const uint8_t *above = row(y - r - 1), *below = row(y + r + 1), *top = row(y - r);
        uint8_t* out = data + y * rowBytes;
        for (size_t j = 0; j < rowBytes; ++j) {
            const uint32_t sum = inner[j] * 256 + edge * (above[j] + below[j]);
            out[j] = static_cast<uint8_t>(box.Divide(sum + half));
            inner[j] += below[j] - top[j];
        }
    }
}

// Blurs interleaved byte channels (`channels` per sample) of a w x h image.
void BlurChannels(uint8_t* data, int w, int h, int channels, float bx, float by, int passes,
                  uint8_t outside) {
    if (w <= 0 || h <= 0) return;
    const Box across = BoxOf(bx), down = BoxOf(by);
    for (int p = 0; p < passes; ++p) {
        if (bx > 1 && across.r >= 0) {
            if (channels == 4)
                BoxRows<4>(data, w, h, across, outside);
            else
                BoxRows<1>(data, w, h, across, outside);
        }
        if (by > 1 && down.r >= 0) BoxColumns(data, w, h, channels, down, outside);
    }
}

uint8_t Clamp255(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}

// Colour table of a glow or bevel: index 0..255 -> premultiplied colour.
std::array<Pixel, 256> Ramp(const FilterSpec& f) {
    std::array<Pixel, 256> lut{};
    std::vector<GradientStopF> stops = f.stops;
    if (f.type == FilterKind::DropShadow || f.type == FilterKind::Glow) {
        auto c = f.color;
        stops = {{0, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0},
                 {255, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)}};
    } else if (f.type == FilterKind::Bevel) {
        auto h = f.highlight, s = f.color;
        stops = {{0, uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h), uint8_t(h >> 24)},
                 {128, uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h), 0},
                 {128, uint8_t(s >> 16), uint8_t(s >> 8), uint8_t(s), 0},
                 {255, uint8_t(s >> 16), uint8_t(s >> 8), uint8_t(s), uint8_t(s >> 24)}};
    }
    if (stops.empty()) return lut;
    // Straight colour interpolated, then premultiplied.
    size_t k = 0;
    for (int i = 0; i < 256; ++i) {
        while (k + 1 < stops.size() && stops[k + 1].ratio <= i)
            ++k;
        const GradientStopF& a = stops[k];
        if (i <= a.ratio || k + 1 >= stops.size()) {
            lut[i] = Premultiply(a.r, a.g, a.b, a.a);
            continue;
        }
        const GradientStopF& b = stops[k + 1];
        float t = float(i - a.ratio) / float(b.ratio - a.ratio);
        auto mix = [t](uint8_t x, uint8_t y) { return static_cast<uint32_t>(x + (y - x) * t + 0.5f); };
        lut[i] = Premultiply(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a));
    }
    return lut;
}

// The alpha plane of `img` moved by (dx, dy) (empty where it came from outside).
std::vector<uint8_t> ShiftedAlpha(const Image& img, int dx, int dy) {
    std::vector<uint8_t> a(static_cast<size_t>(img.width) * img.height, 0);
    for (int y = 0; y < img.height; ++y) {
        const int sy = y - dy;
        if (sy < 0 || sy >= img.height) continue;
        for (int x = 0; x < img.width; ++x) {
            const int sx = x - dx;
            if (sx >= 0 && sx < img.width)
                a[static_cast<size_t>(y) * img.width + x] =
                    PixelA(img.pixels[static_cast<size_t>(sy) * img.width + sx]);
        }
    }
    return a;
}

// Shadows, glows and bevels: a value per pixel from the blurred alpha, looked
// up in the colour ramp, laid under, over or instead of the object.
void ApplyShadow(const FilterSpec& f, Image& img) {
    const int w = img.width, h = img.height;
    const size_t n = static_cast<size_t>(w) * h;
    const bool bevel = f.type == FilterKind::Bevel || f.type == FilterKind::GradientBevel;
    const float dist = f.type == FilterKind::Glow || f.type == FilterKind::GradientGlow ? 0 : f.distance;
    const int dx = static_cast<int>(std::lround(std::cos(f.angle) * dist));
    const int dy = static_cast<int>(std::lround(std::sin(f.angle) * dist));
    const int passes = std::clamp(f.passes, 1, kMaxPasses);
    std::vector<uint8_t> value(n);
    if (bevel) {
        // Shadow where the object lies towards the light, highlight where it
        // lies away: the difference of the blurred alpha moved both ways.
        std::vector<uint8_t> blurred = ShiftedAlpha(img, 0, 0);
        BlurChannels(blurred.data(), w, h, 1, f.blurX, f.blurY, passes, 0);
        auto at = [&](int x, int y) -> int {
            return x < 0 || y < 0 || x >= w || y >= h ? 0 : blurred[static_cast<size_t>(y) * w + x];
        };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float v = (at(x - dx, y - dy) - at(x + dx, y + dy)) * f.strength;
                value[static_cast<size_t>(y) * w + x] = Clamp255(128 + v / 2);
            }
    } else {
        value = ShiftedAlpha(img, dx, dy);
        if (f.inner)
            for (uint8_t& v : value)
                v = static_cast<uint8_t>(255 - v);
        BlurChannels(value.data(), w, h, 1, f.blurX, f.blurY, passes, f.inner ? 255 : 0);
        if (f.strength != 1)
            for (uint8_t& v : value)
                v = Clamp255(v * f.strength);
    }
    const std::array<Pixel, 256> lut = Ramp(f);
    const bool full = bevel && f.onTop; // inner and outer together
    const bool innerOnly = f.inner && !full;
    for (size_t i = 0; i < n; ++i) {
        const Pixel src = img.pixels[i];
        const uint32_t sa = PixelA(src);
        const Pixel fx = lut[value[i]];
        Pixel out;
        if (innerOnly) { // over the object, within it
            out = MulDiv255(fx, sa);
            if (!f.knockout && !f.hideObject) out += MulDiv255(src, 255 - PixelA(fx));
        } else if (full) {
            out = f.knockout ? fx : fx + MulDiv255(src, 255 - PixelA(fx));
        } else if (f.knockout) { // outside the object only
            out = MulDiv255(fx, 255 - sa);
        } else if (f.hideObject) {
            out = fx;
        } else { // under the object
            out = src + MulDiv255(fx, 255 - sa);
        }
        img.pixels[i] = out;
    }
}

Pixel Straight(Pixel p, float out[4]) {
    const uint32_t a = PixelA(p);
    if (a == 0) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return p;
    }
    out[0] = PixelR(p) * 255.0f / a;
    out[1] = PixelG(p) * 255.0f / a;
    out[2] = PixelB(p) * 255.0f / a;
    out[3] = static_cast<float>(a);
    return p;
}

void ApplyColorMatrix(const FilterSpec& f, Image& img) {
    const auto& m = f.colorMatrix;
    for (Pixel& p : img.pixels) {
        float c[4];
        Straight(p, c);
        float o[4];
        for (int r = 0; r < 4; ++r)
            o[r] = m[r * 5] * c[0] + m[r * 5 + 1] * c[1] + m[r * 5 + 2] * c[2] + m[r * 5 + 3] * c[3] +
                   m[r * 5 + 4];
        p = Premultiply(Clamp255(o[0]), Clamp255(o[1]), Clamp255(o[2]), Clamp255(o[3]));
    }
}

void ApplyConvolution(const FilterSpec& f, Image& img) {
    const int mx = f.matrixX, my = f.matrixY;
    if (mx <= 0 || my <= 0 || f.matrix.size() != static_cast<size_t>(mx) * my) return;
    const int w = img.width, h = img.height;
    std::vector<float> straight(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < img.pixels.size(); ++i)
        Straight(img.pixels[i], &straight[i * 4]);
    float def[4] = {float((f.defaultColor >> 16) & 0xFF), float((f.defaultColor >> 8) & 0xFF),
                    float(f.defaultColor & 0xFF), float(f.defaultColor >> 24)};
    const float divisor = f.divisor == 0 || !std::isfinite(f.divisor) ? 1 : f.divisor;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < my; ++j)
                for (int i = 0; i < mx; ++i) {
                    int sx = x + i - mx / 2, sy = y + j - my / 2;
                    const float* s;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) {
                        if (!f.clamp) {
                            s = def;
                        } else {
                            sx = std::clamp(sx, 0, w - 1);
                            sy = std::clamp(sy, 0, h - 1);
                            s = &straight[(static_cast<size_t>(sy) * w + sx) * 4];
                        }
                    } else {
                        s = &straight[(static_cast<size_t>(sy) * w + sx) * 4];
                    }
                    const float k = f.matrix[static_cast<size_t>(j) * mx + i];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += s[c] * k;
                }
            const float* self = &straight[(static_cast<size_t>(y) * w + x) * 4];
            float a = f.preserveAlpha ? self[3] : sum[3] / divisor + f.bias;
            img.pixels[static_cast<size_t>(y) * w + x] =
                Premultiply(Clamp255(sum[0] / divisor + f.bias), Clamp255(sum[1] / divisor + f.bias),
                            Clamp255(sum[2] / divisor + f.bias), Clamp255(a));
        }
}

} // namespace

FilterSpec FilterSpec::Scaled(double scale) const {
    FilterSpec s = *this;
    s.blurX = ClampBlur(static_cast<float>(blurX * scale));
    s.blurY = ClampBlur(static_cast<float>(blurY * scale));
    const float d = static_cast<float>(distance * scale);
    s.distance = std::isfinite(d) ? std::clamp(d, -kMaxDistance, kMaxDistance) : 0.0f;
    if (!std::isfinite(angle)) s.angle = 0;
    return s;
}

FilterList::FilterList(std::vector<FilterSpec> specs) : specs_(std::move(specs)) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<const uint8_t*>(p)[i]) * 1099511628211ull;
    };
    auto put = [&mix](auto v) { mix(&v, sizeof v); };
    put(specs_.size());
    for (const FilterSpec& f : specs_) {
        put(f.type);
        for (float v : {f.blurX, f.blurY, f.angle, f.distance, f.strength, f.divisor, f.bias})
            put(v);
        for (bool v : {f.inner, f.knockout, f.hideObject, f.onTop, f.clamp, f.preserveAlpha})
            put(v);
        for (int v : {f.passes, f.matrixX, f.matrixY})
            put(v);
        for (Argb v : {f.color, f.highlight, f.defaultColor})
            put(v);
        put(f.stops.size());
        for (const GradientStopF& s : f.stops)
            for (int v : {s.ratio, int(s.r), int(s.g), int(s.b), int(s.a)})
                put(v);
        put(f.matrix.size());
        mix(f.matrix.data(), f.matrix.size() * sizeof(float));
        mix(f.colorMatrix.data(), f.colorMatrix.size() * sizeof(float));
    }
    digest_ = h;
}

uint64_t PassesOf(const FilterSpec& f) {
    const uint64_t passes = static_cast<uint64_t>(std::clamp(f.passes, 1, kMaxPasses));
    switch (f.type) {
    case FilterKind::Blur:
        return passes;
    case FilterKind::DropShadow:
    case FilterKind::Glow:
    case FilterKind::Bevel:
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
        return passes + 1;
    case FilterKind::Convolution:
        return std::max<uint64_t>(1, static_cast<uint64_t>(std::max(f.matrixX, 0)) * std::max(f.matrixY, 0));
    case FilterKind::ColorMatrix:
        break;
    }
    return 1;
}

FilterMargin Margin(const FilterSpec& f) {
    FilterMargin m;
    const int passes = std::clamp(f.passes, 1, kMaxPasses);
    const int rx = Reach(ClampBlur(f.blurX)) * passes, ry = Reach(ClampBlur(f.blurY)) * passes;
    switch (f.type) {
    case FilterKind::Blur:
    case FilterKind::Glow:
    case FilterKind::GradientGlow:
        m = {rx, ry, rx, ry};
        break;
    case FilterKind::DropShadow:
    case FilterKind::Bevel:
    case FilterKind::GradientBevel: {
        if (f.inner && !f.onTop) break; // nothing outside the object
        float d = std::isfinite(f.distance) ? std::clamp(f.distance, -kMaxDistance, kMaxDistance) : 0.0f;
        if (!std::isfinite(f.angle)) d = 0;
        const int dx = static_cast<int>(std::ceil(std::abs(std::cos(f.angle) * d)));
        const int dy = static_cast<int>(std::ceil(std::abs(std::sin(f.angle) * d)));
        m = {rx + dx, ry + dy, rx + dx, ry + dy};
        break;
    }
    case FilterKind::Convolution:
        m = {};
        break;
    case FilterKind::ColorMatrix:
        break;
    }
    return m;
}

void ApplyFilter(const FilterSpec& f, Image& img) {
    if (img.width <= 0 || img.height <= 0 || img.pixels.size() != static_cast<size_t>(img.width) * img.height)
        return;
    switch (f.type) {
    case FilterKind::Blur:
        BlurChannels(reinterpret_cast<uint8_t*>(img.pixels.data()), img.width, img.height, 4,
                     ClampBlur(f.blurX), ClampBlur(f.blurY), std::clamp(f.passes, 1, kMaxPasses), 0);
        break;
    case FilterKind::DropShadow:
    case FilterKind::Glow:
    case FilterKind::Bevel:
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        FilterSpec g = f;
        g.blurX = ClampBlur(f.blurX);
        g.blurY = ClampBlur(f.blurY);
        if (!std::isfinite(g.strength)) g.strength = 0;
        if (!std::isfinite(g.angle)) g.angle = 0;
        if (!std::isfinite(g.distance)) g.distance = 0;
        g.distance = std::clamp(g.distance, -kMaxDistance, kMaxDistance);
        g.strength = std::clamp(g.strength, 0.0f, 255.0f);
        ApplyShadow(g, img);
        break;
    }
    case FilterKind::Convolution:
        ApplyConvolution(f, img);
        break;
    case FilterKind::ColorMatrix:
        ApplyColorMatrix(f, img);
        break;
    }
    img.opaque = false;
}

} // namespace movie::raster
