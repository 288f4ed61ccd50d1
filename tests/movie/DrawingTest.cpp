// What scripts draw: the drawing API, setMask and BitmapData, checked on the
// pixels of the rendered frame.
#include "SwfBuilder.h"

#include "movie/Drawing.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace swftest;
using movie::raster::Pixel;

Bytes Var(const std::string& name) {
    return Cat({PushString(name), {0x1c}});
}
// The value of object.method(args...), arguments given in order.
Bytes Call(const Bytes& object, const std::string& method, std::vector<Bytes> args) {
    Bytes b;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        b = Cat({b, *it});
    return Cat({b, PushInt(static_cast<int32_t>(args.size())), object, PushString(method), {0x52}});
}
Bytes Do(const Bytes& value) {
    return Cat({value, {0x17}});
}
Bytes SetVar(const std::string& name, const Bytes& value) {
    return Cat({PushString(name), value, {0x1d}});
}
Bytes Trace(const Bytes& value) {
    return Cat({value, {0x26}});
}
// A closed square outline from (x, y), `size` pixels wide.
Bytes Square(const std::string& clip, int x, int y, int size) {
    return Cat({Do(Call(Var(clip), "moveTo", {PushInt(x), PushInt(y)})),
                Do(Call(Var(clip), "lineTo", {PushInt(x + size), PushInt(y)})),
                Do(Call(Var(clip), "lineTo", {PushInt(x + size), PushInt(y + size)})),
                Do(Call(Var(clip), "lineTo", {PushInt(x), PushInt(y + size)}))});
}

struct Drawn {
    std::vector<std::string> traced;
    movie::render::Renderer renderer;
};

// Plays the script on the first frame and draws it at the stage's size (550 x 400).
void Play(const Bytes& script, Drawn& run) {
    SwfBuilder b(8);
    b.Background({255, 255, 255, 255}).Actions({script}).Frame();
    auto movie = movie::MovieReader::Read(b.Build(), "drawing.swf");
    movie::Player player(movie, [&](const std::string& line) { run.traced.push_back(line); });
    ASSERT_TRUE(run.renderer.Render(player, 550, 400));
}

Pixel At(const Drawn& run, int x, int y) {
    return run.renderer.Frame().At(x, y) & 0xFFFFFFu;
}

TEST(DrawingApi, FillsLinesAndBoundsOfAClip) {
    Bytes script = Cat({
        SetVar("a", Call(Var("_root"), "createEmptyMovieClip", {PushString("a"), PushInt(1)})),
        Do(Call(Var("a"), "lineStyle", {PushInt(10), PushInt(0x0000FF)})),
        Do(Call(Var("a"), "beginFill", {PushInt(0xFF0000)})),
        Square("a", 100, 100, 100),
        Do(Call(Var("a"), "endFill", {})),
        Trace(Call(Var("a"), "getDepth", {})),
        Trace(Cat({Var("a"), PushString("_width"), {0x4e}})),
        // A fill left open is closed where the clip is drawn, its last edge stroked.
        SetVar("b", Call(Var("_root"), "createEmptyMovieClip", {PushString("b"), PushInt(2)})),
        Do(Call(Var("b"), "lineStyle", {PushInt(4), PushInt(0x00FF00)})),
        Do(Call(Var("b"), "beginFill", {PushInt(0x000000)})),
        Square("b", 300, 100, 100),
        // Without a fill or line, nothing shows; clear() forgets what was drawn.
        SetVar("c", Call(Var("_root"), "createEmptyMovieClip", {PushString("c"), PushInt(3)})),
        Do(Call(Var("c"), "beginFill", {PushInt(0x000000)})),
        Square("c", 100, 250, 100),
        Do(Call(Var("c"), "clear", {})),
        Do(Call(Var("c"), "lineTo", {PushInt(200), PushInt(350)})),
    });
    Drawn run;
    Play(script, run);
    EXPECT_EQ(run.traced, (std::vector<std::string>{"1", "110"})); // 100 px and half a 10 px line each side
    EXPECT_EQ(At(run, 150, 150), 0xFF0000u);
    EXPECT_EQ(At(run, 150, 100), 0x0000FFu); // the stroke lies over the fill's edge
    EXPECT_EQ(At(run, 350, 150), 0x000000u);
    EXPECT_EQ(At(run, 300, 150), 0x00FF00u); // the closing edge, stroked
    EXPECT_EQ(At(run, 150, 300), 0xFFFFFFu);
}

TEST(DrawingApi, TheMainTimelineMovesAndHidesWhereScriptsPutIt) {
    auto setRoot = [](const std::string& property, int value) {
        return Cat({Var("_root"), PushString(property), PushInt(value), {0x4f}});
    };
    auto script = [&](bool hide) {
        return Cat({
            SetVar("a", Call(Var("_root"), "createEmptyMovieClip", {PushString("a"), PushInt(1)})),
            Do(Call(Var("a"), "beginFill", {PushInt(0x000000)})),
            Square("a", 0, 0, 100),
            Do(Call(Var("_root"), "beginFill", {PushInt(0x0000FF)})),
            Square("_root", 200, 0, 100),
            setRoot("_x", 100),
            hide ? setRoot("_visible", 0) : Bytes{},
        });
    };
    Drawn moved, hidden;
    Play(script(false), moved);
    EXPECT_EQ(At(moved, 50, 50), 0xFFFFFFu);
    EXPECT_EQ(At(moved, 150, 50), 0x000000u);
    EXPECT_EQ(At(moved, 350, 50), 0x0000FFu);
    Play(script(true), hidden);
    EXPECT_EQ(At(hidden, 150, 50), 0xFFFFFFu);
}

TEST(DrawingApi, AFillBegunAfterLinesCoversThem) {
    movie::Drawing d;
    movie::LineStyle line;
    line.width = 200;
    d.SetLineStyle(line);
    d.MoveTo({0, 0});
    d.LineTo({2000, 0});
    movie::FillStyle fill;
    d.BeginFill(fill);
    d.LineTo({2000, 2000});
    d.LineTo({0, 2000});
    const movie::Shape& shape = d.GetShape();
    ASSERT_EQ(shape.groups.size(), 2u);
    EXPECT_EQ(shape.groups[1].fills.size(), 1u);
    // The open fill is closed: its outline ends where it began.
    const movie::Path& outline = shape.groups[1].paths[0];
    EXPECT_EQ(outline.segments.back().to, outline.start);
    EXPECT_EQ(shape.bounds.xMin, -100);
    EXPECT_EQ(shape.edgeBounds.xMin, 0);
    d.Clear();
    EXPECT_TRUE(d.Empty());
}

TEST(DrawingApi, SetMaskShowsAClipOnlyThroughAnotherThatIsNotDrawn) {
    Bytes script = Cat({
        SetVar("a", Call(Var("_root"), "createEmptyMovieClip", {PushString("a"), PushInt(1)})),
        Do(Call(Var("a"), "beginFill", {PushInt(0xFF0000)})),
        Square("a", 100, 100, 200),
        SetVar("m", Call(Var("_root"), "createEmptyMovieClip", {PushString("m"), PushInt(2)})),
        Do(Call(Var("m"), "beginFill", {PushInt(0x0000FF)})),
        Square("m", 200, 0, 300),
        Trace(Call(Var("a"), "setMask", {Var("m")})),
        Trace(Call(Var("a"), "setMask", {PushString("nothing")})),
        Trace(Call(Var("a"), "setMask", {})),
    });
    Drawn run;
    Play(script, run);
    EXPECT_EQ(run.traced, (std::vector<std::string>{"true", "false", "undefined"}));
    EXPECT_EQ(At(run, 150, 150), 0xFFFFFFu); // outside the mask
    EXPECT_EQ(At(run, 250, 150), 0xFF0000u); // inside it
    EXPECT_EQ(At(run, 400, 150), 0xFFFFFFu); // the mask itself is not drawn
}

TEST(DrawingApi, ATextFieldMasksAClip) {
    // A field with a background lets the clip through its box (glyphs aside);
    // the field itself is no longer drawn.
    Bytes script = Cat({
        SetVar("a", Call(Var("_root"), "createEmptyMovieClip", {PushString("a"), PushInt(1)})),
        Do(Call(Var("a"), "beginFill", {PushInt(0xFF0000)})),
        Square("a", 100, 100, 200),
        SetVar("t",
               Call(Var("_root"), "createTextField",
                    {PushString("t"), PushInt(2), PushInt(200), PushInt(0), PushInt(200), PushInt(200)})),
        Cat({Var("t"), PushString("background"), {0x96, 2, 0, 5, 1}, {0x4f}}),
        Cat({Var("t"), PushString("backgroundColor"), PushInt(0x0000FF), {0x4f}}),
        Trace(Call(Var("a"), "setMask", {Var("t")})),
    });
    Drawn run;
    Play(script, run);
    EXPECT_EQ(run.traced, (std::vector<std::string>{"true"}));
    EXPECT_EQ(At(run, 150, 150), 0xFFFFFFu); // the clip outside the field
    EXPECT_EQ(At(run, 250, 150), 0xFF0000u); // the clip inside it
    EXPECT_EQ(At(run, 350, 100), 0xFFFFFFu); // the field's own background is not drawn
}

TEST(DrawingApi, BitmapDataPixelsShowThroughAttachBitmapAndBitmapFills) {
    auto bitmapData = Cat({Var("flash"), PushString("display"), {0x4e}});
    auto newBitmap = [&](int w, int h, int argb) {
        return Cat({PushInt(argb),
                    {0x96, 2, 0, 5, 0},
                    PushInt(h),
                    PushInt(w),
                    PushInt(4),
                    bitmapData,
                    PushString("BitmapData"),
                    {0x53}});
    };
    auto rect = [](int x, int y, int w, int h) {
        Bytes b;
        for (auto [n, v] : {std::pair{"x", x}, {"y", y}, {"width", w}, {"height", h}})
            b = Cat({b, PushString(n), PushInt(v)});
        return Cat({b, PushInt(4), {0x43}});
    };
    Bytes script = Cat({
        SetVar("b", newBitmap(40, 20, static_cast<int>(0xFF00FF00u))),
        Do(Call(Var("b"), "fillRect", {rect(20, 0, 20, 20), PushInt(static_cast<int>(0xFFFF0000u))})),
        Do(Call(Var("b"), "setPixel", {PushInt(0), PushInt(0), PushInt(0x0000FF)})),
        Trace(Call(Var("b"), "getPixel", {PushInt(0), PushInt(0)})),
        Trace(Call(Var("b"), "getPixel", {PushInt(30), PushInt(10)})),
        Trace(Cat({Var("b"), PushString("width"), {0x4e}})),
        SetVar("c", Call(Var("_root"), "createEmptyMovieClip", {PushString("c"), PushInt(1)})),
        Do(Call(Var("c"), "attachBitmap", {Var("b"), PushInt(1)})),
        // The same pixels tiled over a square of another clip.
        SetVar("d", Call(Var("_root"), "createEmptyMovieClip", {PushString("d"), PushInt(2)})),
        Do(Call(Var("d"), "beginBitmapFill", {Var("b")})),
        Square("d", 200, 200, 100),
        SetVar("e", newBitmap(1, 1, 0)),
        Do(Call(Var("e"), "dispose", {})),
        Trace(Cat({Var("e"), PushString("width"), {0x4e}})),
    });
    Drawn run;
    Play(script, run);
    EXPECT_EQ(run.traced, (std::vector<std::string>{"255", "16711680", "40", "-1"}));
    EXPECT_EQ(At(run, 0, 0), 0x0000FFu);
    EXPECT_EQ(At(run, 10, 10), 0x00FF00u);
    EXPECT_EQ(At(run, 30, 10), 0xFF0000u);
    EXPECT_EQ(At(run, 45, 10), 0xFFFFFFu);
    EXPECT_EQ(At(run, 205, 205), 0x00FF00u);
    EXPECT_EQ(At(run, 235, 205), 0xFF0000u);
    EXPECT_EQ(At(run, 305, 205), 0xFFFFFFu);
}

TEST(DrawingApi, CopyPixelsKeepsToTheAlphaBitmapAndLaysOverAnOpaqueBitmap) {
    auto bitmapData = Cat({Var("flash"), PushString("display"), {0x4e}});
    auto newBitmap = [&](int w, bool transparent, uint32_t argb) {
        return Cat({PushInt(static_cast<int32_t>(argb)),
                    {0x96, 2, 0, 5, static_cast<uint8_t>(transparent)},
                    PushInt(1),
                    PushInt(w),
                    PushInt(4),
                    bitmapData,
                    PushString("BitmapData"),
                    {0x53}});
    };
    auto object = [](std::vector<std::pair<const char*, int>> members) {
        Bytes b;
        for (auto [n, v] : members)
            b = Cat({b, PushString(n), PushInt(v)});
        return Cat({b, PushInt(static_cast<int32_t>(members.size())), {0x43}});
    };
    const Bytes row = object({{"x", 0}, {"y", 0}, {"width", 4}, {"height", 1}});
    const Bytes origin = object({{"x", 0}, {"y", 0}});
    auto pixels = [&](const std::string& b) {
        return Cat({Trace(Call(Var(b), "getPixel32", {PushInt(0), PushInt(0)})),
                    Trace(Call(Var(b), "getPixel32", {PushInt(3), PushInt(0)}))});
    };
    Bytes script = Cat({
        SetVar("blue", newBitmap(4, false, 0xFF0000FFu)),
        // A transparent alpha bitmap two pixels wide: only those two are copied.
        SetVar("a", newBitmap(4, true, 0xFF00FF00u)),
        Do(Call(Var("a"), "copyPixels", {Var("blue"), row, origin, newBitmap(2, true, 0xFF000000u), origin})),
        pixels("a"),
        // An opaque one is not looked at.
        SetVar("b", newBitmap(4, true, 0xFF00FF00u)),
        Do(Call(Var("b"), "copyPixels", {Var("blue"), row, origin, newBitmap(2, false, 0), origin})),
        pixels("b"),
        // Clear pixels copied into a bitmap without alpha leave it as it was.
        SetVar("c", newBitmap(4, false, 0xFFFF0000u)),
        Do(Call(Var("c"), "copyPixels", {newBitmap(4, true, 0), row, origin})),
        pixels("c"),
    });
    Drawn run;
    Play(script, run);
    EXPECT_EQ(run.traced, (std::vector<std::string>{"-16776961", "-16711936", "-16776961", "-16776961",
                                                    "-65536", "-65536"}));
}

} // namespace
