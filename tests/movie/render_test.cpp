// The painter and the Renderer: display lists drawn into frames, checked on
// pixels. Movies are built in memory from the engine's own structures.
#include "movie/Limits.h"
#include "movie/Player.h"
#include "movie/render/FilterRecords.h"
#include "movie/render/Renderer.h"
#include "movie/text/TextField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace movie;
using movie::render::Renderer;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

// A closed polygon path in twips on fill 1 (right side).
Path Polygon(std::initializer_list<Point> pts, uint32_t fill0, uint32_t fill1, uint32_t line = 0) {
    Path p;
    p.fill0 = fill0;
    p.fill1 = fill1;
    p.line = line;
    std::vector<Point> v(pts);
    p.start = v[0];
    for (size_t i = 1; i < v.size(); ++i)
        p.segments.push_back({false, {}, v[i]});
    p.segments.push_back({false, {}, v[0]});
    return p;
}

Shape RectShape(int x0, int y0, int x1, int y1, RGBA color) {
    Shape s;
    StyleGroup g;
    FillStyle f;
    f.color = color;
    g.fills.push_back(f);
    g.paths.push_back(Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 0, 1));
    s.groups.push_back(g);
    s.bounds = s.edgeBounds = {x0, x1, y0, y1};
    return s;
}

class MovieBuilder {
  public:
    MovieBuilder(int widthPx, int heightPx, RGBA bg = {255, 255, 255, 255}) {
        movie_ = std::make_shared<Movie>();
        movie_->header.stage = {0, widthPx * 20, 0, heightPx * 20};
        movie_->header.frameRate = 25;
        movie_->background = bg;
        movie_->timeline.frames.resize(1);
    }
    template <class T> void Define(uint16_t id, T data) {
        auto c = std::make_shared<Character>();
        c->id = id;
        c->data = std::move(data);
        movie_->dictionary.Add(c);
    }
    PlaceObject& Place(uint16_t depth, uint16_t id, Matrix m = {}, size_t frame = 0) {
        if (movie_->timeline.frames.size() <= frame) movie_->timeline.frames.resize(frame + 1);
        PlaceObject p;
        p.depth = depth;
        p.characterId = id;
        p.matrix = m;
        movie_->timeline.frames[frame].tags.push_back(p);
        return std::get<PlaceObject>(movie_->timeline.frames[frame].tags.back());
    }
    void Move(uint16_t depth, Matrix m, size_t frame) {
        if (movie_->timeline.frames.size() <= frame) movie_->timeline.frames.resize(frame + 1);
        PlaceObject p;
        p.depth = depth;
        p.move = true;
        p.matrix = m;
        movie_->timeline.frames[frame].tags.push_back(p);
    }
    std::shared_ptr<const Movie> Get() {
        movie_->header.frameCount = static_cast<uint16_t>(movie_->timeline.frames.size());
        return movie_;
    }

  private:
    std::shared_ptr<Movie> movie_;
};

Matrix Translate(double x, double y) {
    return {1, 0, 0, 1, x, y};
}

} // namespace

TEST(RenderStage, ShowAllScalesCentresAndFillsTheBackground) {
    MovieBuilder b(100, 50, {0, 0, 255, 255});
    b.Define(1, RectShape(0, 0, 1000, 1000, {255, 0, 0, 255})); // the top-left 50x50 px
    b.Place(1, 1);
    Player player(b.Get());
    Renderer r;
    ASSERT_TRUE(r.Render(player, 200, 200));
    const auto& f = r.Frame();
    // Scale 2, stage 200x100 centred: 50 px bars above and below.
    EXPECT_EQ(f.At(10, 10), kBlue);
    EXPECT_EQ(f.At(10, 60), kRed);
    EXPECT_EQ(f.At(99, 149), kRed);
    EXPECT_EQ(f.At(101, 149), kBlue);
    EXPECT_EQ(f.At(10, 151), kBlue);
    EXPECT_EQ(f.At(10, 190), kBlue);

    r.SetBackgroundOverride(RGBA{0, 255, 0, 255});
    ASSERT_TRUE(r.Render(player, 200, 200));
    EXPECT_EQ(r.Frame().At(10, 10), kGreen);
    EXPECT_EQ(r.Frame().At(150, 100), kGreen);
}

TEST(RenderStage, FrameBytesAreBgraInMemoryAndRgbaForFiles) {
    MovieBuilder b(4, 4, {10, 20, 30, 255});
    Player player(b.Get());
    Renderer r;
    r.Render(player, 4, 4);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(r.Frame().Row(0));
    EXPECT_EQ(bytes[0], 30); // B
    EXPECT_EQ(bytes[1], 20); // G
    EXPECT_EQ(bytes[2], 10); // R
    EXPECT_EQ(bytes[3], 255);
    std::vector<uint8_t> rgba = r.FrameRGBA();
    EXPECT_EQ((std::vector<uint8_t>{rgba[0], rgba[1], rgba[2], rgba[3]}),
              (std::vector<uint8_t>{10, 20, 30, 255}));
}

TEST(RenderStage, RefusesAbsurdSizes) {
    MovieBuilder b(4, 4);
    Player player(b.Get());
    Renderer r;
    EXPECT_THROW(r.Render(player, 100000, 10), std::invalid_argument);
    EXPECT_THROW(r.Render(player, -1, 10), std::invalid_argument);
    EXPECT_NO_THROW(r.Render(player, 0, 0));
}

TEST(RenderShapes, FillsSharingAnEdgeLeaveNoSeam) {
    MovieBuilder b(20, 20, {255, 255, 255, 255});
    Shape s;
    StyleGroup g;
    FillStyle red, blue;
    red.color = {255, 0, 0, 255};
    blue.color = {0, 0, 255, 255};
    g.fills = {red, blue};
    // The diagonal carries red on one side and blue on the other.
    Path diag;
    diag.fill0 = 2;
    diag.fill1 = 1;
    diag.start = {0, 0};
    diag.segments.push_back({false, {}, {400, 400}});
    g.paths.push_back(diag);
    Path redRest;
    redRest.fill1 = 1;
    redRest.start = {400, 400};
    redRest.segments = {{false, {}, {0, 400}}, {false, {}, {0, 0}}};
    g.paths.push_back(redRest);
    Path blueRest;
    blueRest.fill0 = 2;
    blueRest.start = {400, 400};
    blueRest.segments = {{false, {}, {400, 0}}, {false, {}, {0, 0}}};
    g.paths.push_back(blueRest);
    s.groups.push_back(g);
    b.Define(1, s);
    b.Place(1, 1);
    Player player(b.Get());
    Renderer r;
    r.Render(player, 20, 20);
    for (int i = 0; i < 20; ++i) {
        uint32_t p = r.Frame().At(i, i); // on the diagonal: half red, half blue, no white
        EXPECT_LE(raster::PixelG(p), 1u) << i;
        EXPECT_NEAR(static_cast<int>(raster::PixelR(p)), 128, 3) << i;
    }
    EXPECT_EQ(r.Frame().At(2, 15), kRed);
    EXPECT_EQ(r.Frame().At(15, 2), kBlue);
}

TEST(RenderShapes, EvenOddUnlessTheShapeAsksForNonZero) {
    for (bool winding : {false, true}) {
        MovieBuilder b(20, 20);
        Shape s = RectShape(0, 0, 400, 400, {255, 0, 0, 255});
        s.groups[0].paths.push_back(Polygon({{100, 100}, {300, 100}, {300, 300}, {100, 300}}, 0, 1));
        s.usesFillWindingRule = winding;
        b.Define(1, s);
        b.Place(1, 1);
        Player player(b.Get());
        Renderer r;
        r.Render(player, 20, 20);
        EXPECT_EQ(r.Frame().At(10, 10), winding ? kRed : kWhite);
        EXPECT_EQ(r.Frame().At(2, 2), kRed);
    }
}

TEST(RenderShapes, HairlineStaysOnePixelWideWhenScaledDown) {
    MovieBuilder b(40, 40);
    Shape s;
    StyleGroup g;
    LineStyle l;
    l.width = 20;
    l.color = {0, 0, 0, 255};
    g.lines.push_back(l);
    Path p;
    p.line = 1;
    p.start = {0, 4000};
    p.segments.push_back({false, {}, {8000, 4000}});
    g.paths.push_back(p);
    s.groups.push_back(g);
    b.Define(1, s);
    b.Place(1, 1, Matrix{0.1, 0, 0, 0.1, 0, 10}); // line at y = 400 + 10 twips = 20.5 px, width 0.1 px
    Player player(b.Get());
    Renderer r;
    r.Render(player, 40, 40);
    int dark = 0;
    for (int y = 15; y < 26; ++y)
        dark += 255 - static_cast<int>(raster::PixelR(r.Frame().At(20, y)));
    EXPECT_NEAR(dark, 255, 8); // one pixel's worth of ink
}

TEST(RenderShapes, AnUnevenScaleStretchesTheStrokeAsItStretchesTheShape) {
    // A square outline 2 px wide, scaled 3 times down the frame: its top and
    // bottom sides become 6 px thick, its left and right ones stay 2 px.
    MovieBuilder b(60, 100);
    Shape s;
    StyleGroup g;
    LineStyle l;
    l.width = 40;
    l.color = {0, 0, 0, 255};
    g.lines.push_back(l);
    g.paths.push_back(Polygon({{200, 200}, {800, 200}, {800, 600}, {200, 600}}, 0, 0, 1));
    s.groups.push_back(g);
    s.bounds = s.edgeBounds = {160, 840, 160, 640};
    b.Define(1, s);
    b.Place(1, 1, Matrix{1, 0, 0, 3, 0, 0}); // sides at x = 10 and 40, y = 30 and 90
    Player player(b.Get());
    Renderer r;
    r.Render(player, 60, 100);
    auto ink = [&](int x0, int y0, int dx, int dy) {
        int n = 0;
        for (int i = 0; i < 16; ++i)
            n += raster::PixelR(r.Frame().At(x0 + i * dx, y0 + i * dy)) < 128;
        return n;
    };
    EXPECT_EQ(ink(25, 22, 0, 1), 6); // across the top side
    EXPECT_EQ(ink(2, 60, 1, 0), 2);  // across the left side
}

TEST(RenderShapes, GradientFillFollowsItsMatrix) {
    MovieBuilder b(100, 10);
    Shape s = RectShape(0, 0, 2000, 200, {});
    FillStyle& f = s.groups[0].fills[0];
    f.kind = FillKind::LinearGradient;
    f.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    f.matrix = {1000.0 / 32768, 0, 0, 1, 1000, 0}; // the ramp spans the stage's width
    b.Define(1, s);
    b.Place(1, 1);
    Player player(b.Get());
    Renderer r;
    r.Render(player, 100, 10);
    EXPECT_LT(raster::PixelR(r.Frame().At(1, 5)), 6u);
    EXPECT_GT(raster::PixelR(r.Frame().At(98, 5)), 249u);
    EXPECT_NEAR(static_cast<int>(raster::PixelR(r.Frame().At(50, 5))), 129, 4);
}

TEST(RenderShapes, BitmapFillNearestAndClipped) {
    MovieBuilder b(8, 8);
    Bitmap bmp;
    bmp.width = 2;
    bmp.height = 2;
    bmp.pixels = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    b.Define(5, bmp);
    Shape s = RectShape(0, 0, 160, 160, {});
    FillStyle& f = s.groups[0].fills[0];
    f.kind = FillKind::Bitmap;
    f.bitmapId = 5;
    f.smoothed = false;
    f.repeat = false;
    f.matrix = {40, 0, 0, 40, 0, 0}; // each bitmap pixel 2 x 2 screen pixels
    b.Define(1, s);
    b.Place(1, 1);
    Player player(b.Get());
    Renderer r;
    r.Render(player, 8, 8);
    EXPECT_EQ(r.Frame().At(0, 0), kRed);
    EXPECT_EQ(r.Frame().At(3, 0), kGreen);
    EXPECT_EQ(r.Frame().At(1, 3), kBlue);
    EXPECT_EQ(r.Frame().At(7, 7), kWhite); // edge pixel extended, not repeated
    EXPECT_EQ(r.Frame().At(7, 1), kGreen);
}

TEST(RenderDisplayList, SpritesComposeMatricesAndColourTransforms) {
    MovieBuilder b(40, 40);
    b.Define(1, RectShape(0, 0, 200, 200, {255, 0, 0, 255}));
    Sprite sprite;
    sprite.timeline.frames.resize(1);
    PlaceObject inner;
    inner.depth = 1;
    inner.characterId = 1;
    inner.matrix = Translate(200, 0);
    ColorTransform half;
    half.multA = 0.5f;
    inner.colorTransform = half;
    sprite.timeline.frames[0].tags.push_back(inner);
    b.Define(2, sprite);
    PlaceObject& outer = b.Place(1, 2, Matrix{2, 0, 0, 2, 0, 100});
    ColorTransform toBlue;
    toBlue.multR = 0;
    toBlue.addB = 255;
    outer.colorTransform = toBlue;
    Player player(b.Get());
    Renderer r;
    r.Render(player, 40, 40);
    // The square: x 20..40 px, y 5..25 px; blue at half alpha over white.
    uint32_t p = r.Frame().At(30, 15);
    EXPECT_NEAR(static_cast<int>(raster::PixelR(p)), 128, 2);
    EXPECT_EQ(raster::PixelB(p), 255u);
    EXPECT_EQ(r.Frame().At(15, 15), kWhite);
    EXPECT_EQ(r.Frame().At(30, 2), kWhite);
}

TEST(RenderDisplayList, ClipDepthMasksOnlyTheDepthsItCovers) {
    MovieBuilder b(40, 40);
    b.Define(1, RectShape(0, 0, 400, 800, {0, 0, 0, 255}));     // mask: the left half
    b.Define(2, RectShape(0, 0, 800, 400, {255, 0, 0, 255}));   // masked: the top half
    b.Define(3, RectShape(0, 400, 800, 800, {0, 0, 255, 255})); // above the mask's range: bottom half
    b.Place(1, 1).clipDepth = 2;
    b.Place(2, 2);
    b.Place(3, 3);
    Player player(b.Get());
    Renderer r;
    r.Render(player, 40, 40);
    EXPECT_EQ(r.Frame().At(5, 5), kRed);
    EXPECT_EQ(r.Frame().At(30, 5), kWhite); // outside the mask
    EXPECT_EQ(r.Frame().At(5, 30), kBlue);
    EXPECT_EQ(r.Frame().At(30, 30), kBlue); // not masked
}

TEST(RenderDisplayList, StaticTextFromGlyphShapes) {
    MovieBuilder b(60, 30);
    Font font;
    font.emSquare = 1024;
    Glyph square;
    square.shape = RectShape(0, -1024, 512, 0, {0, 0, 0, 255}); // half an em wide, sitting on the baseline
    font.glyphs.push_back(square);
    b.Define(1, font);
    Text text;
    text.matrix = Translate(0, 0);
    TextRecord rec;
    rec.fontId = 1;
    rec.color = {0, 128, 0, 255};
    rec.x = 100;
    rec.y = 500;
    rec.height = 400; // 20 px em: glyphs 10 x 20 px
    rec.glyphs = {{0, 300}, {0, 300}};
    text.records.push_back(rec);
    b.Define(2, text);
    b.Place(1, 2);
    Player player(b.Get());
    Renderer r;
    r.Render(player, 60, 30);
    const uint32_t green = 0xFF008000u;
    EXPECT_EQ(r.Frame().At(7, 15), green);   // first glyph: x 5..15, y 5..25
    EXPECT_EQ(r.Frame().At(17, 15), kWhite); // the gap
    EXPECT_EQ(r.Frame().At(22, 15), green);  // second glyph: x 20..30
    EXPECT_EQ(r.Frame().At(7, 2), kWhite);
}

TEST(RenderDisplayList, TextFieldBoxBorderGlyphsClippedToTheBox) {
    MovieBuilder b(60, 30, {255, 0, 0, 255});
    Font font;
    font.name = "Box";
    font.emSquare = 1024;
    font.hasLayout = true;
    font.ascent = 1024;
    Glyph square;
    square.code = 'X';
    square.advance = 1024;
    square.shape = RectShape(0, -1024, 512, 0, {0, 0, 0, 255}); // half an em wide, on the baseline
    font.glyphs.push_back(square);
    font.IndexCodes();
    b.Define(1, font);
    EditText field;
    field.bounds = {0, 800, 0, 400}; // 40 x 20 px
    field.hasFont = true;
    field.fontId = 1;
    field.fontHeight = 200; // 10 px em: glyphs 5 x 10 px every 10 px
    field.color = {0, 0, 255, 255};
    field.useOutlines = true;
    field.border = true;
    field.initialText = "XXXXXX";
    b.Define(2, field);
    b.Place(1, 2, Translate(200, 100)); // at (10, 5) px
    Player player(b.Get());
    Renderer r;
    r.Render(player, 60, 30);
    const auto& f = r.Frame();
    EXPECT_EQ(f.At(5, 15), kRed) << "outside the box";
    EXPECT_EQ(f.At(10, 15), 0xFF000000u) << "the border's left column";
    EXPECT_EQ(f.At(50, 15), 0xFF000000u) << "its right column, on the pixel the box's edge starts";
    EXPECT_EQ(f.At(49, 15), kWhite);
    EXPECT_EQ(f.At(20, 25), 0xFF000000u) << "its bottom row";
    EXPECT_EQ(f.At(20, 6), kWhite) << "the background";
    // Text from the 2 px gutter: glyph rows 7..17, columns 12..17, 22..27, ...
    EXPECT_EQ(f.At(14, 12), kBlue);
    EXPECT_EQ(f.At(19, 12), kWhite);
    EXPECT_EQ(f.At(44, 12), kBlue) << "the fourth glyph";
    EXPECT_EQ(f.At(53, 12), kRed) << "the fifth glyph is clipped at the box";

    // A changed text redraws: the renderer sees the field's new version.
    player.DisplayList()[0].textField->SetText("");
    EXPECT_TRUE(r.Render(player, 60, 30));
    EXPECT_EQ(r.Frame().At(14, 12), kWhite);
}

TEST(RenderDirty, UnchangedFramesAreSkippedAndChangesRedrawOnlyTheirBands) {
    MovieBuilder b(200, 200);
    b.Define(1, RectShape(0, 0, 200, 200, {255, 0, 0, 255}));
    b.Define(2, RectShape(0, 0, 200, 200, {0, 0, 255, 255}));
    b.Place(1, 1, Translate(200, 200));
    b.Place(2, 2, Translate(200, 3000));
    b.Move(1, Translate(600, 200), 1);
    Player player(b.Get());
    player.Stop();
    Renderer r;
    EXPECT_TRUE(r.Render(player, 200, 200));
    EXPECT_FALSE(r.Render(player, 200, 200));
    EXPECT_TRUE(r.DirtyRect().Empty());
    player.GotoFrame(1); // the red square moves right
    EXPECT_TRUE(r.Render(player, 200, 200));
    raster::IRect d = r.DirtyRect();
    EXPECT_LE(d.y0, 10);
    EXPECT_GE(d.y1, 20);
    EXPECT_LT(d.y1, 100); // the blue square far below is not redrawn
    EXPECT_EQ(r.Frame().At(15, 15), kWhite);
    EXPECT_EQ(r.Frame().At(35, 15), kRed);
    // The partly redrawn frame equals a full redraw.
    Renderer fresh;
    fresh.Render(player, 200, 200);
    EXPECT_EQ(r.Frame().Pixels(), fresh.Frame().Pixels());
    // A new size redraws everything.
    EXPECT_TRUE(r.Render(player, 100, 100));
    EXPECT_EQ(r.DirtyRect(), (raster::IRect{0, 0, 100, 100}));
}

TEST(RenderDirty, LentMemoryGetsTheSameFramesAndNothingBeyondItsRows) {
    MovieBuilder b(200, 200);
    b.Define(1, RectShape(0, 0, 200, 200, {255, 0, 0, 255}));
    b.Place(1, 1, Translate(200, 200));
    b.Move(1, Translate(600, 2000), 1);
    Player player(b.Get());
    player.Stop();
    // Rows 210 pixels apart; the 10 beyond each row are not the frame's.
    constexpr uint32_t kPadding = 0x12345678u;
    std::vector<uint32_t> memory(210 * 200, kPadding);
    Renderer lent, own;
    lent.LendFrame(memory.data(), 200, 200, 210);
    EXPECT_TRUE(lent.Render(player, 200, 200));
    EXPECT_EQ(memory[15 * 210 + 15], kRed);
    player.GotoFrame(1);
    EXPECT_TRUE(lent.Render(player, 200, 200));
    EXPECT_FALSE(lent.DirtyRect().Empty());
    own.Render(player, 200, 200);
    for (int y = 0; y < 200; ++y) {
        ASSERT_TRUE(std::equal(memory.begin() + y * 210, memory.begin() + y * 210 + 200, own.Frame().Row(y)))
            << "row " << y;
        ASSERT_EQ(memory[y * 210 + 205], kPadding) << "row " << y;
    }
    EXPECT_EQ(lent.Frame().Pixels(), own.Frame().Pixels());
    // Other memory is drawn whole, even with nothing changed.
    std::vector<uint32_t> other(200 * 200, kPadding);
    lent.LendFrame(other.data(), 200, 200, 200);
    EXPECT_TRUE(lent.Render(player, 200, 200));
    EXPECT_EQ(lent.DirtyRect(), (raster::IRect{0, 0, 200, 200}));
    EXPECT_EQ(other, own.Frame().Pixels());
    // Another size goes back to a frame of the renderer's own.
    EXPECT_TRUE(lent.Render(player, 100, 100));
    EXPECT_FALSE(lent.Frame().Lent());
    EXPECT_EQ(other, own.Frame().Pixels());
}

TEST(RenderThreads, TwoThreadsDrawTheSameBytes) {
    MovieBuilder b(300, 300);
    for (int i = 0; i < 30; ++i) {
        Shape s;
        StyleGroup g;
        FillStyle f;
        f.kind = i % 2 ? FillKind::RadialGradient : FillKind::Solid;
        f.color = {uint8_t(i * 8), 100, 200, 180};
        f.gradient.stops = {{0, {255, 255, 0, 255}}, {255, {0, uint8_t(i * 8), 255, 120}}};
        f.matrix = {0.01, 0, 0, 0.01, 1500, 1500};
        g.fills.push_back(f);
        LineStyle l;
        l.width = static_cast<uint16_t>(20 + i * 5);
        l.color = {0, 0, 0, 200};
        g.lines.push_back(l);
        Path p;
        p.fill1 = 1;
        p.line = 1;
        p.start = {0, 0};
        p.segments = {{true, {3000, -500}, {3000, 3000}}, {true, {500, 3500}, {0, 0}}};
        g.paths.push_back(p);
        s.groups.push_back(g);
        b.Define(static_cast<uint16_t>(i + 1), s);
        b.Place(static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i + 1), Translate(i * 100, i * 70));
    }
    Player player(b.Get());
    Renderer one, two;
    two.SetThreads(2);
    one.Render(player, 333, 301);
    two.Render(player, 333, 301);
    EXPECT_EQ(one.Frame().Pixels(), two.Frame().Pixels());
}

TEST(RenderUntrusted, ExtremeShapesDrawWithinBounds) {
    MovieBuilder b(64, 48);
    Shape s;
    StyleGroup g;
    FillStyle grad;
    grad.kind = FillKind::FocalRadialGradient;
    grad.matrix = {0, 0, 0, 0, 0, 0}; // singular
    grad.gradient.focalPoint = 1.0f;
    grad.gradient.stops = {{0, {255, 0, 0, 255}}};
    FillStyle missing;
    missing.kind = FillKind::Bitmap;
    missing.bitmapId = 65535;
    g.fills = {grad, missing};
    for (int i = 0; i < 5000; ++i)
        g.fills.push_back(FillStyle{}); // styles nobody uses
    LineStyle fat;
    fat.width = 65535;
    fat.join = JoinStyle::Miter;
    fat.miterLimit = 0;
    g.lines.push_back(fat);
    Path p;
    p.fill0 = 1;
    p.fill1 = 2;
    p.line = 1;
    p.start = {-2000000000, -2000000000};
    p.segments = {{true, {2000000000, -2000000000}, {2000000000, 2000000000}},
                  {false, {}, {-2000000000, 2000000000}},
                  {true, {0, 0}, {-2000000000, -2000000000}},
                  {false, {}, {-2000000000, -2000000000}}};
    for (int i = 0; i < 100; ++i)
        g.paths.push_back(p);
    s.groups.push_back(g);
    b.Define(1, s);
    b.Place(1, 1, Matrix{1000, 0, 0, 1000, 0, 0});
    Player player(b.Get());
    Renderer r;
    EXPECT_TRUE(r.Render(player, 64, 48));
    EXPECT_LE(r.LastScene().LineCount(), render::ShapePainter::kMaxSceneLines);
    EXPECT_EQ(raster::PixelA(r.Frame().At(10, 10)), 255u); // every pixel still opaque
}

TEST(RenderUntrusted, OutlinesAndFramesHaveALineBudget) {
    raster::EdgeList e;
    for (size_t i = 0; i < raster::EdgeList::kMaxLines + 10; ++i)
        e.AddLine({0, static_cast<float>(i)}, {1, static_cast<float>(i + 1)});
    EXPECT_EQ(e.Size(), raster::EdgeList::kMaxLines);
}

TEST(RenderFilters, AGlowReachesBeyondItsObjectAndMovesWithIt) {
    MovieBuilder b(100, 100);
    b.Define(1, RectShape(0, 0, 400, 400, {255, 0, 0, 255})); // 20 px square
    raster::FilterSpec glow;
    glow.type = FilterKind::Glow;
    glow.blurX = glow.blurY = 9;
    glow.color = 0xFF0000FFu;
    b.Place(1, 1, Translate(400, 400)).filters = std::vector<Filter>{render::EncodeFilter(glow)};
    b.Move(1, Translate(1000, 400), 1);
    Player player(b.Get());
    player.Stop();
    Renderer r;
    r.Render(player, 100, 100);
    EXPECT_EQ(r.Frame().At(30, 30), kRed);
    const raster::Pixel beside = r.Frame().At(42, 30); // two pixels right of the square
    EXPECT_LT(raster::PixelR(beside), 255u);
    EXPECT_EQ(raster::PixelB(beside), 255u);
    EXPECT_EQ(r.Frame().At(60, 30), kWhite);
    EXPECT_FALSE(r.Render(player, 100, 100));
    player.GotoFrame(1); // 30 px right: the dirty rectangle takes the glow on both sides
    EXPECT_TRUE(r.Render(player, 100, 100));
    EXPECT_LE(r.DirtyRect().x0, 16);
    EXPECT_GE(r.DirtyRect().x1, 74);
    EXPECT_EQ(r.Frame().At(42, 30), kWhite);
    Renderer fresh;
    fresh.Render(player, 100, 100);
    EXPECT_EQ(r.Frame().Pixels(), fresh.Frame().Pixels());
    // At twice the size the glow is twice as wide.
    fresh.Render(player, 200, 200);
    EXPECT_NE(fresh.Frame().At(2 * 70 + 4, 60), kWhite);
}

TEST(RenderFilters, AFramesFilterWorkHasABoundAndFiltersBeyondItAreLeftOut) {
    // A hundred squares under 15 blur passes each: the first ones get
    // their blur, those past the frame's budget are drawn sharp.
    MovieBuilder b(64, 48);
    b.Define(1, RectShape(0, 0, 200, 200, {255, 0, 0, 255})); // 10 px
    b.Define(2, RectShape(0, 0, 200, 200, {0, 0, 255, 255}));
    b.Define(3, RectShape(0, 0, 200, 200, {0, 255, 0, 255}));
    raster::FilterSpec blur;
    blur.type = FilterKind::Blur;
    blur.blurX = blur.blurY = 3; // 1 px around per pass
    blur.passes = 15;
    const std::vector<Filter> blurred{render::EncodeFilter(blur)};
    const int count = 100;
    for (int i = 0; i < count; ++i) {
        const uint16_t id = i == 0 ? 1 : i == count - 1 ? 3 : 2;
        const double x = i == 0 ? 100 : i == count - 1 ? 900 : 500;
        b.Place(static_cast<uint16_t>(i + 1), id, Translate(x, 400)).filters = blurred;
    }
    Player player(b.Get());
    Renderer r;
    r.Render(player, 64, 48);
    const uint64_t budget = Limits::kFilterPassesPerFrame + Limits::kFilterPassesPerFramePixel * 64 * 48;
    ASSERT_GT((count - 2) * uint64_t(40 * 40 * 15), budget); // all the blue squares' blurs
    const uint64_t most = 64 * 48 * 15;                      // one layer's, cut to the frame
    EXPECT_LE(r.FilterPasses(), budget);
    EXPECT_GT(r.FilterPasses(), budget - most);
    EXPECT_NE(r.Frame().At(3, 25), kWhite);  // the first square's blur, 2 px out
    EXPECT_EQ(r.Frame().At(45, 25), kGreen); // the last one, drawn sharp
    EXPECT_EQ(r.Frame().At(56, 25), kWhite);
}

TEST(RenderBlendModes, AMultipliedSquareDarkensWhatLiesUnderAndAlphaCutsItsLayer) {
    MovieBuilder b(40, 40);
    b.Define(1, RectShape(0, 0, 400, 400, {255, 128, 0, 255}));   // orange, 20 px
    b.Define(2, RectShape(0, 0, 400, 400, {128, 128, 128, 255})); // grey, 20 px
    b.Place(1, 1);
    b.Place(2, 2, Translate(200, 200)).blendMode = BlendMode::Multiply;
    Player player(b.Get());
    Renderer r;
    r.Render(player, 40, 40);
    EXPECT_EQ(r.Frame().At(5, 5), 0xFFFF8000u);
    EXPECT_EQ(r.Frame().At(15, 15), 0xFF804000u); // orange times grey
    EXPECT_EQ(r.Frame().At(25, 25), 0xFF808080u); // grey times white
    // Alpha straight onto the frame changes nothing: it has no layer to cut.
    MovieBuilder c(40, 40);
    c.Define(1, RectShape(0, 0, 400, 400, {255, 128, 0, 255}));
    c.Define(2, RectShape(0, 0, 400, 400, {0, 0, 0, 0}));
    c.Place(1, 1);
    c.Place(2, 2, Translate(200, 200)).blendMode = BlendMode::Alpha;
    Player other(c.Get());
    r.Render(other, 40, 40);
    EXPECT_EQ(r.Frame().At(15, 15), 0xFFFF8000u);
    EXPECT_EQ(r.Frame().At(25, 25), kWhite);
}

TEST(RenderBlendModes, AnErasingChildCutsItsLayerWhereverTheLayerLies) {
    // A layer holding an orange square and, over its upper left quarter
    // (left and above the layer's origin), a square that erases.
    MovieBuilder b(60, 60);
    b.Define(1, RectShape(-200, -200, 200, 200, {255, 128, 0, 255}));
    b.Define(2, RectShape(0, 0, 200, 200, {0, 0, 0, 255}));
    Sprite sprite;
    sprite.timeline.frames.resize(1);
    PlaceObject square;
    square.depth = 1;
    square.characterId = 1;
    square.matrix = Matrix{};
    PlaceObject eraser = square;
    eraser.depth = 2;
    eraser.characterId = 2;
    eraser.matrix = Translate(-200, -200);
    eraser.blendMode = BlendMode::Erase;
    sprite.timeline.frames[0].tags = {square, eraser};
    b.Define(3, sprite);
    b.Place(1, 3, Translate(600, 600)).blendMode = BlendMode::Layer;
    Player player(b.Get());
    Renderer r;
    r.Render(player, 60, 60);
    EXPECT_EQ(r.Frame().At(25, 25), kWhite); // cut through to the background
    EXPECT_EQ(r.Frame().At(35, 35), 0xFFFF8000u);
    EXPECT_EQ(r.Frame().At(35, 25), 0xFFFF8000u);
    // Nothing changed: nothing is drawn, layers and all.
    EXPECT_FALSE(r.Render(player, 60, 60));
}

TEST(RenderCaching, ABitmapLiesOnWholePixelsOverItsOpaqueBackground) {
    // Two red squares 5 px wide, 10 px apart, in a sprite at x = 10.4 px.
    MovieBuilder b(60, 60);
    b.Define(1, RectShape(0, 0, 100, 100, {255, 0, 0, 255}));
    Sprite sprite;
    sprite.timeline.frames.resize(1);
    for (uint16_t depth : {1, 2}) {
        PlaceObject p;
        p.depth = depth;
        p.characterId = 1;
        p.matrix = Translate(depth == 1 ? 0 : 200, depth == 1 ? 0 : 200);
        sprite.timeline.frames[0].tags.push_back(p);
    }
    b.Define(2, sprite);
    b.Place(1, 2, Translate(208, 100)); // drawn as it is
    b.Place(2, 2, Translate(208, 500)).cacheAsBitmap = true;
    b.Place(3, 2, Translate(808, 100)).opaqueBackground = RGBA{0, 0, 255, 255};
    Player player(b.Get());
    Renderer r;
    r.Render(player, 60, 60);
    EXPECT_NE(r.Frame().At(10, 7), kRed);  // partly covered
    EXPECT_EQ(r.Frame().At(10, 27), kRed); // cached: moved to x = 10
    EXPECT_EQ(r.Frame().At(14, 27), kRed);
    EXPECT_EQ(r.Frame().At(15, 27), kWhite);
    // The background fills the bounds of both squares, 40 .. 55 px across
    // and 5 .. 20 down, and no more.
    EXPECT_EQ(r.Frame().At(40, 5), kRed);
    EXPECT_EQ(r.Frame().At(46, 7), kBlue);
    EXPECT_EQ(r.Frame().At(40, 19), kBlue);
    EXPECT_EQ(r.Frame().At(54, 19), kRed);
    EXPECT_EQ(r.Frame().At(39, 12), kWhite);
    EXPECT_EQ(r.Frame().At(55, 12), kWhite);
    EXPECT_EQ(r.Frame().At(47, 4), kWhite);
    EXPECT_EQ(r.Frame().At(47, 20), kWhite);
    EXPECT_FALSE(r.Render(player, 60, 60));
}

TEST(RenderCaching, AScrollRectMovesTheContentAndCutsItToItsSize) {
    // A red square 20 px wide seen through a 10 px window from (5, 5), at
    // (10, 10); the same turned a quarter round at (40, 10): cut by a mask.
    MovieBuilder b(40, 40);
    b.Define(1, RectShape(0, 0, 400, 400, {255, 0, 0, 255}));
    Sprite sprite;
    sprite.timeline.frames.resize(1);
    PlaceObject square;
    square.depth = 1;
    square.characterId = 1;
    square.matrix = Matrix{};
    sprite.timeline.frames[0].tags.push_back(square);
    b.Define(2, sprite);
    b.Place(1, 2, Translate(200, 200));
    b.Place(2, 2, Matrix{0, 1, -1, 0, 800, 200});
    auto movie = b.Get();
    Player player(movie);
    for (auto& o : const_cast<DisplayObjects&>(player.DisplayList())) // as a script sets it
        o.scrollRect = Rect{100, 300, 100, 300};
    Renderer r;
    r.Render(player, 40, 40);
    EXPECT_EQ(r.Frame().At(10, 10), kRed);
    EXPECT_EQ(r.Frame().At(19, 19), kRed);
    EXPECT_EQ(r.Frame().At(9, 15), kWhite);
    EXPECT_EQ(r.Frame().At(20, 15), kWhite);
    EXPECT_EQ(r.Frame().At(15, 20), kWhite);
    // Turned, the window runs from x = 30 to 40 and y = 10 to 20; the
    // square reaches 5 px beyond it on three sides.
    EXPECT_EQ(r.Frame().At(31, 11), kRed);
    EXPECT_EQ(r.Frame().At(38, 18), kRed);
    EXPECT_EQ(r.Frame().At(28, 15), kWhite);
    EXPECT_EQ(r.Frame().At(35, 8), kWhite);
    EXPECT_EQ(r.Frame().At(35, 22), kWhite);
}
