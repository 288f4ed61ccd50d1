// BlendMode modes on pixels: a layer pixel laid onto an opaque and onto a
// transparent one, against the formulas worked out by hand.
#include "movie/raster/BlendModes.h"

#include <gtest/gtest.h>

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
