// The timeline: placement, replacement, removal, masks, sprites, labels,
// actions, gotos both ways, loop ends and the frame clock.
#include "SwfBuilder.h"

#include "movie/Limits.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"

#include <gtest/gtest.h>

namespace {

using swftest::Placement;
using swftest::SwfBuilder;
using swftest::TagList;
namespace action = swftest::action;

const movie::RGBA kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kGreen{0, 255, 0, 255};

std::shared_ptr<const movie::Movie> Read(const SwfBuilder& b) { return movie::MovieReader::Read(b.Build(), "test.swf"); }

// Depth:characterId pairs of a display list, e.g. "1:10 2:11".
std::string Layout(const movie::DisplayObjects& list) {
    std::string s;
    for (const auto& o : list) s += (s.empty() ? "" : " ") + std::to_string(o.depth) + ":" + std::to_string(o.characterId);
    return s;
}

// Three shapes (10 red, 11 blue, 12 green) defined up front.
SwfBuilder WithShapes() {
    SwfBuilder b;
    b.Rectangle(10, 0, 0, 200, 200, kRed).Rectangle(11, 0, 0, 400, 400, kBlue).Rectangle(12, 0, 0, 100, 100, kGreen);
    return b;
}

// A movie of `n` frames where frame i places shape 10 at depth i+1, so the
// display list tells which frames were applied.
SwfBuilder Counting(int n) {
    SwfBuilder b = WithShapes();
    for (int i = 0; i < n; ++i) b.Place(static_cast<uint16_t>(i + 1), 10).Frame();
    return b;
}

TEST(PlayerDisplayList, PlacesOrdersByDepthMovesReplacesAndRemoves) {
    SwfBuilder b = WithShapes();
    movie::Matrix at{1, 0, 0, 1, 100, 40};
    b.Place(5, 10).PlaceObject(Placement(2).Character(11).At(at).Name("two")).Frame();
    movie::Matrix moved{2, 0, 0, 2, 300, 0};
    b.Move(2, moved).Frame();
    b.Replace(2, 12).Frame(); // new character, same placement
    b.Remove(5).Frame();
    movie::Player p(Read(b));
    p.Stop();
    ASSERT_EQ(p.TotalFrames(), 4);

    EXPECT_EQ(Layout(p.DisplayList()), "2:11 5:10");
    const auto& two = p.DisplayList()[0];
    EXPECT_EQ(two.matrix, at);
    EXPECT_EQ(two.name, "two");
    ASSERT_NE(two.character, nullptr);
    EXPECT_EQ(two.character->Kind(), movie::CharacterKind::Shape);

    p.GotoFrame(1);
    EXPECT_EQ(Layout(p.DisplayList()), "2:11 5:10");
    EXPECT_EQ(p.DisplayList()[0].matrix, moved);

    p.GotoFrame(2);
    EXPECT_EQ(Layout(p.DisplayList()), "2:12 5:10");
    EXPECT_EQ(p.DisplayList()[0].matrix, moved) << "replacement keeps the placement";
    EXPECT_EQ(p.DisplayList()[0].name, "two");

    p.GotoFrame(3);
    EXPECT_EQ(Layout(p.DisplayList()), "2:12");
}

TEST(PlayerDisplayList, ColorTransformRatioAndClipDepthAreKept) {
    SwfBuilder b = WithShapes();
    b.PlaceObject(Placement(1).Character(10).Clip(3));
    b.PlaceObject(Placement(2).Character(11).Tint({128, 256, 256, 64, 10, 0, 0, 0}));
    b.Place(4, 12).Frame();
    movie::Player p(Read(b));
    const auto& list = p.DisplayList();
    ASSERT_EQ(Layout(list), "1:10 2:11 4:12");
    EXPECT_EQ(list[0].clipDepth, 3) << "depth 1 masks depths 2 and 3";
    EXPECT_EQ(list[1].clipDepth, 0);
    EXPECT_FLOAT_EQ(list[1].colorTransform.multR, 0.5f);
    EXPECT_FLOAT_EQ(list[1].colorTransform.multA, 0.25f);
    EXPECT_EQ(list[1].colorTransform.addR, 10);
    EXPECT_TRUE(list[2].colorTransform.IsIdentity());
}

TEST(PlayerDisplayList, PlacementOfAnUnknownCharacterIsIgnored) {
    SwfBuilder b = WithShapes();
    b.Place(1, 99).Place(2, 10).Frame();
    movie::Player p(Read(b));
    EXPECT_EQ(Layout(p.DisplayList()), "2:10");
}

TEST(PlayerClock, AdvanceStepsAtTheFrameRateAndCarriesTheRemainder) {
    movie::Player p(Read(Counting(100)));
    EXPECT_DOUBLE_EQ(p.FrameRate(), 24);
    EXPECT_EQ(p.Advance(0.5), 12);
    EXPECT_EQ(p.CurrentFrame(), 12);
    EXPECT_EQ(p.Advance(0.03), 0);
    EXPECT_EQ(p.Advance(0.02), 1) << "0.05 s together make one step";
    EXPECT_EQ(p.CurrentFrame(), 13);
    EXPECT_EQ(p.Advance(-1), 0);
    EXPECT_EQ(p.Advance(3600), movie::Limits::kMaxStepsPerAdvance) << "a long pause does not replay an hour";
    p.Stop();
    int before = p.CurrentFrame();
    EXPECT_EQ(p.Advance(1), 24) << "the clock runs on while stopped";
    EXPECT_EQ(p.CurrentFrame(), before);
}

TEST(PlayerClock, LoopingReturnsToTheFirstFrameAndNonLoopingStopsOnTheLast) {
    movie::Player looping(Read(Counting(3)));
    looping.Step();
    looping.Step();
    EXPECT_EQ(looping.CurrentFrame(), 2);
    EXPECT_EQ(Layout(looping.DisplayList()), "1:10 2:10 3:10");
    looping.Step();
    EXPECT_EQ(looping.CurrentFrame(), 0);
    EXPECT_EQ(Layout(looping.DisplayList()), "1:10") << "frame 0 rebuilt, later placements gone";
    EXPECT_TRUE(looping.IsPlaying());

    movie::Player once(Read(Counting(3)));
    once.SetLoop(false);
    for (int i = 0; i < 5; ++i) once.Step();
    EXPECT_EQ(once.CurrentFrame(), 2);
    EXPECT_FALSE(once.IsPlaying());
    EXPECT_EQ(Layout(once.DisplayList()), "1:10 2:10 3:10");
}

TEST(PlayerGoto, ForwardsAndBackwardsGiveTheSameListAsPlaying) {
    auto m = Read(Counting(10));
    movie::Player jumper(m);
    jumper.Stop();
    jumper.GotoFrame(7);
    EXPECT_EQ(jumper.CurrentFrame(), 7);
    EXPECT_EQ(jumper.DisplayList().size(), 8u);
    jumper.GotoFrame(3);
    EXPECT_EQ(jumper.CurrentFrame(), 3);
    movie::Player walker(m);
    for (int i = 0; i < 3; ++i) walker.Step();
    EXPECT_EQ(Layout(jumper.DisplayList()), Layout(walker.DisplayList()));
    EXPECT_FALSE(jumper.IsPlaying()) << "goto keeps the play state";

    jumper.GotoFrame(500);
    EXPECT_EQ(jumper.CurrentFrame(), 9) << "beyond the last frame: the last";
    jumper.GotoFrame(-4);
    EXPECT_EQ(jumper.CurrentFrame(), 0) << "below the first: the first";
    EXPECT_EQ(Layout(jumper.DisplayList()), "1:10");

    jumper.Play();
    jumper.GotoFrame(5);
    EXPECT_TRUE(jumper.IsPlaying());
    jumper.Rewind();
    EXPECT_EQ(jumper.CurrentFrame(), 0);
    EXPECT_FALSE(jumper.IsPlaying());
}

TEST(PlayerGoto, WatchdogStepsOneFrameAtATimeBackwardsAndForwards) {
    movie::Player p(Read(Counting(50)));
    p.Stop();
    for (int f = 1; f < 50; ++f) p.GotoFrame(f);
    EXPECT_EQ(p.DisplayList().size(), 50u);
    for (int f = 48; f >= 0; --f) {
        p.GotoFrame(f);
        ASSERT_EQ(p.DisplayList().size(), size_t(f + 1));
    }
}

TEST(PlayerActions, StopHaltsTheMovieAndPlayResumes) {
    SwfBuilder b = Counting(0);
    b.Place(1, 10).Frame();
    b.Place(2, 10).Actions({action::Stop()}).Frame();
    b.Place(3, 10).Frame();
    movie::Player p(Read(b));
    p.Step();
    EXPECT_EQ(p.CurrentFrame(), 1);
    EXPECT_FALSE(p.IsPlaying());
    p.Step();
    p.Step();
    EXPECT_EQ(p.CurrentFrame(), 1);
    p.Play();
    p.Step();
    EXPECT_EQ(p.CurrentFrame(), 2);
}

TEST(PlayerActions, GotoFrameLabelAndGotoFrame2) {
    SwfBuilder b = WithShapes();
    b.Place(1, 10).Frame();                                              // 0
    b.Actions({action::GotoLabel("end")}).Frame();                       // 1: jumps, stops
    b.Place(2, 10).Frame();                                              // 2
    b.Label("end").Place(3, 11).Frame();                                 // 3
    b.Actions({action::GotoFrame(2), action::Play()}).Frame();           // 4: back to 2, plays
    b.Actions({action::GotoFrame2(2, false)}).Frame();                   // 5: to frame 1 (1-based 2)
    b.Actions({action::GotoLabel2("END", true)}).Frame();                // 6: label, any case
    auto m = Read(b);
    ASSERT_EQ(m->timeline.labels.at("end"), 3u);

    movie::Player p(m);
    p.Step(); // enters 1, whose action goes to "end"
    EXPECT_EQ(p.CurrentFrame(), 3);
    EXPECT_FALSE(p.IsPlaying());
    EXPECT_EQ(Layout(p.DisplayList()), "1:10 2:10 3:11") << "frames passed over are applied";

    p.GotoFrame(4); // its actions: back to 2 and play
    EXPECT_EQ(p.CurrentFrame(), 2);
    EXPECT_TRUE(p.IsPlaying());
    EXPECT_EQ(Layout(p.DisplayList()), "1:10 2:10");

    p.Stop();
    p.GotoFrame(5);
    EXPECT_EQ(p.CurrentFrame(), 3) << "5 -> 1 (whose action jumps on to the label)";

    p.GotoFrame(6);
    EXPECT_EQ(p.CurrentFrame(), 3);
    EXPECT_TRUE(p.IsPlaying()) << "GotoFrame2 with the play flag";
}

TEST(PlayerActions, GotoLoopsInScriptsAreBounded) {
    SwfBuilder b = WithShapes();
    b.Place(1, 10).Frame();
    b.Actions({action::GotoFrame(2), action::Play()}).Frame();
    b.Actions({action::GotoFrame(1), action::Play()}).Frame(); // 1 <-> 2 forever
    movie::Player p(Read(b));
    p.Step(); // returns although the two frames jump to each other
    EXPECT_TRUE(p.CurrentFrame() == 1 || p.CurrentFrame() == 2) << p.CurrentFrame();
    EXPECT_TRUE(p.IsPlaying());
    p.GotoFrame(1);
    EXPECT_TRUE(p.CurrentFrame() == 1 || p.CurrentFrame() == 2) << p.CurrentFrame();
}

TEST(PlayerSprites, SpritesLoopTheirOwnTimelineWhileTheMainOneIsStopped) {
    SwfBuilder b = WithShapes();
    TagList inner;
    inner.Place(1, 10).Frame();
    inner.Remove(1).Place(2, 11).Frame();
    inner.Place(3, 12).Frame();
    b.Sprite(20, inner);
    b.Place(1, 20).Actions({action::Stop()}).Frame();
    b.Frame();
    movie::Player p(Read(b));
    ASSERT_EQ(p.DisplayList().size(), 1u);
    const auto& sprite = p.DisplayList()[0];
    ASSERT_NE(sprite.timeline, nullptr);
    EXPECT_EQ(sprite.currentFrame, 0u);
    EXPECT_EQ(Layout(sprite.children), "1:10");
    p.Step();
    EXPECT_EQ(p.CurrentFrame(), 0);
    EXPECT_EQ(p.DisplayList()[0].currentFrame, 1u);
    EXPECT_EQ(Layout(p.DisplayList()[0].children), "2:11");
    p.Step();
    EXPECT_EQ(Layout(p.DisplayList()[0].children), "2:11 3:12");
    p.Step();
    EXPECT_EQ(p.DisplayList()[0].currentFrame, 0u) << "sprites loop";
    EXPECT_EQ(Layout(p.DisplayList()[0].children), "1:10");
}

TEST(PlayerSprites, ASpriteThatStaysPlacedPlaysOnWhenTheMainTimelineLoops) {
    SwfBuilder b = WithShapes();
    TagList inner;
    for (int i = 0; i < 5; ++i) inner.Frame();
    b.Sprite(20, inner);
    b.Place(1, 20).Frame();
    b.Place(2, 20).Frame(); // a second copy, placed by frame 1
    b.Frame();
    movie::Player p(Read(b));
    for (int i = 0; i < 3; ++i) p.Step();
    ASSERT_EQ(p.CurrentFrame(), 0);
    ASSERT_EQ(Layout(p.DisplayList()), "1:20") << "frame 1's copy is gone";
    EXPECT_EQ(p.DisplayList()[0].currentFrame, 3u) << "the copy from frame 0 was not restarted";
    p.GotoFrame(2);
    p.GotoFrame(1);
    EXPECT_EQ(p.DisplayList()[0].currentFrame, 3u);
    EXPECT_EQ(p.DisplayList()[1].currentFrame, 0u);
}

TEST(PlayerSprites, ActionsInASpriteAffectOnlyTheSprite) {
    SwfBuilder b = WithShapes();
    TagList inner;
    inner.Place(1, 10).Frame();
    inner.Place(2, 11).Actions({action::Stop()}).Frame();
    inner.Place(3, 12).Frame();
    b.Sprite(20, inner);
    b.Place(1, 20).Frame();
    b.Frame();
    b.Frame();
    movie::Player p(Read(b));
    for (int i = 0; i < 4; ++i) p.Step();
    EXPECT_TRUE(p.IsPlaying());
    EXPECT_EQ(p.CurrentFrame(), 1);
    const auto& sprite = p.DisplayList()[0];
    EXPECT_EQ(sprite.currentFrame, 1u);
    EXPECT_FALSE(sprite.playing);
    EXPECT_EQ(Layout(sprite.children), "1:10 2:11");
}

TEST(PlayerSprites, ButtonsShowTheirUpState) {
    SwfBuilder b = WithShapes();
    swftest::Writer w;
    movie::Matrix m{};
    w.U16(30).U8(0).U16(0);                               // DefineButton2 head
    w.U8(0x01).U16(10).U16(1).Matrix(m).ColorTransform(256, 256, 256, 256, 0, 0, 0, 0); // up: 10
    w.U8(0x06).U16(11).U16(2).Matrix(m).ColorTransform(256, 256, 256, 256, 0, 0, 0, 0); // over+down: 11
    w.U8(0);
    b.Raw(34, w.Data()).Place(1, 30).Frame();
    movie::Player p(Read(b));
    ASSERT_EQ(p.DisplayList().size(), 1u);
    EXPECT_EQ(Layout(p.DisplayList()[0].children), "1:10");
}

TEST(PlayerSprites, AButtonsSpriteStatesKeepTheirClipsWhenALaterStateIsPlaced) {
    // Two sprites in the up state: placing the second moves the first in
    // memory, and its clip's events (run as the player starts) must find it
    // where it went. A sanitizer build reads freed memory otherwise.
    SwfBuilder b = WithShapes();
    TagList inner;
    inner.Place(1, 10).Frame();
    b.Sprite(20, inner);
    swftest::Writer w;
    movie::Matrix m{};
    w.U16(30).U8(0).U16(0);
    for (uint16_t depth : {2, 1})
        w.U8(0x01).U16(20).U16(depth).Matrix(m).ColorTransform(256, 256, 256, 256, 0, 0, 0, 0);
    w.U8(0);
    b.Raw(34, w.Data()).Place(1, 30).Frame();
    movie::Player p(Read(b));
    p.Step();
    ASSERT_EQ(p.DisplayList().size(), 1u);
    EXPECT_EQ(Layout(p.DisplayList()[0].children), "1:20 2:20");
    for (const auto& state : p.DisplayList()[0].children)
        EXPECT_EQ(Layout(state.children), "1:10");
}

TEST(PlayerMorph, TheShapeFollowsTheRatio) {
    // Morph from a 0..100 square to a 0..300 square, red to blue.
    swftest::Writer w;
    w.U16(40).Rect(0, 100, 0, 100).Rect(0, 300, 0, 300);
    swftest::Writer startEdges, endEdges;
    auto square = [](swftest::Writer& e, int32_t s, bool styles) {
        e.Bits(1, 4).Bits(0, 4);
        int n = swftest::Writer::SBitsFor({0});
        e.Bits(0, 1).Bits(0, 1).Bits(0, 1).Bits(styles ? 1 : 0, 1).Bits(0, 1).Bits(1, 1);
        e.Bits(n, 5).SBits(0, n).SBits(0, n);
        if (styles) e.Bits(1, 1);
        TagList::Line(e, s, 0);
        TagList::Line(e, 0, s);
        TagList::Line(e, -s, 0);
        TagList::Line(e, 0, -s);
        e.Bits(0, 6);
    };
    square(startEdges, 100, true);
    square(endEdges, 300, false);
    swftest::Writer styles;
    styles.U8(1).U8(0).RGBA(kRed).RGBA(kBlue).U8(0);
    const auto& st = styles.Data();
    const auto& se = startEdges.Data();
    w.U32(static_cast<uint32_t>(st.size() + se.size())).Append(st).Append(se).Append(endEdges.Data());
    SwfBuilder b;
    b.Raw(46, w.Data());
    b.PlaceObject(Placement(1).Character(40).Ratio(0)).Frame();
    b.PlaceObject(Placement(1).Move().Ratio(32768)).Frame();
    b.PlaceObject(Placement(1).Move().Ratio(65535)).Frame();
    movie::Player p(Read(b));
    auto corner = [&] { return p.DisplayList()[0].morphed->groups[0].paths[0].segments[1].to; };
    auto fill = [&] { return p.DisplayList()[0].morphed->groups[0].fills[0].color; };
    ASSERT_NE(p.DisplayList()[0].morphed, nullptr);
    EXPECT_EQ(corner(), (movie::Point{100, 100}));
    EXPECT_EQ(fill(), kRed);
    p.Step();
    EXPECT_EQ(p.DisplayList()[0].ratio, 32768);
    EXPECT_EQ(corner(), (movie::Point{200, 200}));
    EXPECT_NEAR(fill().r, 128, 1);
    EXPECT_NEAR(fill().b, 128, 1);
    p.Step();
    EXPECT_EQ(corner(), (movie::Point{300, 300}));
    EXPECT_EQ(fill(), kBlue);
}

} // namespace
