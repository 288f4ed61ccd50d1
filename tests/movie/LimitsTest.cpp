// Each limit of movie/Limits.h holds: a file past it is refused with a
// clear error, or (player limits) plays bounded.
#include "SwfBuilder.h"

#include "movie/Limits.h"
#include "movie/MovieError.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"

#include <gtest/gtest.h>

namespace {

using swftest::SwfBuilder;
using swftest::TagList;
using swftest::Writer;
namespace Limits = movie::Limits;

// The message of the error a file raises ("" when it reads).
std::string ErrorOf(const swftest::Bytes& bytes, std::string* tag = nullptr) {
    try {
        movie::MovieReader::Read(bytes, "limit.swf");
    } catch (const movie::MovieError& e) {
        if (tag) *tag = e.Tag();
        return e.what();
    }
    return "";
}

void SetDeclaredLength(swftest::Bytes& file, uint32_t length) {
    for (int i = 0; i < 4; ++i)
        file[4 + i] = static_cast<uint8_t>(length >> (8 * i));
}

TEST(Limits, DeclaredLengthBeyondTheLimitIsRefused) {
    SwfBuilder b;
    b.Frame();
    for (auto container : {swftest::Container::Fws, swftest::Container::Cws, swftest::Container::Zws}) {
        auto file = b.Build(container);
        SetDeclaredLength(file, static_cast<uint32_t>(Limits::kMaxMovieBytes + 1));
        std::string e = ErrorOf(file);
        EXPECT_NE(e.find("limit.swf"), std::string::npos) << e;
        EXPECT_NE(e.find("exceeds the limit of 134217728 bytes"), std::string::npos) << e;
    }
}

TEST(Limits, ACompressedBodyDecompressesNoFurtherThanItsDeclaredLength) {
    // A body of a megabyte of ignorable tags, declared as 1000 bytes.
    SwfBuilder b;
    for (int i = 0; i < 16; ++i)
        b.Raw(77, swftest::Bytes(65536, 'x'));
    b.Frame();
    for (auto container : {swftest::Container::Cws, swftest::Container::Zws}) {
        auto file = b.Build(container);
        SetDeclaredLength(file, 1000);
        auto m = movie::MovieReader::Read(file, "bomb.swf");
        EXPECT_EQ(m->SkippedCount(), 0u) << "not one whole tag fits in 1000 bytes";
        ASSERT_FALSE(m->warnings.empty());
        EXPECT_NE(m->warnings[0].find("Metadata"), std::string::npos) << m->warnings[0];
    }
}

TEST(Limits, BitmapSidesAndPixelCount) {
    auto lossless = [](uint16_t w, uint16_t h) {
        SwfBuilder b;
        b.Raw(36, Writer().U16(1).U8(5).U16(w).U16(h).Append(SwfBuilder::Deflate({0, 0, 0, 0})).Data());
        return b.Build();
    };
    std::string tag;
    std::string side = ErrorOf(lossless(static_cast<uint16_t>(Limits::kMaxBitmapSide + 1), 1), &tag);
    EXPECT_NE(side.find("pixels a side"), std::string::npos) << side;
    EXPECT_EQ(tag, "DefineBitsLossless2");
    std::string count = ErrorOf(lossless(8192, 4096));
    EXPECT_NE(count.find("exceeds the limit of 16777216 pixels"), std::string::npos) << count;
    // Right at the limits it reads (the missing pixel data is transparent).
    auto m = movie::MovieReader::Read(lossless(4096, 4096), "ok.swf");
    const auto* bmp = m->dictionary.FindAs<movie::Bitmap>(1);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->pixels.size(), 4096u * 4096u * 4u);
}

TEST(Limits, TotalBitmapPixels) {
    SwfBuilder b;
    uint64_t each = 4096u * 4096u;
    for (uint16_t id = 1; id <= Limits::kMaxTotalBitmapPixels / each + 1; ++id)
        b.Raw(20, Writer().U16(id).U8(5).U16(4096).U16(4096).Append(SwfBuilder::Deflate({0})).Data());
    std::string e = ErrorOf(b.Build());
    EXPECT_NE(e.find("bitmaps exceed the limit of 67108864 pixels in all"), std::string::npos) << e;
}

TEST(Limits, GradientStops) {
    // DefineMorphShape with 20 stops (its count is a whole byte): the first
    // 15 are kept, the rest read past, so the solid fill after them is read.
    Writer w;
    w.U16(1).Rect(0, 10, 0, 10).Rect(0, 10, 0, 10).U32(0);
    w.U8(2).U8(0x10).Matrix({}).Matrix({}).U8(20);
    for (int i = 0; i < 20; ++i)
        w.U8(i * 12).RGBA({}).U8(i * 12).RGBA({});
    w.U8(0x00).RGBA({1, 2, 3, 255}).RGBA({4, 5, 6, 255});
    w.U8(0).U8(0).U8(0).U8(0); // no lines, no records in either shape
    SwfBuilder b;
    b.Raw(46, w.Data());
    auto m = movie::MovieReader::Read(b.Build(), "morph.swf");
    const auto* morph = m->dictionary.FindAs<movie::MorphShape>(1);
    ASSERT_NE(morph, nullptr);
    ASSERT_EQ(morph->start.groups.size(), 1u);
    const auto& fills = morph->start.groups[0].fills;
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].gradient.stops.size(), Limits::kMaxGradientStops);
    EXPECT_EQ(fills[0].gradient.stops.back().ratio, 14 * 12);
    EXPECT_EQ(fills[1].color.b, 3);
    EXPECT_EQ(morph->end.groups[0].fills[1].color.b, 6);
}

TEST(Limits, ShapeRecords) {
    // Four one-twip edges fill exactly five bytes; repeat them.
    Writer four;
    for (int32_t dx : {-1, 1, -1, 1})
        TagList::Line(four, dx, 0);
    const swftest::Bytes& pattern = four.Data();
    ASSERT_EQ(pattern.size(), 5u);
    auto shape = [&](size_t edges) {
        Writer w;
        w.U16(1).Rect(0, 10, 0, 10).U8(0).U8(0).Bits(0, 4).Bits(0, 4);
        swftest::Bytes body;
        for (size_t i = 0; i < edges / 4; ++i)
            body.insert(body.end(), pattern.begin(), pattern.end());
        w.Append(body);
        for (size_t i = 0; i < edges % 4; ++i)
            TagList::Line(w, 1, 0);
        w.Bits(0, 6);
        SwfBuilder b;
        b.Raw(2, w.Data());
        return b.Build();
    };
    EXPECT_EQ(ErrorOf(shape(Limits::kMaxShapeRecords)), "");
    std::string e = ErrorOf(shape(Limits::kMaxShapeRecords + 1));
    EXPECT_NE(e.find("more than 262144 shape records"), std::string::npos) << e;
}

TEST(Limits, SpriteNesting) {
    auto nested = [](int levels) {
        TagList inner;
        inner.Frame();
        for (int i = 1; i < levels; ++i) {
            TagList outer;
            outer.Sprite(static_cast<uint16_t>(i), inner).Frame();
            inner = outer;
        }
        SwfBuilder b;
        b.Sprite(1000, inner).Frame();
        return b.Build();
    };
    EXPECT_EQ(ErrorOf(nested(Limits::kMaxSpriteNesting)), "");
    std::string e = ErrorOf(nested(Limits::kMaxSpriteNesting + 1));
    EXPECT_NE(e.find("sprites nested more than 8 deep"), std::string::npos) << e;
}

TEST(Limits, FrameCount) {
    auto frames = [](uint32_t n) {
        SwfBuilder b;
        for (uint32_t i = 0; i < n; ++i)
            b.Frame();
        return b.Build();
    };
    EXPECT_EQ(movie::MovieReader::Read(frames(Limits::kMaxFrames), "ok.swf")->timeline.FrameCount(),
              Limits::kMaxFrames);
    std::string tag;
    std::string e = ErrorOf(frames(Limits::kMaxFrames + 1), &tag);
    EXPECT_NE(e.find("more than 16000 frames"), std::string::npos) << e;
    EXPECT_EQ(tag, "ShowFrame");
}

int Depth(const movie::DisplayObjects& list) {
    int d = 0;
    for (const auto& o : list)
        d = std::max(d, 1 + Depth(o.children));
    return d;
}

size_t Count(const movie::DisplayObjects& list) {
    size_t n = list.size();
    for (const auto& o : list)
        n += Count(o.children);
    return n;
}

TEST(Limits, ASpriteThatPlacesItselfStopsAtThePlacementDepth) {
    // The definition is read before the sprite is placed, so the id inside
    // resolves to the sprite itself.
    TagList inner;
    inner.Place(1, 7).Frame();
    SwfBuilder b;
    b.Sprite(7, inner).Place(1, 7).Frame();
    movie::Player p(movie::MovieReader::Read(b.Build(), "self.swf"));
    // The sprite on the main timeline, and the levels below it.
    EXPECT_EQ(Depth(p.DisplayList()), Limits::kMaxPlacementDepth + 1);
    p.Step();
    EXPECT_EQ(Depth(p.DisplayList()), Limits::kMaxPlacementDepth + 1);
}

TEST(Limits, ASpriteThatDoublesItselfStopsAtTheObjectLimit) {
    TagList inner;
    inner.Place(1, 7).Place(2, 7).Frame();
    inner.Frame();
    SwfBuilder b;
    b.Sprite(7, inner).Place(1, 7).Frame();
    movie::Player p(movie::MovieReader::Read(b.Build(), "double.swf"));
    size_t n = Count(p.DisplayList());
    EXPECT_GT(n, Limits::kMaxDisplayObjects / 2);
    EXPECT_LE(n, Limits::kMaxDisplayObjects);
    p.Step();
    p.GotoFrame(0);
    EXPECT_LE(Count(p.DisplayList()), Limits::kMaxDisplayObjects);
}

} // namespace
