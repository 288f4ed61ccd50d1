// Filters on pixels: images with room around an opaque square, filtered,
// and the pixels checked inside, on the edges and in the margin; filter
// records read back from what the encoder writes.
#include "movie/raster/Filters.h"
#include "movie/render/FilterRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace movie;
using namespace movie::raster;

namespace {

constexpr Pixel kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// A size x size transparent image with an opaque square [from, to) in it.
Image Square(int size, int from, int to, Pixel color) {
    Image img;
    img.width = img.height = size;
    img.opaque = false;
    img.pixels.assign(static_cast<size_t>(size) * size, 0);
    for (int y = from; y < to; ++y)
        for (int x = from; x < to; ++x)
            img.pixels[static_cast<size_t>(y) * size + x] = color;
    return img;
}

Pixel At(const Image& img, int x, int y) {
    return img.pixels[static_cast<size_t>(y) * img.width + x];
}

FilterSpec Spec(FilterKind type, float blur, float distance = 0, float angle = 0) {
    FilterSpec f;
    f.type = type;
    f.blurX = f.blurY = blur;
    f.distance = distance;
    f.angle = angle;
    return f;
}

// One box pass over n samples at data[i * stride], straight from its
// definition: the r taps either side of the centre whole, the two beyond by
// half the width's fraction, rounded to the nearest.
void BoxPass(uint8_t* data, size_t stride, int n, float blur) {
    const float size = blur - 1;
    if (size <= 1) return;
    const int r = static_cast<int>(std::floor((size - 1) / 2));
    const uint32_t edge = static_cast<uint32_t>(std::lround((size - (2 * r + 1)) / 2 * 256));
    const uint32_t total = (2 * r + 1) * 256 + 2 * edge;
    std::vector<uint32_t> in(n);
    for (int i = 0; i < n; ++i)
        in[i] = data[i * stride];
    auto at = [&](int i) -> uint32_t { return i < 0 || i >= n ? 0 : in[i]; };
    for (int i = 0; i < n; ++i) {
        uint32_t sum = edge * (at(i - r - 1) + at(i + r + 1));
        for (int k = -r; k <= r; ++k)
            sum += 256 * at(i + k);
        data[i * stride] = static_cast<uint8_t>((sum + total / 2) / total);
    }
}

} // namespace

// Every byte of blurred noise as the passes' definition gives it, for whole
// and fractional widths, wider than the image too.
TEST(Filters, BlurMatchesItsDefinitionByteForByte) {
    uint32_t seed = 12345;
    for (float bx : {2.0f, 3.5f, 7.25f, 40.0f})
        for (float by : {1.0f, 4.75f, 9.0f}) {
            const int w = 29, h = 23, passes = bx > 7 ? 3 : 1;
            Image img;
            img.width = w, img.height = h, img.opaque = false;
            for (int i = 0; i < w * h; ++i) {
                seed = seed * 1103515245u + 12345u;
                const uint32_t a = seed >> 24;
                img.pixels.push_back(Premultiply((seed >> 8) & 255, (seed >> 16) & 255, seed & 255, a));
            }
            std::vector<Pixel> want = img.pixels;
            auto* bytes = reinterpret_cast<uint8_t*>(want.data());
            for (int p = 0; p < passes; ++p) {
                for (int y = 0; y < h; ++y)
                    for (int c = 0; c < 4; ++c)
                        BoxPass(bytes + (y * w) * 4 + c, 4, w, bx);
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 4; ++c)
                        BoxPass(bytes + x * 4 + c, w * 4, h, by);
            }
            FilterSpec f = Spec(FilterKind::Blur, 0);
            f.blurX = bx, f.blurY = by, f.passes = passes;
            ApplyFilter(f, img);
            EXPECT_EQ(img.pixels, want) << bx << " x " << by;
        }
}

TEST(Filters, BlurSpreadsSymmetricallyWithinItsMargin) {
    Image img = Square(41, 20, 21, kRed); // one pixel
    FilterSpec f = Spec(FilterKind::Blur, 6);
    f.passes = 2;
    ApplyFilter(f, img);
    const FilterMargin m = Margin(f);
    EXPECT_GT(m.left, 0);
    uint32_t total = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            const Pixel p = At(img, x, y);
            total += PixelA(p);
            EXPECT_EQ(p, At(img, 40 - x, y)) << x << "," << y;
            EXPECT_EQ(p, At(img, y, x)) << x << "," << y;
            if (std::abs(x - 20) > m.left || std::abs(y - 20) > m.top) EXPECT_EQ(p, 0u) << x << "," << y;
            EXPECT_LE(PixelR(p), PixelA(p));
        }
    EXPECT_NEAR(total, 255u, 40u); // the blur moves colour about but keeps it
    EXPECT_GT(PixelA(At(img, 20, 20)), PixelA(At(img, 21, 20)));
    EXPECT_GT(PixelA(At(img, 21, 20)), 0u);
}

TEST(Filters, DropShadowFallsAlongItsAngleUnderTheObject) {
    FilterSpec f = Spec(FilterKind::DropShadow, 0, 4, 0); // four pixels right, hard-edged
    f.color = 0xFF0000FFu;
    Image img = Square(30, 10, 20, kRed);
    ApplyFilter(f, img);
    EXPECT_EQ(At(img, 15, 15), kRed);  // the object lies over its shadow
    EXPECT_EQ(At(img, 22, 15), kBlue); // the shadow beside it
    EXPECT_EQ(At(img, 8, 15), 0u);     // nothing on the far side
    EXPECT_EQ(Margin(f).right, 4);

    FilterSpec hidden = f;
    hidden.hideObject = true;
    img = Square(30, 10, 20, kRed);
    ApplyFilter(hidden, img);
    EXPECT_EQ(At(img, 15, 15), kBlue);
    EXPECT_EQ(At(img, 11, 15), 0u);

    FilterSpec knockout = f;
    knockout.knockout = true;
    img = Square(30, 10, 20, kRed);
    ApplyFilter(knockout, img);
    EXPECT_EQ(At(img, 15, 15), 0u); // the object is cut out of its shadow
    EXPECT_EQ(At(img, 22, 15), kBlue);
}

TEST(Filters, GlowsGrowOutwardOrInwardWithTheirStrength) {
    FilterSpec glow = Spec(FilterKind::Glow, 5);
    glow.color = 0xFF0000FFu;
    Image img = Square(30, 10, 20, kRed);
    ApplyFilter(glow, img);
    EXPECT_EQ(At(img, 15, 15), kRed);
    const uint32_t weak = PixelA(At(img, 21, 15));
    EXPECT_GT(weak, 0u);
    EXPECT_EQ(PixelB(At(img, 21, 15)), weak); // blue, as strong as it is opaque
    glow.strength = 2;
    img = Square(30, 10, 20, kRed);
    ApplyFilter(glow, img);
    EXPECT_GT(PixelA(At(img, 21, 15)), weak);

    FilterSpec inner = Spec(FilterKind::Glow, 5);
    inner.inner = true;
    inner.color = 0xFF0000FFu;
    img = Square(30, 10, 20, kRed);
    ApplyFilter(inner, img);
    EXPECT_EQ(At(img, 21, 15), 0u);           // nothing outside
    EXPECT_GT(PixelB(At(img, 10, 15)), 0u);   // blue along the inside of the edge
    EXPECT_EQ(At(img, 15, 15), kRed);         // the middle is beyond its reach
    EXPECT_EQ(PixelA(At(img, 10, 15)), 255u); // and the object stays opaque
}

TEST(Filters, BevelLightsTheEdgesFacingAwayFromItsAngle) {
    FilterSpec f = Spec(FilterKind::Bevel, 3, 2, 0.785398f); // light from the top left
    f.inner = true;
    f.highlight = 0xFFFFFFFFu;
    f.color = 0xFF000000u;
    Image img = Square(30, 10, 20, 0xFF808080u);
    ApplyFilter(f, img);
    const Pixel topLeft = At(img, 10, 10), bottomRight = At(img, 19, 19);
    EXPECT_GT(PixelR(topLeft), 0xC0u);
    EXPECT_LT(PixelR(bottomRight), 0x40u);
    EXPECT_EQ(At(img, 15, 15), 0xFF808080u);
    EXPECT_EQ(At(img, 5, 5), 0u); // an inner bevel stays inside
}

TEST(Filters, ColourMatrixAndConvolutionWorkOnStraightColour) {
    FilterSpec swap;
    swap.type = FilterKind::ColorMatrix;
    swap.colorMatrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0};
    Image img = Square(4, 0, 4, kRed);
    ApplyFilter(swap, img);
    EXPECT_EQ(At(img, 1, 1), Premultiply(0, 0, 255, 128));

    FilterSpec sharpen;
    sharpen.type = FilterKind::Convolution;
    sharpen.matrixX = 3;
    sharpen.matrixY = 1;
    sharpen.matrix = {0, 0, 1}; // each pixel takes its right neighbour's colour
    img = Square(6, 0, 6, kRed);
    img.pixels[3] = kBlue;
    ApplyFilter(sharpen, img);
    EXPECT_EQ(At(img, 2, 0), kBlue);
    EXPECT_EQ(At(img, 3, 0), kRed);
    EXPECT_EQ(At(img, 5, 0), kRed); // clamped at the edge
}

TEST(FilterRecords, EveryKindReadsBackAsWrittenAndShortRecordsAreRefused) {
    FilterSpec shadow = Spec(FilterKind::DropShadow, 6.5f, 3, 1.5f);
    shadow.color = 0x80112233u;
    shadow.strength = 1.5f;
    shadow.passes = 3;
    shadow.knockout = true;
    FilterSpec bevel = Spec(FilterKind::GradientBevel, 2, 4, -1);
    bevel.stops = {{0, 255, 255, 255, 255}, {128, 0, 0, 0, 0}, {255, 0, 0, 0, 255}};
    bevel.onTop = true;
    FilterSpec conv;
    conv.type = FilterKind::Convolution;
    conv.matrixX = 2;
    conv.matrixY = 2;
    conv.matrix = {1, 2, 3, 4};
    conv.divisor = 10;
    conv.bias = 5;
    conv.clamp = false;
    conv.defaultColor = 0x40FF0000u;
    FilterSpec matrix;
    matrix.type = FilterKind::ColorMatrix;
    matrix.colorMatrix[4] = 20;
    for (const FilterSpec& f :
         {shadow, bevel, conv, matrix, Spec(FilterKind::Blur, 9), Spec(FilterKind::Glow, 3)}) {
        const Filter record = render::EncodeFilter(f);
        auto back = render::DecodeFilter(record);
        ASSERT_TRUE(back) << int(f.type);
        EXPECT_EQ(back->type, f.type);
        EXPECT_FLOAT_EQ(back->blurX, f.blurX);
        EXPECT_EQ(back->passes, f.passes);
        EXPECT_EQ(back->knockout, f.knockout);
        EXPECT_EQ(back->onTop, f.onTop);
        EXPECT_EQ(back->stops.size(), f.stops.size());
        EXPECT_EQ(back->matrix, f.matrix);
        EXPECT_EQ(back->colorMatrix, f.colorMatrix);
        if (f.type != FilterKind::Blur && f.type != FilterKind::ColorMatrix &&
            f.type != FilterKind::Convolution)
            EXPECT_FLOAT_EQ(back->strength, f.strength);
        if (f.type == FilterKind::DropShadow) {
            EXPECT_EQ(back->color, f.color);
            EXPECT_FLOAT_EQ(back->angle, f.angle);
        }
        if (f.type == FilterKind::Convolution) {
            EXPECT_EQ(back->defaultColor, f.defaultColor);
            EXPECT_FALSE(back->clamp);
        }
        Filter cut = record;
        cut.data.pop_back();
        EXPECT_FALSE(render::DecodeFilter(cut)) << int(f.type);
    }
}

TEST(Filters, HostileSizesAreBounded) {
    FilterSpec f = Spec(FilterKind::Blur, 1e9f);
    f.passes = 200;
    const FilterSpec scaled = f.Scaled(1e6);
    const FilterMargin m = Margin(scaled);
    EXPECT_LE(m.left, 255 * 15);
    Image img = Square(8, 2, 6, kRed);
    ApplyFilter(scaled, img); // finishes, with every pixel spread thin
    EXPECT_LT(PixelA(At(img, 4, 4)), 255u);
    FilterSpec nan = Spec(FilterKind::DropShadow, std::nanf(""), std::nanf(""), std::nanf(""));
    EXPECT_EQ(Margin(nan.Scaled(1)).left, 0);
}
