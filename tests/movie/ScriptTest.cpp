// The script machine through the player: version rules, the safety limits,
// and bytecode that breaks off.
#include "SwfBuilder.h"

#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/script/Vm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace swftest;

Bytes PushUndefined() {
    return {0x96, 1, 0, 3};
}
Bytes Op(uint8_t code) {
    return {code};
}
Bytes Jump(int16_t offset) {
    return {0x99, 2, 0, uint8_t(offset & 0xff), uint8_t(uint16_t(offset) >> 8)};
}
// function name() { <body> }
Bytes DefineFunction(const std::string& name, const Bytes& body) {
    Bytes b{0x9b, uint8_t(name.size() + 1 + 2 + 2), 0};
    b.insert(b.end(), name.begin(), name.end());
    b.insert(b.end(), {0, 0, 0, uint8_t(body.size() & 0xff), uint8_t(body.size() >> 8)});
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes CallFunction(const std::string& name) {
    return Cat({PushInt(0), PushString(name), Op(0x3d)});
}

std::vector<std::string> Traced(const SwfBuilder& b, int frames) {
    std::vector<std::string> lines;
    auto movie = movie::MovieReader::Read(b.Build(), "script.swf");
    movie::Player player(movie, [&](const std::string& line) { lines.push_back(line); });
    for (int f = 1; f < frames; ++f)
        player.Step();
    player.PassFrameTime();
    return lines;
}

TEST(ScriptMachine, ConversionsFollowTheMovieVersion) {
    // trace("x" + undefined); trace(1 + "2"); trace(7 / 2)
    auto script = Cat({PushString("x"), PushUndefined(), Op(0x47), Op(0x26), PushInt(1), PushString("2"),
                       Op(0x47), Op(0x26), PushInt(7), PushInt(2), Op(0x0d), Op(0x26)});
    for (int version : {6, 7}) {
        SwfBuilder b(static_cast<uint8_t>(version));
        b.Actions({script}).Frame();
        std::vector<std::string> want{version >= 7 ? "xundefined" : "x", "12", "3.5"};
        EXPECT_EQ(Traced(b, 1), want) << "version " << version;
    }
}

TEST(ScriptMachine, ACreatedClipRunsItsOnConstructBeforeTheCallReturns) {
    // MovieClip.prototype.onConstruct = function() { trace(this._name); throw "x"; };
    // createEmptyMovieClip("made", 1); trace("after");
    Bytes body = Cat(
        {PushString("this"), Op(0x1c), PushString("_name"), Op(0x4e), Op(0x26), PushString("x"), Op(0x2a)});
    auto script =
        Cat({PushString("MovieClip"), Op(0x1c), PushString("prototype"), Op(0x4e), PushString("onConstruct"),
             DefineFunction("", body), Op(0x4f), PushInt(1), PushString("made"), PushInt(2),
             PushString("createEmptyMovieClip"), Op(0x3d), Op(0x17), PushString("after"), Op(0x26)});
    SwfBuilder b(8);
    b.Actions({script}).Frame();
    std::vector<std::string> want{"made", "Warning: Uncaught exception, x", "after"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, RunawayScriptsAreStoppedAndTheMovieGoesOn) {
    SwfBuilder b(8);
    b.Actions({Cat({PushString("loop"), Op(0x26), Jump(-5)})}).Frame(); // loops on one branch forever
    b.Actions({Cat({DefineFunction("deep", CallFunction("deep")), CallFunction("deep"), PushString("after"),
                    Op(0x26)})})
        .Frame();
    b.Actions({Cat({PushString("third"), Op(0x26), Op(0x07)})}).Frame();
    std::vector<std::string> lines = Traced(b, 3);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "loop");
    // The recursion stops the second frame's script before its trace; the
    // third frame runs as usual.
    EXPECT_EQ(lines.back(), "third");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "after"), 0);
}

TEST(ScriptMachine, AMoviesOwnRecursionBoundHoldsForItsScriptsOnly) {
    // A ScriptLimits tag allowing one level (the running block): the player
    // builds its objects as usual, and the frame's call is what stops.
    SwfBuilder b(8);
    b.Raw(65, {1, 0, 15, 0});
    b.Actions({Cat({PushString("first"), Op(0x26), DefineFunction("f", {}), CallFunction("f"),
                    PushString("after"), Op(0x26)})})
        .Frame();
    b.Actions({Cat({PushString("second"), Op(0x26)})}).Frame();
    std::vector<std::string> want{"first", "second"};
    EXPECT_EQ(Traced(b, 2), want);
}

TEST(ScriptMachine, CallRunsAFramesActionsInPlaceAndItsRecursionIsBounded) {
    auto call = [](const std::string& frame) { return Cat({PushString(frame), Bytes{0x9e, 0, 0}}); };
    SwfBuilder b(6);
    // stop(); call("3"); call("deeper"); call("9"); trace("after" + _currentframe)
    b.Actions({Cat({Op(0x07), call("3"), call("deeper"), call("9"), PushString("after"), PushString(""),
                    PushInt(4), Op(0x22), Op(0x47), Op(0x26)})})
        .Frame();
    b.Actions({Cat({PushString("two"), Op(0x26)})}).Frame();
    b.Label("deeper").Actions({Cat({PushString("three"), Op(0x26), call("3")})}).Frame(); // calls itself
    std::vector<std::string> lines = Traced(b, 2);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "after1");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "two"), 0);
    auto threes = std::count(lines.begin(), lines.end(), "three");
    EXPECT_EQ(threes + 1, static_cast<long>(lines.size()));
    EXPECT_GT(threes, 100);
    EXPECT_LT(threes, 2 * movie::Limits::kMaxCallDepth + 2);
}

TEST(ScriptMachine, CallsThatBranchEveryLevelStopWithTheFramesTime) {
    // Frame 2 traces and calls itself twice: two to the depth bound calls,
    // until the frame's time is up; then the code that called it stops too.
    auto call = [](const std::string& frame) { return Cat({PushString(frame), Bytes{0x9e, 0, 0}}); };
    SwfBuilder b(6);
    b.Actions({Cat({Op(0x07), call("2"), PushString("after"), Op(0x26)})}).Frame();
    b.Actions({Cat({PushString("in"), Op(0x26), call("2"), call("2")})}).Frame();
    std::vector<std::string> lines;
    auto movie = movie::MovieReader::Read(b.Build(), "script.swf");
    movie::Player player(
        movie, [&](const std::string& line) { lines.push_back(line); }, std::chrono::milliseconds(50));
    player.PassFrameTime();
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "after"), 0);
}

TEST(ScriptMachine, Swf4MoviesHaveNoBuiltInClassesAndKeepScalesInFixedPoint) {
    // new Object() a hundred and two times; setProperty("", _xscale, 2); trace(getProperty("", _xscale))
    Bytes script;
    for (int i = 0; i < 102; ++i)
        script = Cat({script, PushInt(0), PushString("Object"), Op(0x40), Op(0x17)});
    script = Cat({script, PushString(""), PushInt(2), PushInt(2), Op(0x23), PushString(""), PushInt(2),
                  Op(0x22), Op(0x26)});
    SwfBuilder b(4);
    b.Actions({script}).Frame();
    std::vector<std::string> lines = Traced(b, 1);
    ASSERT_EQ(lines.size(), 102u);
    EXPECT_EQ(lines[0], "Warning: Object is not a function");
    EXPECT_EQ(lines[99], "Warning: Object is not a function");
    EXPECT_EQ(lines[100], "Warning: Reached warning limit of 100");
    EXPECT_EQ(lines[101], "1.9989013671875"); // 2 % is 1310 / 65536
}

TEST(ScriptMachine, FunctionBodiesAndJumpsThatMissTheirMarkDoNoHarm) {
    Bytes body = Cat({PushString("in f"), Op(0x26)});
    Bytes full = Cat({DefineFunction("f", body), CallFunction("f"), PushString("done"), Op(0x26), Jump(0)});
    const size_t sizeAt = 3 + 2 + 2, jumpAt = full.size() - 2;
    for (int size : {0, 1, 5, int(body.size()), int(full.size()), 0xffff}) {
        for (int jump : {0, -3, -200, 100, 0x7fff}) {
            Bytes bytes = full;
            bytes[sizeAt] = uint8_t(size);
            bytes[sizeAt + 1] = uint8_t(size >> 8);
            bytes[jumpAt] = uint8_t(jump);
            bytes[jumpAt + 1] = uint8_t(uint16_t(jump) >> 8);
            SwfBuilder b(8);
            b.Actions({bytes}).Frame();
            b.Actions({Cat({PushString("next"), Op(0x26), Op(0x07)})}).Frame();
            std::vector<std::string> lines = Traced(b, 2);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), "next") << size << " " << jump;
            if (size == int(body.size()) && jump == 0)
                EXPECT_EQ(lines, (std::vector<std::string>{"in f", "done", "next"}));
        }
    }
}

TEST(ScriptMachine, NumbersFromStringsFollowTheMovieVersion) {
    using movie::script::Vm;
    struct Case {
        const char* text;
        int version;
        double want; // NaN: not a number
    };
    const Case cases[] = {
        {"12abc", 4, 12},      {"12abc", 5, NAN}, {"", 4, 0},      {"", 5, NAN},
        {"010", 5, 10},        {"010", 6, 8},     {"-010", 6, -8}, {" 010", 6, 10},
        {"019", 6, 19},        {"0x10", 5, NAN},  {"0x10", 6, 16}, {"0x-10", 6, -16},
        {"0xFFFFFFFF", 6, -1}, {"0xg", 6, NAN},   {"5 ", 6, NAN},  {"\t\r12", 7, 12},
        {"1e3", 7, 1000},      {"inf", 7, NAN},
    };
    for (const Case& c : cases) {
        double got = Vm::StringToNumber(c.text, c.version);
        if (std::isnan(c.want))
            EXPECT_TRUE(std::isnan(got)) << c.text << " version " << c.version << " gave " << got;
        else
            EXPECT_EQ(got, c.want) << c.text << " version " << c.version;
    }
}

TEST(ScriptMachine, CaselessNamesFoldTheLettersThePlayerKnows) {
    using movie::script::CaselessEqual;
    EXPECT_TRUE(CaselessEqual("clipÄǲ", "CLIPäǱ"));
    EXPECT_TRUE(CaselessEqual("Ӥ", "ӥ"));
    EXPECT_TRUE(CaselessEqual("ΆΣ", "άσ"));
    EXPECT_FALSE(CaselessEqual("Ⱥ", "ⱥ")); // newer letters keep their case
    EXPECT_FALSE(CaselessEqual("ab", "abc"));
    EXPECT_FALSE(CaselessEqual("\xc3", "\xc3\xa4")); // a cut sequence matches only itself
}

} // namespace

TEST(ScriptMachine, FrameScriptsRunWhereTheyStandAndNewerClipsStepFirst) {
    auto sprite = [](const std::string& name) {
        TagList t;
        t.Actions({Cat({PushString(name + "1"), Op(0x26)})}).Frame();
        t.Actions({Cat({PushString(name + "2"), Op(0x26), Op(0x07)})}).Frame();
        return t;
    };
    SwfBuilder b(8);
    b.Sprite(1, sprite("a")).Sprite(2, sprite("b"));
    b.Actions({Cat({PushString("root1"), Op(0x26)})}).Place(1, 1).Place(2, 2);
    b.Actions({Cat({PushString("root1 after"), Op(0x26)})}).Frame();
    b.Actions({Cat({PushString("root2"), Op(0x26), Op(0x07)})}).Frame();
    std::vector<std::string> want{"root1", "a1", "b1", "root1 after", "b2", "a2", "root2"};
    EXPECT_EQ(Traced(b, 2), want);
}

TEST(ScriptMachine, SizingTheMainTimelineWhichHasNoCharacterOfItsOwn) {
    // setProperty("", _width, 100); setProperty("", _height, 50); trace("after")
    SwfBuilder b(7);
    b.Actions({Cat({PushString(""), PushInt(8), PushInt(100), Op(0x23), PushString(""), PushInt(9),
                    PushInt(50), Op(0x23), PushString("after"), Op(0x26)})})
        .Frame();
    EXPECT_EQ(Traced(b, 1), std::vector<std::string>{"after"});
}

TEST(ScriptMachine, CloningAtADepthThatIsNoNumber) {
    // duplicateMovieClip("", "copy", "x") as SWF 4 wrote it, in a later movie; then trace("after")
    SwfBuilder b(7);
    b.Actions({Cat({PushString(""), PushString("copy"), PushString("x"), Op(0x24), PushString("after"),
                    Op(0x26)})})
        .Frame();
    EXPECT_EQ(Traced(b, 1), std::vector<std::string>{"after"});
}

TEST(ScriptMachine, FilterObjectsSetOnAClipReadBackThroughItsFilterRecords) {
    auto member = [](const std::string& name) { return Cat({PushString(name), Op(0x4e)}); };
    auto mc = Cat({PushString("mc"), Op(0x1c)});
    // mc.filters = [new flash.filters.GlowFilter(255, 0.5, 9, 3)];
    auto set = Cat({mc, PushString("filters"), PushInt(3), PushInt(9), PushString("0.5"), PushInt(255),
                    PushInt(4), PushString("flash"), Op(0x1c), member("filters"), PushString("GlowFilter"),
                    Op(0x53), PushInt(1), Op(0x42), Op(0x4f)});
    auto first = Cat({mc, member("filters"), PushInt(0), Op(0x4e)});
    // trace(mc.filters[0].blurX); trace(mc.filters[0].blurY); trace(mc.filters[0].color);
    // trace(mc.filters[0].strength); trace(mc.filters.length)
    auto reads = Cat({first, member("blurX"), Op(0x26), first, member("blurY"), Op(0x26), first,
                      member("color"), Op(0x26), first, member("strength"), Op(0x26), mc, member("filters"),
                      member("length"), Op(0x26)});
    TagList empty;
    empty.Frame();
    SwfBuilder b(8);
    b.Sprite(1, empty).PlaceObject(Placement(1).Character(1).Name("mc"));
    b.Actions({set, reads}).Frame();
    std::vector<std::string> want{"9", "3", "255", "2", "1"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, OpaqueBackgroundAndScrollRectReadBackAsTheyWereSet) {
    auto member = [](const std::string& name) { return Cat({PushString(name), Op(0x4e)}); };
    auto mc = Cat({PushString("mc"), Op(0x1c)});
    auto traceOf = [&](const std::string& name) { return Cat({mc, member(name), Op(0x26)}); };
    // mc.opaqueBackground = 0x123456; mc.scrollRect = {x: 1, y: 2, width: 30, height: -4}
    auto set =
        Cat({mc, PushString("opaqueBackground"), PushInt(0x123456), Op(0x4f), mc, PushString("scrollRect"),
             PushString("x"), PushInt(1), PushString("y"), PushInt(2), PushString("width"), PushInt(30),
             PushString("height"), PushInt(-4), PushInt(4), Op(0x43), Op(0x4f)});
    // Both taken off again by undefined.
    auto unset = Cat({mc, PushString("opaqueBackground"), PushUndefined(), Op(0x4f), mc,
                      PushString("scrollRect"), PushUndefined(), Op(0x4f)});
    TagList empty;
    empty.Frame();
    SwfBuilder b(8);
    b.Sprite(1, empty).PlaceObject(Placement(1).Character(1).Name("mc"));
    b.Actions({traceOf("opaqueBackground"), traceOf("scrollRect"), set, traceOf("opaqueBackground"),
               traceOf("scrollRect"), unset, traceOf("opaqueBackground"), traceOf("scrollRect")})
        .Frame();
    // The rectangle comes back as a flash.geom.Rectangle, a negative size as none.
    std::vector<std::string> want{"undefined", "undefined", "1193046", "(x=1, y=2, w=30, h=0)",
                                  "undefined", "undefined"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, TimersFireInTheOrderTheyFallDueAsTimePasses) {
    // function f() { trace(arguments[0]); }
    auto f = DefineFunction("f", Cat({PushString("arguments"), Op(0x1c), PushInt(0), Op(0x4e), Op(0x26)}));
    auto timer = [](const char* kind, const Bytes& interval, const char* arg) {
        return Cat(
            {PushString(arg), interval, PushString("f"), Op(0x1c), PushInt(3), PushString(kind), Op(0x3d)});
    };
    // setInterval(f, 30, "i"); setTimeout(f, 50, "t"); trace(setInterval(f, undefined, "u"))
    auto script =
        Cat({f, timer("setInterval", PushInt(30), "i"), Op(0x17), timer("setTimeout", PushInt(50), "t"),
             Op(0x17), timer("setInterval", PushUndefined(), "u"), Op(0x26)});
    SwfBuilder b(8, 10); // a frame lasts 100 ms
    b.Actions({script}).Frame();
    // The frame's time passes after it: the interval fires three times in it.
    std::vector<std::string> want{"undefined", "i", "t", "i", "i"};
    EXPECT_EQ(Traced(b, 1), want);
    want.insert(want.end(), {"i", "i", "i"});
    EXPECT_EQ(Traced(b, 2), want);
}

// A main timeline holding clip a, which holds clip b.
SwfBuilder NestedClips(uint8_t version) {
    TagList empty, outer;
    empty.Frame();
    outer.PlaceObject(Placement(1).Character(1).Name("b")).Frame();
    SwfBuilder b(version);
    b.Sprite(1, empty).Sprite(2, outer).PlaceObject(Placement(1).Character(2).Name("a"));
    return b;
}

TEST(ScriptMachine, PathsNameClipsAsThePlayerReadsThemInEachVersion) {
    const char* paths[] = {"/a/b", "a.b", "a/..:a", "//a", "_flash0/a", "a:b", "/a.b", "_level0.a/b"};
    Bytes script;
    for (const char* p : paths)
        script = Cat({script, PushString(p), Op(0x1c), Op(0x26)}); // trace(eval(p))
    // A variable path parts at its last dot or colon; a clip path's dots
    // part names only until its first slash: getProperty(p, _name).
    for (const char* p : {"/a.b", "_level0.a/b"})
        script = Cat({script, PushString(p), PushInt(13), Op(0x22), Op(0x26)});
    std::vector<std::string> want6{"_level0.a.b", "_level0.a.b", "_level0.a", "undefined", "_level0.a",
                                   "_level0.a.b", "_level0.a.b", "undefined", "undefined", "b"};
    SwfBuilder b6 = NestedClips(6);
    b6.Actions({script}).Frame();
    EXPECT_EQ(Traced(b6, 1), want6);
    // SWF 4 paths have no dots and its variables hold no clips.
    std::vector<std::string> want4(8, "undefined");
    want4.insert(want4.end(), {"undefined", "undefined"});
    SwfBuilder b4 = NestedClips(4);
    b4.Actions({script}).Frame();
    EXPECT_EQ(Traced(b4, 1), want4);
}

TEST(ScriptMachine, VariablePathsPartAtTheirLastColonAndSlashesAloneAreNames) {
    auto set = [](const char* name, const char* value) {
        return Cat({PushString(name), PushString(value), Op(0x1d)});
    };
    auto traceEval = [](const char* path) { return Cat({PushString(path), Op(0x1c), Op(0x26)}); };
    // A slash path alone is a variable's name when set, and read back as one
    // before the clip it names; "a::v" is v of "a:"; colons after a slash
    // with no name after them lead nowhere; "this" starts a slash path too.
    auto script =
        Cat({traceEval("a/b"), set("a/b", "named"), traceEval("a/b"), set("a::v", "w"), traceEval("a.v"),
             traceEval("_level0/:a"), traceEval("_level0/::a"), traceEval("this/a:b")});
    SwfBuilder b = NestedClips(6);
    b.Actions({script}).Frame();
    std::vector<std::string> want{"_level0.a.b", "named", "w", "_level0.a", "undefined", "_level0.a.b"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, SetPropertyNamesAndSizesEmptyClipsAsThePlayerDoes) {
    // setProperty("a/b", _name, 0/0); trace(a.getInstanceAtDepth(-16383)._name)
    auto nan = Cat({PushInt(0), PushInt(0), Op(0x0d)});
    auto rename = Cat({PushString("a/b"), PushInt(13), nan, Op(0x23)});
    auto traceName =
        Cat({PushInt(-16383), PushInt(1), PushString("a"), Op(0x1c), PushString("getInstanceAtDepth"),
             Op(0x52), PushString("_name"), Op(0x4e), Op(0x26)});
    for (int version : {6, 7}) {
        SwfBuilder b = NestedClips(static_cast<uint8_t>(version));
        b.Actions({Cat({rename, traceName})}).Frame();
        EXPECT_EQ(Traced(b, 1), std::vector<std::string>{version >= 7 ? "0" : "NaN"})
            << "version " << version;
    }
    // Sizing an empty clip collapses it: what it shows later has no size
    // until it is sized again.
    TagList grows;
    grows.Frame().Place(1, 5).Frame();
    SwfBuilder b(7);
    b.Rectangle(5, 0, 0, 400, 200, {255, 0, 0, 255})
        .Sprite(6, grows)
        .PlaceObject(Placement(1).Character(6).Name("g"));
    auto size = [](int index, int value) {
        return Cat({PushString("g"), PushInt(index), PushInt(value), Op(0x23)});
    };
    auto traceHeight = Cat({PushString("g"), PushInt(9), Op(0x22), Op(0x26)});
    b.Actions({Cat({size(8, 20), traceHeight})}).Frame();
    b.Actions({Cat({traceHeight, size(8, 40), size(9, 5), traceHeight})}).Frame();
    EXPECT_EQ(Traced(b, 2), (std::vector<std::string>{"0", "0", "5"}));
}

TEST(ScriptMachine, ClipsGetOnlyTheEventsOfThePlacementsAllEventFlags) {
    // onClipEvent(load) { trace("load") } onClipEvent(enterFrame) { trace("enterFrame") },
    // with enterFrame alone among the placement's all-event flags.
    auto handler = [](uint8_t event, const std::string& text) {
        Bytes code = Cat({PushString(text), Op(0x26), Op(0)});
        Writer w;
        w.U32(event).U32(static_cast<uint32_t>(code.size())).Append(code);
        return w.Data();
    };
    Writer place;
    place.U8(0x82).U16(1).U16(1).U16(0).U32(0x02);
    place.Append(handler(0x01, "load")).Append(handler(0x02, "enterFrame")).U32(0);
    TagList empty;
    empty.Frame();
    SwfBuilder b(6);
    b.Sprite(1, empty).Raw(26, place.Data()).Frame().Frame();
    EXPECT_EQ(Traced(b, 2), std::vector<std::string>{"enterFrame"});
}

TEST(ScriptMachine, ButtonsAreObjectsOnTheirPathsAndParentsOfWhatTheyShow) {
    // A button named "btn" whose up state shows a sprite tracing its own
    // path, and a video "vid", which is an object on its path too.
    TagList inner;
    inner.Actions({Cat({PushString("this"), Op(0x1c), Op(0x26)})}).Frame();
    Writer button;
    button.U16(2).U8(0).U16(0).U8(0x01).U16(1).U16(1).Matrix(movie::Matrix{});
    button.ColorTransform(256, 256, 256, 256, 0, 0, 0, 0).U8(0);
    SwfBuilder b(8);
    b.Sprite(1, inner).Raw(34, button.Data()).PlaceObject(Placement(1).Character(2).Name("btn"));
    b.Raw(60, Writer().U16(3).U16(1).U16(16).U16(8).U16(0).Data())
        .PlaceObject(Placement(2).Character(3).Name("vid"));
    auto traced = [](const char* expr) { return Cat({PushString(expr), Op(0x1c), Op(0x26)}); };
    b.Actions({Cat({traced("btn"), PushString("btn"), Op(0x1c), Op(0x44), Op(0x26), traced("btn._name"),
                    traced("btn._parent"), traced("vid"), traced("vid._width")})})
        .Frame();
    std::vector<std::string> want{"_level0.btn.instance1", "_level0.btn", "object", "btn", "_level0",
                                  "_level0.vid",           "16"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, AReferenceToARemovedClipReachesTheClipNowAtItsPath) {
    auto clone = Cat({PushString("a"), PushString("c"), PushInt(16385), Op(0x24)}); // duplicate a as c
    auto traceR = Cat({PushString("r"), Op(0x1c), Op(0x26), PushString("r"), Op(0x1c), PushString("_name"),
                       Op(0x4e), Op(0x26)}); // trace(r); trace(r._name)
    auto script = Cat({clone, PushString("r"), PushString("c"), Op(0x1c), Op(0x1d), // r = c
                       PushString("c"), Op(0x25), traceR,                           // removeMovieClip(c)
                       clone, traceR});
    SwfBuilder b = NestedClips(6);
    b.Actions({script}).Frame();
    std::vector<std::string> want{"", "undefined", "_level0.c", "c"};
    EXPECT_EQ(Traced(b, 1), want);
}

// ---- text fields from scripts ----

namespace {

Bytes GetVariable(const std::string& name) {
    return Cat({PushString(name), Op(0x1c)});
}
// obj.name(args...), the result dropped unless `keep`.
Bytes CallMethod(const Bytes& obj, const std::string& name, std::initializer_list<Bytes> args,
                 bool keep = false) {
    Bytes b;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it)
        b = Cat({b, *it});
    return Cat({b, PushInt(static_cast<int32_t>(args.size())), obj, PushString(name), Op(0x52),
                keep ? Bytes{} : Op(0x17)});
}
Bytes SetMember(const Bytes& obj, const std::string& name, const Bytes& value) {
    return Cat({obj, PushString(name), value, Op(0x4f)});
}
Bytes Member(const Bytes& obj, const std::string& name) {
    return Cat({obj, PushString(name), Op(0x4e)});
}
Bytes TraceOf(const Bytes& value) {
    return Cat({value, Op(0x26)});
}

} // namespace

// A field made by a script: its box, text, formats by range and auto size,
// its path, and gone once removed.
TEST(ScriptTextFields, CreatedFieldsTakeTextAndFormatsByRange) {
    const Bytes t = GetVariable("t");
    const Bytes fmt = GetVariable("fmt");
    SwfBuilder b(8);
    b
        .Actions({Cat({
            CallMethod(GetVariable("_root"), "createTextField",
                       {PushString("t"), PushInt(1), PushInt(10), PushInt(20), PushInt(200), PushInt(40)}),
            SetMember(t, "text", PushString("ab\rc")),
            TraceOf(Member(t, "length")),
            TraceOf(Member(t, "_x")),
            TraceOf(Member(t, "_width")),
            // fmt = new TextFormat("_sans", 30, 0xFF0000); t.setTextFormat(1, 3, fmt)
            PushString("fmt"),
            PushInt(0xFF0000),
            PushInt(30),
            PushString("_sans"),
            PushInt(3),
            PushString("TextFormat"),
            Op(0x40),
            Op(0x1d),
            CallMethod(t, "setTextFormat", {PushInt(1), PushInt(3), fmt}),
            TraceOf(Member(CallMethod(t, "getTextFormat", {PushInt(0)}, true), "size")),
            TraceOf(Member(CallMethod(t, "getTextFormat", {PushInt(1), PushInt(3)}, true), "color")),
            TraceOf(Member(CallMethod(t, "getTextFormat", {}, true), "size")),
            SetMember(t, "autoSize", {0x96, 2, 0, 5, 1}), // true
            TraceOf(Member(t, "autoSize")),
            SetMember(t, "_width", PushInt(50)),
            TraceOf(Member(t, "_xscale")),
            TraceOf(t),
            CallMethod(t, "removeTextField", {}),
            TraceOf(Member(GetVariable("_root"), "t")),
        })})
        .Frame();
    std::vector<std::string> want{"4",    "10",   "200", "12",        "16711680",
                                  "null", "left", "100", "_level0.t", "undefined"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, TheStageTellsTheMovieSizeAndReadsItsSettingsAsThePlayerDoes) {
    auto stage = Cat({PushString("Stage"), Op(0x1c)});
    auto get = [&](const char* name) { return Cat({stage, PushString(name), Op(0x4e), Op(0x26)}); };
    auto set = [&](const char* name, const char* v) {
        return Cat({stage, PushString(name), PushString(v), Op(0x4f)});
    };
    SwfBuilder b(8, 24, 6000, 4000);
    b.Actions(
         {Cat({get("width"), get("height"), set("align", "b?tl"), get("align"), set("scaleMode", "NOSCALE"),
               get("scaleMode"), set("scaleMode", "fit"), get("scaleMode")})})
        .Frame();
    std::vector<std::string> want{"300", "200", "LTB", "noScale", "showAll"};
    EXPECT_EQ(Traced(b, 1), want);
}

TEST(ScriptMachine, ASpriteEndingInAFrameWithoutShowFramePlaysItButDoesNotLoop) {
    auto trace = [](const std::string& s) { return Cat({PushString(s), Op(0x26)}); };
    TagList partial; // frame 1, then frame 2's script with no ShowFrame after it
    partial.Actions({trace("p1")}).Frame();
    partial.Actions({trace("p2")});
    TagList whole;
    whole.Actions({trace("w1")}).Frame();
    whole.Actions({trace("w2")}).Frame();
    SwfBuilder b(8);
    b.Sprite(1, partial).Sprite(2, whole).Place(1, 1).Place(2, 2).Frame();
    std::vector<std::string> want{"p1", "w1", "w2", "p2", "w1"};
    EXPECT_EQ(Traced(b, 3), want);
}
