// The rasterizer on its own: coverage, fill rules, paints, strokes, masks,
// layers and bands, checked on pixels.
#include "movie/raster/Blitter.h"
#include "movie/raster/Canvas.h"
#include "movie/raster/ScanConverter.h"
#include "movie/raster/Scene.h"
#include "movie/raster/SceneRenderer.h"
#include "movie/raster/Stroker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>

using namespace movie::raster;

namespace {

constexpr Pixel kWhite = 0xFFFFFFFFu;
constexpr Pixel kBlack = 0xFF000000u;
constexpr Pixel kRed = 0xFFFF0000u;
constexpr Pixel kBlue = 0xFF0000FFu;

void AddRect(EdgeList& e, float x0, float y0, float x1, float y1) {
    e.AddLine({x0, y0}, {x1, y0});
    e.AddLine({x1, y0}, {x1, y1});
    e.AddLine({x1, y1}, {x0, y1});
    e.AddLine({x0, y1}, {x0, y0});
}

void AddPolygon(EdgeList& e, std::initializer_list<PointF> pts) {
    std::vector<PointF> v(pts);
    for (size_t i = 0; i < v.size(); ++i)
        e.AddLine(v[i], v[(i + 1) % v.size()]);
}

Canvas Draw(const Scene& scene, int w, int h, int threads = 1) {
    Canvas canvas(w, h);
    SceneRenderer r;
    r.SetThreads(threads);
    r.Render(scene, canvas, {0, 0, w, h});
    return canvas;
}

// Coverage of `scene`'s single black fill on white, 0..255, at (x, y).
int Darkness(const Canvas& c, int x, int y) {
    return 255 - static_cast<int>(PixelR(c.At(x, y)));
}

} // namespace

TEST(RasterCoverage, PixelAlignedRectangleIsExact) {
    Scene s;
    s.SetBackground(kWhite);
    AddRect(s.BeginFill(), 2, 3, 7, 5);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 3 && y < 5;
            EXPECT_EQ(c.At(x, y), inside ? kBlack : kWhite) << x << "," << y;
        }
}

TEST(RasterCoverage, PartialPixelsGetTheirArea) {
    Scene s;
    s.SetBackground(kWhite);
    // Half of column 2, a quarter of pixel (5, 1) (half its width, half its height).
    AddRect(s.BeginFill(), 2.5f, 0, 5.5f, 1.5f);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 8, 4);
    EXPECT_NEAR(Darkness(c, 2, 0), 128, 2);
    EXPECT_EQ(Darkness(c, 3, 0), 255);
    EXPECT_NEAR(Darkness(c, 5, 0), 128, 2);
    EXPECT_NEAR(Darkness(c, 2, 1), 64, 2);
    EXPECT_NEAR(Darkness(c, 3, 1), 128, 2);
    EXPECT_EQ(Darkness(c, 6, 0), 0);
    EXPECT_EQ(Darkness(c, 3, 2), 0);
}

TEST(RasterCoverage, DiagonalHalvesPixels) {
    Scene s;
    s.SetBackground(kWhite);
    AddPolygon(s.BeginFill(), {{0, 0}, {8, 0}, {0, 8}}); // the diagonal cuts pixels (i, 7-i) in half
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 8, 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(Darkness(c, i, 7 - i), 128, 2) << i;
    EXPECT_EQ(Darkness(c, 0, 0), 255);
    EXPECT_EQ(Darkness(c, 7, 7), 0);
}

TEST(RasterCoverage, CircleAreaMatches) {
    Scene s;
    s.SetBackground(kWhite);
    EdgeList& e = s.BeginFill();
    const float r = 10.3f;
    const int n = 720;
    for (int i = 0; i < n; ++i) {
        float a0 = 2 * 3.14159265f * i / n, a1 = 2 * 3.14159265f * (i + 1) / n;
        e.AddLine({16 + r * std::cos(a0), 16 + r * std::sin(a0)},
                  {16 + r * std::cos(a1), 16 + r * std::sin(a1)});
    }
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 32, 32);
    double sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            sum += Darkness(c, x, y) / 255.0;
    EXPECT_NEAR(sum, 3.14159265 * r * r, 1.0);
}

// Winding number of (px, py) against closed polygons.
int WindingAt(const std::vector<std::vector<PointF>>& polys, float px, float py) {
    int wn = 0;
    for (const auto& poly : polys)
        for (size_t i = 0; i < poly.size(); ++i) {
            PointF a = poly[i], b = poly[(i + 1) % poly.size()];
            if ((a.y <= py) != (b.y <= py)) {
                float t = (py - a.y) / (b.y - a.y);
                if (a.x + t * (b.x - a.x) > px) wn += b.y > a.y ? 1 : -1;
            }
        }
    return wn;
}

// The spans of a row cover it exactly, in order, and every value they give,
// constant or per pixel, is the pixel's area inside the outline (checked
// against 16 x 16 samples per pixel); the inside of a big shape comes as
// long constant spans, not pixel by pixel. The inner square's sides share
// their columns with the ones on either side of 64 and 128.
TEST(RasterCoverage, RowSpansGiveEveryPixelItsArea) {
    const std::vector<std::vector<PointF>> polys{
        {{3.3f, 2.5f}, {180.7f, 9.2f}, {150.2f, 60.9f}, {20.4f, 70.1f}},
        {{63.5f, 20.5f}, {127.5f, 20.5f}, {127.5f, 40.5f}, {63.5f, 40.5f}}};
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        EdgeList e;
        for (const auto& p : polys)
            for (size_t i = 0; i < p.size(); ++i)
                e.AddLine(p[i], p[(i + 1) % p.size()]);
        e.Sort();
        ScanConverter scan;
        int rows = 0, longRows = 0;
        std::vector<uint8_t> values(256);
        scan.Rasterize(e, rule, {0, 0, 200, 80},
                       [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
                           ASSERT_GT(count, 0);
                           ASSERT_EQ(spans[0].s, 0);
                           ASSERT_EQ(spans[count - 1].e, n);
                           bool longSpan = false;
                           for (int k = 0; k < count; ++k) {
                               ASSERT_LT(spans[k].s, spans[k].e);
                               if (k > 0) ASSERT_EQ(spans[k].s, spans[k - 1].e);
                               longSpan |=
                                   spans[k].value != CoverageSpan::kVaries && spans[k].e - spans[k].s >= 32;
                           }
                           longRows += longSpan;
                           ScanConverter::Expand(cov, spans, count, values.data());
                           for (int i = 0; i < n; ++i) {
                               int inside = 0;
                               for (int sy = 0; sy < 16; ++sy)
                                   for (int sx = 0; sx < 16; ++sx) {
                                       int wn =
                                           WindingAt(polys, x + i + (sx + 0.5f) / 16, y + (sy + 0.5f) / 16);
                                       inside += rule == FillRule::NonZero ? wn != 0 : (wn & 1);
                                   }
                               ASSERT_NEAR(values[i], inside * 255 / 256, 17) << y << " " << x + i;
                           }
                           ++rows;
                       });
        EXPECT_GT(rows, 60);
        EXPECT_GE(longRows, rows - 8); // all but the rows of the pointed corners
    }
}

TEST(RasterFillRule, EvenOddPunchesHoleNonZeroDoesNot) {
    for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
        Scene s;
        s.SetBackground(kWhite);
        EdgeList& e = s.BeginFill();
        AddRect(e, 0, 0, 10, 10);
        AddRect(e, 3, 3, 7, 7); // same direction: winding 2 inside
        s.EndFill(Paint::Solid(kBlack), rule);
        Canvas c = Draw(s, 10, 10);
        EXPECT_EQ(c.At(1, 1), kBlack);
        EXPECT_EQ(c.At(5, 5), rule == FillRule::EvenOdd ? kWhite : kBlack);
    }
}

TEST(RasterFillRule, OppositeWindingCancels) {
    Scene s;
    s.SetBackground(kWhite);
    EdgeList& e = s.BeginFill();
    AddRect(e, 0, 0, 10, 10);
    AddPolygon(e, {{3, 3}, {3, 7}, {7, 7}, {7, 3}}); // reversed
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 10, 10);
    EXPECT_EQ(c.At(5, 5), kWhite);
    EXPECT_EQ(c.At(1, 5), kBlack);
}

TEST(RasterClipping, ShapesBeyondTheCanvasKeepTheirInside) {
    Scene s;
    s.SetBackground(kWhite);
    AddPolygon(s.BeginFill(), {{-1e6f, -50}, {1e6f, -40}, {1e6f, 50}, {-1e6f, 40}});
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(c.At(x, y), kBlack);
}

TEST(RasterClipping, ExtremeAndInvalidCoordinatesAreHarmless) {
    Scene s;
    s.SetBackground(kWhite);
    EdgeList& e = s.BeginFill();
    e.AddLine({NAN, 0}, {5, 5});
    e.AddLine({1e30f, -1e30f}, {-1e30f, 1e30f});
    e.AddQuad({0, 0}, {1e38f, 1e38f}, {4, 4});
    e.AddQuad({3, 3}, {3, 3}, {3, 3}); // degenerate
    s.EndFill(Paint::Solid(kBlack), FillRule::EvenOdd);
    Canvas c = Draw(s, 16, 16); // must simply not crash or hang
    EXPECT_EQ(c.Width(), 16);
}

TEST(RasterSeams, FillsOfOneLayerMeetingOnADiagonalLeaveNoSeam) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginLayer();
    AddPolygon(s.BeginFill(), {{0, 0}, {16, 0}, {0, 16}});
    s.EndFill(Paint::Solid(kBlue), FillRule::NonZero);
    AddPolygon(s.BeginFill(), {{16, 0}, {16, 16}, {0, 16}});
    s.EndFill(Paint::Solid(kBlue), FillRule::NonZero);
    s.EndLayer();
    Canvas c = Draw(s, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            // No white from the background may show along the shared edge.
            EXPECT_LE(PixelR(c.At(x, y)), 1u) << x << "," << y;
            EXPECT_GE(PixelB(c.At(x, y)), 254u) << x << "," << y;
        }
}

// The same with a see-through paint over another colour: inside and along
// the shared edge alike, the frame shows the paint laid over the background
// once, neither twice nor with a seam.
TEST(RasterSeams, SeeThroughFillsOfOneLayerLayTheirPaintOnceEverywhere) {
    const Pixel halfBlue = Premultiply(0, 0, 255, 128);
    const Pixel under = 0xFF20C040u;
    Scene s;
    s.SetBackground(under);
    s.BeginLayer();
    AddPolygon(s.BeginFill(), {{0, 0}, {40, 0}, {0, 16}});
    s.EndFill(Paint::Solid(halfBlue), FillRule::NonZero);
    AddPolygon(s.BeginFill(), {{40, 0}, {40, 16}, {0, 16}});
    s.EndFill(Paint::Solid(halfBlue), FillRule::NonZero);
    s.EndLayer();
    Canvas c = Draw(s, 40, 16);
    const Pixel expected = BlendOver(under, halfBlue);
    auto off = [](uint32_t a, uint32_t b) { return std::abs(static_cast<int>(a) - static_cast<int>(b)); };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x) {
            const Pixel p = c.At(x, y);
            EXPECT_LE(off(PixelR(p), PixelR(expected)), 1) << x << "," << y;
            EXPECT_LE(off(PixelG(p), PixelG(expected)), 1) << x << "," << y;
            EXPECT_LE(off(PixelB(p), PixelB(expected)), 1) << x << "," << y;
        }
}

TEST(RasterSeams, FanOfTrianglesAroundAPointCoversEverything) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginLayer();
    const PointF centre{10.3f, 9.7f};
    const int n = 7;
    for (int i = 0; i < n; ++i) {
        float a0 = 2 * 3.14159265f * i / n, a1 = 2 * 3.14159265f * (i + 1) / n;
        AddPolygon(s.BeginFill(), {centre,
                                   {centre.x + 30 * std::cos(a0), centre.y + 30 * std::sin(a0)},
                                   {centre.x + 30 * std::cos(a1), centre.y + 30 * std::sin(a1)}});
        s.EndFill(Paint::Solid(i % 2 ? kBlack : kRed), FillRule::NonZero);
    }
    s.EndLayer();
    Canvas c = Draw(s, 20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            // Red plus black sums to an opaque pixel without any white (green is the witness).
            EXPECT_LE(PixelG(c.At(x, y)), 1u) << x << "," << y;
            EXPECT_EQ(PixelA(c.At(x, y)), 255u);
        }
}

TEST(RasterPaint, TranslucentSolidBlendsOver) {
    Scene s;
    s.SetBackground(kWhite);
    AddRect(s.BeginFill(), 0, 0, 4, 4);
    s.EndFill(Paint::Solid(Premultiply(0, 0, 0, 128)), FillRule::NonZero);
    Canvas c = Draw(s, 4, 4);
    EXPECT_NEAR(static_cast<int>(PixelR(c.At(1, 1))), 127, 1);
    EXPECT_EQ(PixelA(c.At(1, 1)), 255u);
}

TEST(RasterPaint, LinearGradientPadsAndRamps) {
    Scene s;
    s.SetBackground(kWhite);
    AddRect(s.BeginFill(), 0, 0, 100, 2);
    Paint p;
    p.kind = PaintKind::Linear;
    p.inverse = {1.0 / 50, 0, 0, 1, -25.0 / 50, 0}; // t = (x - 25) / 50
    p.SetGradient({{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}}, false, {});
    s.EndFill(p, FillRule::NonZero);
    Canvas c = Draw(s, 100, 2);
    EXPECT_EQ(PixelR(c.At(5, 0)), 0u);    // padded before the start
    EXPECT_EQ(PixelR(c.At(90, 0)), 255u); // padded after the end
    EXPECT_NEAR(static_cast<int>(PixelR(c.At(50, 0))), 130, 3);
    EXPECT_LT(PixelR(c.At(40, 0)), PixelR(c.At(60, 0)));
}

TEST(RasterPaint, SpreadModesRepeatAndReflect) {
    auto valueAt = [](Spread spread, float t) {
        Paint p;
        p.kind = PaintKind::Linear;
        p.spread = spread;
        p.inverse = {0, 0, 0, 0, t, 0};
        p.SetGradient({{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}}, false, {});
        Pixel out;
        p.ShadeRow(0, 0, 1, &out);
        return static_cast<int>(PixelR(out));
    };
    EXPECT_NEAR(valueAt(Spread::Repeat, 1.25f), 64, 2);
    EXPECT_NEAR(valueAt(Spread::Reflect, 1.25f), 191, 2);
    EXPECT_EQ(valueAt(Spread::Pad, 1.25f), 255);
    EXPECT_NEAR(valueAt(Spread::Reflect, -0.25f), 64, 2);
}

TEST(RasterPaint, LinearRgbInterpolationIsBrighterInTheMiddle) {
    Paint srgb, lin;
    std::vector<GradientStopF> stops{{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}};
    srgb.SetGradient(stops, false, {});
    lin.SetGradient(stops, true, {});
    EXPECT_NEAR(static_cast<int>(PixelR(srgb.lut[128])), 128, 1);
    EXPECT_NEAR(static_cast<int>(PixelR(lin.lut[128])), 188, 2);
}

TEST(RasterPaint, RadialAndFocalGradients) {
    Paint p;
    p.kind = PaintKind::Radial;
    p.inverse = {1.0 / 10, 0, 0, 1.0 / 10, -1, -1}; // centre (10, 10), radius 10
    p.SetGradient({{0, 255, 0, 0, 255}, {255, 0, 0, 255, 255}}, false, {});
    Pixel px[20];
    p.ShadeRow(0, 10, 20, px);
    EXPECT_GT(PixelR(px[10]), 240u); // centre is the first stop
    EXPECT_GT(PixelB(px[0]), 240u);  // rim is the last
    p.kind = PaintKind::Focal;
    p.focal = 0.8f; // focus at (18, 10)
    p.ShadeRow(0, 10, 20, px);
    EXPECT_GT(PixelR(px[17]), 240u);
    EXPECT_GT(PixelR(px[14]), PixelR(px[6])); // nearer the focus, nearer the first stop
}

// Every pixel of radial and focal gradients, in each spread, against the
// ray from the focus through the pixel's top left corner meeting the unit
// circle, worked out in double: the table entry found is the one the position falls in (or
// its neighbour, for positions on an entry's border).
TEST(RasterPaint, RadialAndFocalPositionsMatchTheGeometry) {
    Paint p;
    p.SetGradient({{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}}, false, {}); // entry i has red i
    p.inverse = {0.045, 0.012, -0.01, 0.05, -1.3, -0.4};                      // rotated, about 22 px to 1
    int wrong = 0;
    std::string first;
    for (float focal : {0.0f, 0.6f, -0.9f}) {
        p.kind = focal == 0 ? PaintKind::Radial : PaintKind::Focal;
        p.focal = focal;
        for (Spread spread : {Spread::Pad, Spread::Repeat, Spread::Reflect}) {
            p.spread = spread;
            for (int y = 0; y < 60; y += 7) {
                Pixel row[61];
                p.ShadeRow(0, y, 61, row); // not a multiple of four
                for (int x = 0; x < 61; ++x) {
                    const double gx = p.inverse.a * x + p.inverse.c * y + p.inverse.tx;
                    const double gy = p.inverse.b * x + p.inverse.d * y + p.inverse.ty;
                    const double dx = gx - focal, dy = gy, len = std::hypot(dx, dy);
                    const double fu = focal * dx / len; // the focus along the ray
                    const double reach = -fu + std::sqrt(fu * fu - (focal * focal - 1)); // focus to circle
                    double t = len / reach;
                    if (spread == Spread::Pad) t = std::clamp(t, 0.0, 1.0);
                    if (spread == Spread::Repeat) t -= std::floor(t);
                    if (spread == Spread::Reflect) t = 1 - std::fabs(t - 2 * std::floor(t / 2) - 1);
                    const int want = std::clamp(static_cast<int>(t * 256), 0, 255);
                    const int got = static_cast<int>(PixelR(row[x]));
                    const int off = std::abs(got - want);
                    if (off <= 1 || (spread == Spread::Repeat && off == 255)) continue;
                    if (wrong++ == 0)
                        first = "focal " + std::to_string(focal) + " spread " +
                                std::to_string(static_cast<int>(spread)) + " at " + std::to_string(x) + "," +
                                std::to_string(y) + ": entry " + std::to_string(got) + ", want " +
                                std::to_string(want);
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << first;
}

// Long rows are shaded in runs of up to 64 pixels eight at a time, and
// their ends four at a time, where the processor allows; shallow gradients
// read eight neighbouring table entries at once, steep ones one by one.
// Every way gives a pixel the same colour, so a row's first pixels match a
// shorter row's.
TEST(RasterPaint, GradientRowsAgreeWithTheirShorterBeginnings) {
    Paint p;
    p.SetGradient({{0, 255, 0, 0, 255}, {90, 0, 255, 0, 128}, {255, 0, 0, 255, 255}}, false, {});
    const Affine steep{0.031, 0.017, -0.012, 0.04, -1.1, -0.7},
        shallow{0.0021, 0.0009, -0.0012, 0.003, -0.2, -0.1};
    for (const Affine& inverse : {steep, shallow})
        for (PaintKind kind : {PaintKind::Linear, PaintKind::Radial, PaintKind::Focal}) {
            p.inverse = inverse;
            p.kind = kind;
            p.focal = -0.7f;
            for (Spread spread : {Spread::Pad, Spread::Repeat, Spread::Reflect}) {
                p.spread = spread;
                Pixel whole[150];
                p.ShadeRow(3, 9, 150, whole);
                for (int n : {1, 3, 4, 7, 8, 9, 15, 16, 17, 33, 64, 71, 149}) {
                    Pixel part[149];
                    p.ShadeRow(3, 9, n, part);
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(part[i], whole[i]) << "kind " << static_cast<int>(kind) << " spread "
                                                     << static_cast<int>(spread) << " n " << n << " at " << i;
                }
            }
        }
}

// With positions that floats hold exactly (steps of 1/256), a pixel lies
// at the same place in gradient space whichever row it is shaded in: a
// long row, worked out in runs and left as the last colour where it is
// clear of the circle, matches its pixels shaded one at a time.
TEST(RasterPaint, PaddedRadialRowsMatchTheirPixelsOneByOne) {
    Paint p;
    p.SetGradient({{0, 255, 0, 0, 255}, {255, 0, 0, 255, 255}}, false, {});
    p.inverse = {1 / 256.0, 0, 0, 1 / 256.0, -1.25, -1.125};
    for (PaintKind kind : {PaintKind::Radial, PaintKind::Focal}) {
        p.kind = kind;
        p.focal = 0.5f;
        for (int y : {0, 33, 100, 288, 500, 575}) {
            Pixel row[640];
            p.ShadeRow(0, y, 640, row);
            for (int x = 0; x < 640; ++x) {
                Pixel one;
                p.ShadeRow(x, y, 1, &one);
                ASSERT_EQ(row[x], one) << "kind " << static_cast<int>(kind) << " at " << x << "," << y;
            }
        }
    }
}

// Linear gradients in every spread, running either way along the row and
// steeply enough to wrap within it, against their position worked out in
// double: the entry found is the one the position falls in (or its
// neighbour, on an entry's border), at the ramp's ends as well.
TEST(RasterPaint, LinearPositionsMatchTheGeometry) {
    Paint p;
    p.kind = PaintKind::Linear;
    p.SetGradient({{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}}, false, {}); // entry i has red i
    int wrong = 0;
    std::string first;
    for (double a : {0.0173, -0.0091, 0.3, -0.0004})
        for (Spread spread : {Spread::Pad, Spread::Repeat, Spread::Reflect}) {
            p.spread = spread;
            p.inverse = {a, 0, 0.002, 1, 0.4 - a * 40, 0};
            for (int y = 0; y < 3; ++y) {
                Pixel row[93];
                p.ShadeRow(-5, y, 93, row);
                for (int i = 0; i < 93; ++i) {
                    double t = p.inverse.a * (i - 5) + p.inverse.c * y + p.inverse.tx;
                    if (spread == Spread::Pad) t = std::clamp(t, 0.0, 1.0);
                    if (spread == Spread::Repeat) t -= std::floor(t);
                    if (spread == Spread::Reflect) t = 1 - std::fabs(t - 2 * std::floor(t / 2) - 1);
                    const int want = std::clamp(static_cast<int>(t * 256), 0, 255);
                    const int got = static_cast<int>(PixelR(row[i]));
                    const int off = std::abs(got - want);
                    if (off <= 1 || (spread == Spread::Repeat && off == 255)) continue;
                    if (wrong++ == 0)
                        first = "step " + std::to_string(a) + " spread " +
                                std::to_string(static_cast<int>(spread)) + " at " + std::to_string(i) +
                                ": entry " + std::to_string(got) + ", want " + std::to_string(want);
                }
            }
        }
    EXPECT_EQ(wrong, 0) << first;
}

// Laying a paint as it is shaded gives what shading a row and then laying
// it gives: over the frame and into a layer, with and without coverage,
// for every kind of paint and spread, over rows of many lengths.
TEST(RasterPaint, LayingWhileShadingMatchesShadingThenLaying) {
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    Image img;
    img.width = 5;
    img.height = 3;
    img.opaque = false;
    for (int i = 0; i < 15; ++i)
        img.pixels.push_back(Premultiply(next() % 256, next() % 256, next() % 256, next() % 256));
    std::vector<Paint> paints;
    for (PaintKind kind : {PaintKind::Linear, PaintKind::Radial, PaintKind::Focal})
        for (Spread spread : {Spread::Pad, Spread::Repeat, Spread::Reflect}) {
            Paint p;
            p.kind = kind;
            p.spread = spread;
            p.focal = 0.6f;
            p.inverse = {0.037, 0.011, -0.02, 0.03, -0.9, -0.5};
            p.SetGradient({{0, 255, 0, 0, 255}, {120, 0, 255, 0, 90}, {255, 0, 0, 255, 200}}, false, {});
            paints.push_back(p);
        }
    paints.push_back(Paint::Solid(Premultiply(200, 100, 50, 140)));
    paints.back().inverse = {};
    Paint image;
    image.SetImage(&img, true, true, {});
    image.inverse = {0.3, 0.1, 0, 0.3, 0, 0};
    paints.push_back(image);
    for (size_t k = 0; k < paints.size(); ++k) {
        const Paint& p = paints[k];
        for (int n : {1, 3, 4, 7, 8, 9, 13, 16, 31, 64, 70}) {
            std::vector<Pixel> dst(n), shaded(n), want, got, scratch(n);
            std::vector<uint8_t> cov(n);
            for (int i = 0; i < n; ++i) {
                dst[i] = Premultiply(next() % 256, next() % 256, next() % 256, next() % 256);
                cov[i] = static_cast<uint8_t>(next() % 3 == 0 ? 255 : next() % 256);
            }
            p.ShadeRow(-3, 7, n, shaded.data());
            for (LayMode mode : {LayMode::Over, LayMode::Add})
                for (bool withCov : {false, true}) {
                    want = dst;
                    for (int i = 0; i < n; ++i) {
                        const Pixel s = withCov ? MulDiv255(shaded[i], cov[i]) : shaded[i];
                        want[i] = mode == LayMode::Over ? BlendOver(want[i], s) : AddSaturate(want[i], s);
                    }
                    got = dst;
                    p.LayRow(-3, 7, n, got.data(), withCov ? cov.data() : nullptr, mode, scratch.data());
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(got[i], want[i])
                            << "paint " << k << " n " << n << " mode " << static_cast<int>(mode)
                            << " coverage " << withCov << " at " << i;
                }
        }
    }
}

// Stops that share a ratio: the ramp runs into the first of them, the
// entries after the ratio take the others one each, and the ramp out starts
// from the last; at the table's end the extra entries fall away.
TEST(RasterPaint, StopsSharingARatioMakeAHardEdge) {
    Paint p;
    p.SetGradient({{0, 0, 0, 0, 255},
                   {100, 0, 0, 200, 255},
                   {100, 255, 0, 0, 255},
                   {100, 0, 255, 0, 255},
                   {200, 0, 0, 0, 255},
                   {255, 255, 255, 255, 255},
                   {255, 0, 0, 255, 255},
                   {255, 255, 0, 0, 255}},
                  false, {});
    EXPECT_EQ(p.lut[50], Premultiply(0, 0, 100, 255));  // halfway up the first ramp
    EXPECT_EQ(p.lut[100], Premultiply(0, 0, 200, 255)); // the ramp's end: the first stop there
    EXPECT_EQ(p.lut[101], Premultiply(0, 0, 200, 255));
    EXPECT_EQ(p.lut[102], Premultiply(255, 0, 0, 255));
    EXPECT_EQ(p.lut[103], Premultiply(0, 247, 0, 255)); // down the ramp from the last at 100
    EXPECT_EQ(p.lut[150], Premultiply(0, 128, 0, 255));
    EXPECT_EQ(p.lut[255], Premultiply(255, 255, 255, 255)); // the end: the first stop at 255
}

// A ratio below the one before it is taken as that one: the ramp runs to
// the stop before and the late stop follows it as at a shared ratio.
TEST(RasterPaint, ARatioBelowTheOneBeforeDoesNotTurnTheRampBack) {
    Paint p;
    p.SetGradient({{0, 0, 0, 255, 255}, {16, 255, 255, 255, 255}, {5, 0, 255, 0, 255}}, false, {});
    EXPECT_EQ(p.lut[8], Premultiply(128, 128, 255, 255)); // half way up
    EXPECT_EQ(p.lut[17], Premultiply(255, 255, 255, 255));
    EXPECT_EQ(p.lut[18], Premultiply(0, 255, 0, 255));
    EXPECT_EQ(p.lut[255], Premultiply(0, 255, 0, 255));
}

// In linear light a stop's channels are bytes: dark ones come back darker.
TEST(RasterPaint, LinearRgbStopsKeepByteLinearChannels) {
    Paint p;
    p.SetGradient({{0, 255, 20, 25, 255}, {255, 14, 20, 255, 255}}, true, {});
    EXPECT_EQ(p.lut[0], Premultiply(255, 13, 22, 255));
    EXPECT_EQ(p.lut[255], Premultiply(13, 13, 255, 255));
}

TEST(RasterPaint, AFocusNearTheRimIsHeldShortOfIt) {
    Paint a, b;
    for (Paint* p : {&a, &b}) {
        p->kind = PaintKind::Focal;
        p->spread = Spread::Reflect;
        p->inverse = {1.0 / 40, 0, 0, 1.0 / 40, -1, -0.2};
        p->SetGradient({{0, 0, 0, 0, 255}, {255, 255, 255, 255, 255}}, false, {});
    }
    a.focal = 0.98f;
    b.focal = 0.999f;
    Pixel ra[80], rb[80];
    a.ShadeRow(0, 0, 80, ra);
    b.ShadeRow(0, 0, 80, rb);
    EXPECT_TRUE(std::equal(ra, ra + 80, rb));
    b.focal = 0.9f;
    b.ShadeRow(0, 0, 80, rb);
    EXPECT_FALSE(std::equal(ra, ra + 80, rb));
}

TEST(RasterPaint, ColorTransformOnGradientStops) {
    Paint p;
    ColorMatrix cx;
    cx.mult[0] = 0;
    cx.add[1] = 255;
    cx.mult[3] = 0.5f;
    p.SetGradient({{0, 200, 0, 0, 255}}, false, cx);
    EXPECT_EQ(PixelA(p.lut[0]), 128u);
    EXPECT_EQ(PixelR(p.lut[0]), 0u);
    EXPECT_EQ(PixelG(p.lut[0]), 128u);
    EXPECT_FALSE(p.opaque);
}

TEST(RasterPaint, AStopWithoutAlphaKeepsItsColourForTheRamp) {
    // Opaque red to transparent green: half way, half of each at half alpha.
    Paint p;
    p.SetGradient({{0, 255, 0, 0, 255}, {255, 0, 255, 0, 0}}, false, {});
    const Pixel mid = p.lut[128];
    EXPECT_NEAR(static_cast<int>(PixelA(mid)), 127, 1);
    EXPECT_NEAR(static_cast<int>(PixelR(mid)), 63, 1);
    EXPECT_NEAR(static_cast<int>(PixelG(mid)), 64, 1);
    EXPECT_EQ(p.lut[255], 0u);
}

TEST(RasterPaint, ImageNearestRepeatAndClamp) {
    Image img;
    img.width = 2;
    img.height = 1;
    img.pixels = {kRed, kBlue};
    Paint p;
    p.inverse = {0.5, 0, 0, 0.5, 0, 0}; // each image pixel covers 2x2 device pixels
    p.SetImage(&img, true, false, {});
    Pixel px[8];
    p.ShadeRow(0, 0, 8, px);
    EXPECT_EQ(px[0], kRed);
    EXPECT_EQ(px[2], kBlue);
    EXPECT_EQ(px[4], kRed); // repeats
    p.SetImage(&img, false, false, {});
    p.ShadeRow(0, 0, 8, px);
    EXPECT_EQ(px[7], kBlue); // edge pixel extended
    p.SetImage(&img, false, true, {});
    p.ShadeRow(0, 0, 8, px);
    EXPECT_EQ(px[0], kRed);
    EXPECT_GT(PixelR(px[2]), 40u); // bilinear: between red and blue at the boundary
    EXPECT_GT(PixelB(px[2]), 40u);
}

TEST(RasterStroke, WidthCapsAndJoins) {
    Scene s;
    s.SetBackground(kWhite);
    Stroker st;
    StrokeStyle style;
    style.width = 4;
    style.startCap = style.endCap = Cap::None;
    std::vector<PointF> pts{{10, 10}, {30, 10}};
    st.Stroke(pts, false, style, s.BeginFill());
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 40, 40);
    EXPECT_EQ(c.At(20, 8), kBlack);
    EXPECT_EQ(c.At(20, 11), kBlack);
    EXPECT_EQ(c.At(20, 12), kWhite);
    EXPECT_EQ(c.At(20, 7), kWhite);
    EXPECT_EQ(c.At(9, 10), kWhite); // no cap
    EXPECT_EQ(c.At(30, 10), kWhite);

    Scene s2;
    s2.SetBackground(kWhite);
    style.startCap = style.endCap = Cap::Square;
    st.Stroke(pts, false, style, s2.BeginFill());
    s2.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c2 = Draw(s2, 40, 40);
    EXPECT_EQ(c2.At(8, 10), kBlack);
    EXPECT_EQ(c2.At(31, 10), kBlack);
    EXPECT_EQ(c2.At(32, 10), kWhite);
}

TEST(RasterStroke, MiterJoinReachesTheCornerBevelDoesNot) {
    std::vector<PointF> pts{{10, 30}, {10, 10}, {30, 10}};
    StrokeStyle style;
    style.width = 6;
    style.startCap = style.endCap = Cap::None;
    for (Join j : {Join::Miter, Join::Bevel, Join::Round}) {
        style.join = j;
        Scene s;
        s.SetBackground(kWhite);
        Stroker st;
        st.Stroke(pts, false, style, s.BeginFill());
        s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
        Canvas c = Draw(s, 40, 40);
        int corner = Darkness(c, 7, 7); // the outer corner pixel
        if (j == Join::Miter)
            EXPECT_EQ(corner, 255);
        else
            EXPECT_LT(corner, 60);
        EXPECT_EQ(c.At(10, 10), kBlack); // the vertex itself
        EXPECT_EQ(c.At(12, 12), kBlack); // inside corner covered by both segments
    }
}

// A one-pixel line covers one pixel per column when flat and one per row
// when steep, whatever its slope; a square-to-direction pixel-wide line
// would darken 2.24 pixels per row at this slope of one in two.
TEST(RasterStroke, OnePixelLineIsOnePixelAcrossItsMinorAxis) {
    for (bool steep : {false, true}) {
        Scene s;
        s.SetBackground(kWhite);
        Stroker st;
        StrokeStyle style;
        style.width = 1;
        style.minorAxis = true;
        style.startCap = style.endCap = Cap::None;
        std::vector<PointF> pts = steep ? std::vector<PointF>{{10.3f, 2}, {30.3f, 42}}
                                        : std::vector<PointF>{{2, 10.3f}, {42, 30.3f}};
        st.Stroke(pts, false, style, s.BeginFill());
        s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
        Canvas c = Draw(s, 50, 50);
        for (int k = 12; k < 30; ++k) { // rows of the flat line, columns of the steep one
            int sum = 0;
            for (int j = 0; j < 50; ++j)
                sum += steep ? Darkness(c, j, k) : Darkness(c, k, j);
            EXPECT_NEAR(sum, 255, 4) << k << (steep ? " steep" : " flat");
        }
        style.minorAxis = false; // the same line square to its direction is wider
        Scene w;
        w.SetBackground(kWhite);
        st.Stroke(pts, false, style, w.BeginFill());
        w.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
        Canvas cw = Draw(w, 50, 50);
        int sum = 0;
        for (int j = 0; j < 50; ++j)
            sum += steep ? Darkness(cw, j, 20) : Darkness(cw, 20, j);
        EXPECT_NEAR(sum, 255 * std::sqrt(1.25), 6);
    }
}

// Round caps and curves are flattened finely enough that a thick round dot
// keeps a circle's area to within a small fraction of a pixel per edge pixel.
TEST(RasterStroke, RoundDotHasTheAreaOfItsCircle) {
    Scene s;
    s.SetBackground(kWhite);
    Stroker st;
    StrokeStyle style;
    style.width = 40;
    std::vector<PointF> dot{{30.2f, 30.7f}, {30.2f, 30.7f}};
    st.Stroke(dot, false, style, s.BeginFill());
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 60, 60);
    double area = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            area += Darkness(c, x, y) / 255.0;
    const double exact = std::numbers::pi * 20 * 20;
    EXPECT_NEAR(area, exact, 0.02 * 2 * std::numbers::pi * 20); // within 0.02 px along the rim
}

namespace {

// Ink of one stroke drawn black on white, in pixels.
double StrokeInk(const std::vector<PointF>& pts, bool closed, const StrokeStyle& style, int size,
                 Canvas* out = nullptr) {
    Scene s;
    s.SetBackground(kWhite);
    Stroker st;
    st.Stroke(pts, closed, style, s.BeginFill());
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, size, size);
    double ink = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            ink += Darkness(c, x, y) / 255.0;
    if (out) *out = c;
    return ink;
}

} // namespace

// A wide stroke round a closed polygon with round joins covers exactly the
// points within half its width of the polygon: every pixel's darkness is
// its share of such points (8 x 8 samples), the inner corners included. Its
// outline crosses each row no more often than a ring's does.
TEST(RasterStroke, WideClosedStrokeCoversThePointsWithinHalfItsWidth) {
    constexpr int kSides = 24, kSize = 110;
    constexpr double kRadius = 40, kHalf = 9, kCx = 55.3, kCy = 54.6;
    std::vector<PointF> pts;
    for (int i = 0; i <= kSides; ++i) {
        const double a = 2 * std::numbers::pi * (i % kSides) / kSides;
        pts.push_back({static_cast<float>(kCx + kRadius * std::cos(a)), static_cast<float>(kCy + kRadius * std::sin(a))});
    }
    StrokeStyle style;
    style.width = 2 * kHalf;
    EdgeList outline;
    Stroker().Stroke(pts, true, style, outline);
    for (float y : {30.5f, 54.5f, 80.5f}) {
        int crossings = 0;
        for (const Line& l : outline.Lines())
            crossings += l.Top() <= y && y < l.Bottom();
        EXPECT_LE(crossings, 4) << "row " << y;
    }
    Canvas c;
    StrokeInk(pts, true, style, kSize, &c);

    auto within = [&](double x, double y) {
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const double ax = pts[i].x, ay = pts[i].y, dx = pts[i + 1].x - ax, dy = pts[i + 1].y - ay;
            const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            if (std::hypot(x - ax - t * dx, y - ay - t * dy) <= kHalf) return true;
        }
        return false;
    };
    int worst = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double r = std::hypot(x + 0.5 - kCx, y + 0.5 - kCy);
            if (r < kRadius - kHalf - 3 || r > kRadius + kHalf + 2) continue; // clear of both rims
            int in = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i)
                    in += within(x + (i + 0.5) / 8, y + (j + 0.5) / 8);
            worst = std::max(worst, std::abs(Darkness(c, x, y) - in * 255 / 64));
        }
    EXPECT_LE(worst, 24);
}

// A ring stroked along a finely flattened circle has the ring's area: the
// pieces of the outline at each vertex add no ink twice on its edges.
TEST(RasterStroke, FlattenedCircleStrokeHasTheRingsArea) {
    for (bool closed : {true, false}) {
        std::vector<PointF> pts;
        const int n = 96;
        for (int i = 0; i <= n; ++i) {
            const double a = 2 * std::numbers::pi * i / n;
            pts.push_back(
                {static_cast<float>(40.3 + 30 * std::cos(a)), static_cast<float>(40.6 + 30 * std::sin(a))});
        }
        if (closed) pts.pop_back();
        StrokeStyle style;
        style.width = 7;
        // The polygon's own ring: its perimeter times the width.
        const double perimeter = n * 2 * 30 * std::sin(std::numbers::pi / n);
        EXPECT_NEAR(StrokeInk(pts, closed, style, 81), perimeter * 7, 0.01 * perimeter * 7) << closed;
    }
}

// Where a line crosses itself, and where a closed figure eight crosses, the
// crossing is filled like the rest of the stroke.
TEST(RasterStroke, SelfCrossingsStayFilled) {
    StrokeStyle style;
    style.width = 6;
    style.startCap = style.endCap = Cap::None;
    Canvas c;
    StrokeInk({{5, 20}, {35, 20}, {35, 35}, {20, 35}, {20, 5}}, false, style, 40, &c);
    EXPECT_EQ(c.At(20, 20), kBlack);
    EXPECT_EQ(c.At(22, 22), kBlack);
    StrokeInk({{5, 5}, {35, 35}, {35, 5}, {5, 35}}, true, style, 40, &c);
    EXPECT_EQ(c.At(20, 20), kBlack);
    EXPECT_EQ(c.At(20, 12), kWhite); // between the lobes' strokes
}

// A line that turns right back gets a round end there with round joins,
// and a flat one otherwise.
TEST(RasterStroke, TurningRightBackIsRoundOnlyWithRoundJoins) {
    for (Join j : {Join::Round, Join::Bevel, Join::Miter}) {
        StrokeStyle style;
        style.width = 8;
        style.join = j;
        style.startCap = style.endCap = Cap::None;
        Canvas c;
        StrokeInk({{5, 20}, {30, 20}, {10, 20}}, false, style, 40, &c);
        EXPECT_EQ(c.At(29, 20), kBlack);
        if (j == Join::Round)
            EXPECT_EQ(c.At(32, 20), kBlack) << "round";
        else
            EXPECT_EQ(c.At(31, 20), kWhite) << static_cast<int>(j);
        EXPECT_EQ(c.At(4, 20), kWhite); // no cap at the start
    }
}

TEST(RasterStroke, ZeroLengthAndZeroWidth) {
    Scene s;
    s.SetBackground(kWhite);
    Stroker st;
    StrokeStyle style;
    style.width = 6;
    std::vector<PointF> dot{{10, 10}, {10, 10}};
    st.Stroke(dot, false, style, s.BeginFill()); // round dot
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    style.width = 0;
    std::vector<PointF> line{{0, 0}, {20, 20}};
    st.Stroke(line, false, style, s.BeginFill()); // nothing
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    Canvas c = Draw(s, 20, 20);
    EXPECT_EQ(c.At(10, 10), kBlack);
    EXPECT_EQ(c.At(10, 6), kWhite);
    EXPECT_EQ(c.At(3, 3), kWhite);
}

TEST(RasterMask, ContentShowsOnlyInsideTheMask) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginMask();
    AddRect(s.BeginFill(), 4, 4, 8.5f, 8);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    s.EndMask();
    AddRect(s.BeginFill(), 0, 0, 16, 16);
    s.EndFill(Paint::Solid(kRed), FillRule::NonZero);
    s.PopMask();
    AddRect(s.BeginFill(), 0, 0, 2, 2); // after the mask: unmasked
    s.EndFill(Paint::Solid(kBlue), FillRule::NonZero);
    Canvas c = Draw(s, 16, 16);
    EXPECT_EQ(c.At(5, 5), kRed);
    EXPECT_EQ(c.At(3, 5), kWhite);
    EXPECT_EQ(c.At(9, 5), kWhite);
    EXPECT_NEAR(static_cast<int>(PixelG(c.At(8, 5))), 128, 2); // half-covered mask pixel
    EXPECT_EQ(c.At(1, 1), kBlue);
}

TEST(RasterMask, NestedMasksIntersect) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginMask();
    AddRect(s.BeginFill(), 0, 0, 8, 16);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    s.EndMask();
    s.BeginMask();
    AddRect(s.BeginFill(), 4, 0, 16, 16);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    s.EndMask();
    AddRect(s.BeginFill(), 0, 0, 16, 16);
    s.EndFill(Paint::Solid(kRed), FillRule::NonZero);
    s.PopMask();
    s.PopMask();
    Canvas c = Draw(s, 16, 16);
    EXPECT_EQ(c.At(2, 5), kWhite);
    EXPECT_EQ(c.At(6, 5), kRed);
    EXPECT_EQ(c.At(10, 5), kWhite);
}

// A mask's buffer is used again by the next mask at its depth, and by the
// next frame at another width: nothing of what it held before shows.
TEST(RasterMask, AMaskLeavesNothingForTheNextOne) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginMask();
    AddRect(s.BeginFill(), 0, 0, 16, 16);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    s.EndMask();
    AddRect(s.BeginFill(), 0, 0, 16, 16);
    s.EndFill(Paint::Solid(kRed), FillRule::NonZero);
    s.PopMask();
    s.BeginMask();
    AddRect(s.BeginFill(), 4, 4, 8, 8);
    s.EndFill(Paint::Solid(kBlack), FillRule::NonZero);
    s.EndMask();
    AddRect(s.BeginFill(), 0, 0, 24, 16);
    s.EndFill(Paint::Solid(kBlue), FillRule::NonZero);
    s.PopMask();
    SceneRenderer r;
    for (int w : {16, 24, 16}) {
        Canvas c(w, 16);
        r.Render(s, c, {0, 0, w, 16});
        EXPECT_EQ(c.At(3, 5), kRed) << w; // just outside the second mask, within its bounds
        EXPECT_EQ(c.At(8, 5), kRed) << w;
        EXPECT_EQ(c.At(5, 5), kBlue) << w;
        EXPECT_EQ(c.At(10, 10), kRed) << w;
        if (w > 16) EXPECT_EQ(c.At(20, 5), kWhite);
    }
}

// The short cuts for big fills: a gradient that only changes across the
// frame (its rows copied), one that only changes down it (one colour per
// row), and the background left out under opaque fills. Each must give the
// very pixels of the plain path: every pixel is checked against the paint
// itself, and the canvas starts dirty so that a skipped background shows.
TEST(RasterBigFills, GradientRowsAndBackgroundMatchThePaintExactly) {
    for (int dir = 0; dir < 2; ++dir) {
        Scene s;
        s.SetBackground(kBlue);
        AddRect(s.BeginFill(), 10.5f, 3.25f, 90.5f, 70.75f); // edge pixels partly covered
        Paint p;
        p.kind = PaintKind::Linear;
        p.spread = Spread::Repeat;
        p.inverse = dir == 0 ? Affine{1.0 / 17, 0, 0, 1, 0.1, 0} : Affine{0, 0, 1.0 / 13, 1, 0.2, 0};
        p.SetGradient({{0, 255, 0, 0, 255}, {255, 0, 255, 0, 255}}, false, {});
        s.EndFill(p, FillRule::NonZero);
        AddRect(s.BeginFill(), 40, 20, 60, 30); // a translucent square on top
        s.EndFill(Paint::Solid(0x80000000u), FillRule::NonZero);
        for (int threads : {1, 2}) {
            Canvas c(100, 80, 0x12345678u);
            SceneRenderer r;
            r.SetThreads(threads);
            r.Render(s, c, {0, 0, 100, 80});
            Pixel row[100];
            for (int y = 4; y < 70; ++y) {
                p.ShadeRow(0, y, 100, row);
                for (int x = 11; x < 90; ++x) {
                    Pixel want =
                        x >= 40 && x < 60 && y >= 20 && y < 30 ? BlendOver(row[x], 0x80000000u) : row[x];
                    ASSERT_EQ(c.At(x, y), want) << x << "," << y << " dir " << dir;
                }
            }
            for (int y = 0; y < 80; ++y) {
                ASSERT_EQ(c.At(0, y), kBlue) << y;
                ASSERT_EQ(c.At(99, y), kBlue) << y;
            }
            for (int x = 0; x < 100; ++x) {
                ASSERT_EQ(c.At(x, 1), kBlue) << x;
                ASSERT_EQ(c.At(x, 78), kBlue) << x;
            }
            // Partly covered edge pixels are laid over the background.
            EXPECT_EQ(c.At(10, 30), BlendOver(kBlue, MulDiv255(row[10], 128)));
            EXPECT_NE(PixelB(c.At(50, 3)), 0u);
        }
    }
}

TEST(RasterBands, OutputIsIdenticalForAnyThreadCountAndBandSplit) {
    Scene s;
    s.SetBackground(kWhite);
    s.BeginLayer();
    for (int i = 0; i < 40; ++i) {
        EdgeList& e = s.BeginFill();
        float cx = 13.7f * i, cy = 7.3f * i;
        e.AddQuad({cx, cy}, {cx + 90, cy - 40}, {cx + 60, cy + 120});
        e.AddLine({cx + 60, cy + 120}, {cx, cy});
        Paint p;
        p.kind = PaintKind::Radial;
        p.inverse = {1.0 / 60, 0, 0, 1.0 / 60, -cx / 60, -cy / 60};
        p.SetGradient({{0, 255, 0, 0, 200}, {255, 0, 0, uint8_t(i * 6), 255}}, i % 2, {});
        s.EndFill(p, i % 3 ? FillRule::NonZero : FillRule::EvenOdd);
    }
    s.EndLayer();
    Canvas one = Draw(s, 300, 333, 1);
    Canvas two = Draw(s, 300, 333, 2);
    Canvas four = Draw(s, 300, 333, 4);
    EXPECT_EQ(one.Pixels(), two.Pixels());
    EXPECT_EQ(one.Pixels(), four.Pixels());
    // Drawing only a dirty rectangle reproduces the same pixels there and leaves whole bands outside it
    // alone.
    Canvas part(300, 333, 0x12345678u);
    SceneRenderer r;
    r.Render(s, part, {50, 40, 170, 250});
    for (int y = 40; y < 250; ++y)
        for (int x = 50; x < 170; ++x)
            ASSERT_EQ(part.At(x, y), one.At(x, y)) << x << "," << y;
    EXPECT_EQ(part.At(10, 10), 0x12345678u);
    // One renderer's threads over many short jobs in turn, each on a canvas
    // gone right after: a worker late for one job draws nothing of it.
    SceneRenderer many;
    many.SetThreads(4);
    for (int i = 0; i < 60; ++i) {
        auto c = std::make_unique<Canvas>(300, 333, 0x12345678u);
        const int y0 = (i * 37) % 300, y1 = y0 + 1 + (i * 11) % 33;
        many.Render(s, *c, {0, y0, 300, y1});
        for (int y = y0; y < y1; ++y)
            ASSERT_TRUE(std::equal(c->Row(y), c->Row(y) + 300, one.Row(y))) << "job " << i << " row " << y;
    }
}

// The row loops, which run eight, four or one pixel at a time, against the
// pixel arithmetic one pixel at a time, over rows of every length up to 40.
TEST(RasterBlit, RowLoopsMatchThePixelArithmetic) {
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    auto pixel = [&] { // premultiplied, often opaque or empty
        const uint32_t a = next() % 3 == 0 ? 255 : (next() % 4 == 0 ? 0 : next() % 256);
        return Premultiply(next() % 256, next() % 256, next() % 256, a);
    };
    for (int n = 0; n <= 40; ++n) {
        std::vector<Pixel> src(n), dst(n), solidOut, out;
        std::vector<uint8_t> cov(n);
        for (int i = 0; i < n; ++i) {
            src[i] = pixel();
            dst[i] = pixel();
            cov[i] = static_cast<uint8_t>(next() % 4 == 0 ? 255 : next() % 256);
        }
        const Pixel color = pixel();
        out = dst;
        OverRow(out.data(), src.data(), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[i], BlendOver(dst[i], src[i])) << "over, n " << n << " at " << i;
        out = dst;
        OverRowCoverage(out.data(), src.data(), cov.data(), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[i], BlendOver(dst[i], MulDiv255(src[i], cov[i])))
                << "coverage, n " << n << " at " << i;
        out = dst;
        OverSolidCoverage(out.data(), color, cov.data(), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[i], BlendOver(dst[i], MulDiv255(color, cov[i]))) << "solid, n " << n << " at " << i;
        out = dst;
        OverSolidCoverageShort(out.data(), color, cov.data(), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[i], BlendOver(dst[i], MulDiv255(color, cov[i]))) << "short, n " << n << " at " << i;
        out = dst;
        AddRowCoverage(out.data(), src.data(), 1, cov.data(), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[i], AddSaturate(dst[i], MulDiv255(src[i], cov[i])))
                << "add, n " << n << " at " << i;
        std::vector<Pixel> layer = src;
        for (int i = 0; i < n; i += 9) // a few stretches of eight empty or opaque layer pixels
            for (int k = i; k < std::min(n, i + 8); ++k)
                layer[k] = (i / 9) % 2 ? 0 : (layer[k] | 0xFF000000u);
        const std::vector<Pixel> laid = layer;
        out = dst;
        OverRowAndClear(out.data(), layer.data(), n);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(out[i], BlendOver(dst[i], laid[i])) << "layer, n " << n << " at " << i;
            ASSERT_EQ(layer[i], 0u);
        }
    }
}

// The mask loops, sixteen bytes or one at a time, against the byte
// arithmetic for every pair of values, in rows of every length up to 40.
TEST(RasterBlit, MaskLoopsMatchTheByteArithmetic) {
    auto mul = [](int a, int b) { return (a * b + 127) / 255; };
    std::vector<uint8_t> have(256), cov(256), out;
    for (int n : {256, 40, 17, 16, 15, 1}) {
        for (int v = 0; v < 256; ++v) {
            for (int i = 0; i < n; ++i) {
                have[i] = static_cast<uint8_t>(v);
                cov[i] = static_cast<uint8_t>((i * 7 + v / 3) % 256);
            }
            out = have;
            UniteCoverage(out.data(), cov.data(), n);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(out[i], v + mul(255 - v, cov[i]))
                    << "unite " << v << "," << int(cov[i]) << " n " << n;
            out = have;
            UniteCoverage(out.data(), nullptr, n, static_cast<uint8_t>(255 - v / 2));
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(out[i], v + mul(255 - v, 255 - v / 2)) << "unite one value, n " << n;
            out = have;
            ScaleCoverage(out.data(), cov.data(), n);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(out[i], mul(v, cov[i])) << "scale " << v << "," << int(cov[i]) << " n " << n;
        }
    }
}

// Records what the coverage walk asks of a blitter.
struct SpanLog {
    std::string calls;
    void FillSpan(int s, int e) { calls += "F" + std::to_string(s) + "-" + std::to_string(e) + " "; }
    void BlendSpan(int s, int e, const uint8_t* cov) {
        calls += "B" + std::to_string(s) + "-" + std::to_string(e) + ":";
        for (int i = s; i < e; ++i)
            calls += std::to_string(cov[i - s]) + (i + 1 < e ? "," : "");
        calls += " ";
    }
};

TEST(RasterBlit, RowWalkSplitsFullPartialAndEmptyStretches) {
    // Varying values 0 0 255 255 9 0 128 255, then a constant 40 and a constant 255 and an empty stretch.
    const uint8_t cov[] = {0, 0, 255, 255, 9, 0, 128, 255};
    const CoverageSpan spans[] = {{0, 8, CoverageSpan::kVaries}, {8, 10, 40}, {10, 12, 255}, {12, 14, 0}};
    uint8_t constCov[14];
    SpanLog log;
    BlitRow(CoverageRow{0, 0, 14, cov, spans, 4}, log, constCov);
    EXPECT_EQ(log.calls, "F2-4 B4-5:9 B6-7:128 F7-8 B8-10:40,40 F10-12 ");
}

// A stretch of varying coverage in one colour, short or long, opaque or
// see-through: the same pixels whether blended a pixel at a time or split
// into full, partial and empty stretches first.
TEST(RasterBlit, VaryingStretchesGiveTheSamePixelsShortOrSplit) {
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (Pixel color : {0xFF336699u, 0x80402010u}) {
        const Paint paint = Paint::Solid(color);
        for (int n = 1; n <= 20; ++n) {
            std::vector<uint8_t> cov(n + 3);
            std::vector<Pixel> row(n + 3), split;
            for (int i = 0; i < n + 3; ++i) {
                const uint32_t r = next() % 6;
                cov[i] = static_cast<uint8_t>(r == 0 ? 0 : r == 1 ? 255 : next() % 256);
                row[i] = Premultiply(next() % 256, next() % 256, next() % 256, next() % 256);
            }
            split = row;
            PaintBlitter direct(paint, nullptr), viaRuns(paint, nullptr);
            direct.BeginRow(row.data(), 0, 0);
            direct.VaryingSpan(2, n + 2, cov.data());
            viaRuns.BeginRow(split.data(), 0, 0);
            BlitVarying(cov.data(), 2, n + 2, viaRuns);
            EXPECT_EQ(row, split) << "colour " << std::hex << color << std::dec << ", n " << n;
        }
    }
}
