// BlendMode modes on pixels: a layer pixel laid onto an opaque and onto a
// transparent one, against the formulas worked out by hand.
#include "movie/raster/BlendModes.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace movie;
using namespace movie::raster;

namespace {

Pixel Blended(BlendMode mode, Pixel under, Pixel layer, uint8_t coverage = 255) {
    BlendRowCoverage(mode, &under, &layer, &coverage, 1);
    return under;
}

constexpr Pixel kGrey = 0xFF808080u, kDarkRed = 0xFF400000u, kWhite = 0xFFFFFFFFu;

} // namespace

TEST(BlendModes, SeparableModesOnAnOpaqueBackdrop) {
    const Pixel under = 0xFF40C080u; // r 64, g 192, b 128
    const Pixel layer = 0xFF8040FFu; // r 128, g 64, b 255
    EXPECT_EQ(Blended(BlendMode::Normal, under, layer), layer);
    EXPECT_EQ(Blended(BlendMode::Layer, under, layer), layer);
    EXPECT_EQ(Blended(BlendMode::Multiply, under, layer), 0xFF203080u);
    EXPECT_EQ(Blended(BlendMode::Screen, under, layer), 0xFFA0D0FFu);
    EXPECT_EQ(Blended(BlendMode::Lighten, under, layer), 0xFF80C0FFu);
    EXPECT_EQ(Blended(BlendMode::Darken, under, layer), 0xFF404080u);
    EXPECT_EQ(Blended(BlendMode::Difference, under, layer), 0xFF40807Fu);
    EXPECT_EQ(Blended(BlendMode::Add, under, layer), 0xFFC0FFFFu);
    EXPECT_EQ(Blended(BlendMode::Subtract, under, layer), 0xFF008000u);
    EXPECT_EQ(Blended(BlendMode::Invert, under, layer), 0xFFBF3F7Fu);
    EXPECT_EQ(Blended(BlendMode::HardLight, under, layer), 0xFF4160FFu);
    EXPECT_EQ(Blended(BlendMode::Overlay, under, layer), 0xFF40A1FFu);
}

TEST(BlendModes, AlphaAndEraseTakeTheLayersAlphaOnly) {
    const Pixel half = 0x80000000u; // black, half opaque
    EXPECT_EQ(Blended(BlendMode::Alpha, kGrey, half), 0x80404040u);
    EXPECT_EQ(Blended(BlendMode::Erase, kGrey, half), 0x7F404040u);
    EXPECT_EQ(Blended(BlendMode::Alpha, kGrey, 0u), kGrey); // nothing there: left alone
    EXPECT_EQ(Blended(BlendMode::Erase, kGrey, kWhite), 0u);
}

TEST(BlendModes, CoverageAndTransparencyWeighTheMode) {
    // Half coverage of an opaque layer: half the way to the mode's result.
    EXPECT_EQ(Blended(BlendMode::Multiply, kWhite, kDarkRed, 128), 0xFF9F7F7Fu);
    // Over a transparent pixel every separable mode shows the layer as it is.
    for (BlendMode m : {BlendMode::Multiply, BlendMode::Screen, BlendMode::Darken, BlendMode::Overlay,
                        BlendMode::HardLight})
        EXPECT_EQ(Blended(m, 0u, kDarkRed), kDarkRed) << int(m);
    // A transparent layer pixel changes nothing.
    for (BlendMode m : {BlendMode::Multiply, BlendMode::Difference, BlendMode::Invert, BlendMode::Subtract})
        EXPECT_EQ(Blended(m, kGrey, 0u), kGrey) << int(m);
}

TEST(BlendModes, RowsGiveWhatEachPixelAloneGives) {
    // Whole rows go four pixels at a time; each pixel must come out as it
    // does on its own, with and without coverage.
    Pixel under[7], layer[7];
    uint8_t cov[7];
    for (int i = 0; i < 7; ++i) {
        const uint32_t a = 40 + 35 * i;
        under[i] = PackPixel(a * 3 / 4, a / 2, a, a);
        layer[i] = PackPixel(255 - a, (a * 7) % 256 * (255 - a) / 255, (255 - a) / 3, 255 - a);
        cov[i] = static_cast<uint8_t>(255 - 30 * i);
    }
    for (BlendMode m : {BlendMode::Normal, BlendMode::Screen, BlendMode::Add, BlendMode::Multiply}) {
        Pixel whole[7], covered[7];
        std::copy(under, under + 7, whole);
        std::copy(under, under + 7, covered);
        BlendRow(m, whole, layer, 7);
        BlendRowCoverage(m, covered, layer, cov, 7);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(whole[i], Blended(m, under[i], layer[i])) << int(m) << " at " << i;
            EXPECT_EQ(covered[i], Blended(m, under[i], layer[i], cov[i])) << int(m) << " at " << i;
        }
    }
}
