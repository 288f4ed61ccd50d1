#include "movie/TagReader.h"

#include "movie/BitmapDecoder.h"
#include "movie/Limits.h"
#include "movie/MovieError.h"
#include "movie/ShapeReader.h"
#include "movie/SwfCodes.h"
#include "movie/TagNames.h"

#include <algorithm>
#include <cstring>

namespace movie {

namespace {

// Timeline-control actions of one DoAction, in order. Only the constant
// argument of GotoFrame2 is tracked: the value the action just before it
// pushed. Between a SetTarget to another timeline and the SetTarget back,
// control actions aim elsewhere and are dropped.
std::vector<Action> ReadActions(SwfStream& in) {
    std::vector<Action> actions;
    std::vector<std::string> pool;
    struct Pushed {
        bool valid = false;
        bool isString = false;
        double number = 0;
        std::string text;
    } last;
    bool elsewhere = false;
    while (!in.AtEnd()) {
        uint8_t code = in.U8();
        if (code == action::kEnd) break;
        std::span<const uint8_t> payload;
        if (code >= action::kFirstWithPayload) {
            uint16_t len = in.U16();
            payload = in.Bytes(std::min<size_t>(len, in.Remaining()));
        }
        SwfStream p(payload, in.FileOffset() - payload.size());
        Pushed pushed;
        Action a;
        bool control = true;
        switch (code) {
        case action::kStop:
            a.kind = Action::Kind::Stop;
            break;
        case action::kPlay:
            a.kind = Action::Kind::Play;
            break;
        case action::kNextFrame:
            a.kind = Action::Kind::NextFrame;
            break;
        case action::kPreviousFrame:
            a.kind = Action::Kind::PreviousFrame;
            break;
        case action::kGotoFrame:
            a.kind = Action::Kind::GotoFrame;
            a.frame = p.U16();
            break;
        case action::kGotoLabel:
            a.kind = Action::Kind::GotoLabel;
            a.label = p.String();
            break;
        case action::kGotoFrame2: {
            uint8_t flags = p.U8();
            uint32_t bias = (flags & 0x02) && p.Remaining() >= 2 ? p.U16() : 0;
            control = false;
            if (!last.valid) break; // a computed frame: not ours to run
            if (last.isString) {
                a.kind = Action::Kind::GotoLabel;
                a.label = last.text;
                // A label that reads as a number is a frame number.
                if (!a.label.empty() &&
                    std::all_of(a.label.begin(), a.label.end(),
                                [](char ch) { return ch >= '0' && ch <= '9'; }) &&
                    a.label.size() < 9) {
                    a.kind = Action::Kind::GotoFrame2;
                    a.frame = static_cast<uint32_t>(std::max(0L, std::stol(a.label) - 1));
                }
            } else {
                a.kind = Action::Kind::GotoFrame2;
                double n = last.number; // 1-based
                a.frame = n < 1 || n != n ? 0 : n > 1e9 ? 1000000000u : static_cast<uint32_t>(n) - 1;
            }
            if (a.kind == Action::Kind::GotoFrame2) a.frame += bias;
            a.play = flags & 0x01;
            control = true;
            break;
        }
        case action::kConstantPool: {
            pool.clear();
            uint16_t n = p.Remaining() >= 2 ? p.U16() : 0;
            for (uint16_t i = 0; i < n && !p.AtEnd(); ++i)
                pool.push_back(p.String());
            control = false;
            break;
        }
        case action::kPush: // remember the last value pushed
            control = false;
            while (!p.AtEnd()) {
                uint8_t type = p.U8();
                pushed = Pushed{};
                switch (type) {
                case action::push::kString:
                    pushed = {true, true, 0, p.String()};
                    break;
                case action::push::kFloat: {
                    uint32_t bits = p.U32();
                    float f;
                    std::memcpy(&f, &bits, 4);
                    pushed = {true, false, f, {}};
                    break;
                }
                case action::push::kRegister:
                case action::push::kBoolean:
                    p.U8();
                    break;
                case action::push::kDouble: {
                    // Doubles are stored as two little-endian halves, high first.
                    uint64_t hi = p.U32(), lo = p.U32();
                    uint64_t bits = hi << 32 | lo;
                    double d;
                    std::memcpy(&d, &bits, 8);
                    pushed = {true, false, d, {}};
                    break;
                }
                case action::push::kInteger:
                    pushed = {true, false, double(int32_t(p.U32())), {}};
                    break;
                case action::push::kConstant8: {
                    uint8_t i = p.U8();
                    if (i < pool.size()) pushed = {true, true, 0, pool[i]};
                    break;
                }
                case action::push::kConstant16: {
                    uint16_t i = p.U16();
                    if (i < pool.size()) pushed = {true, true, 0, pool[i]};
                    break;
                }
                case action::push::kNull:
                case action::push::kUndefined:
                    break;
                default:
                    p.Skip(p.Remaining());
                    break;
                }
            }
            break;
        case action::kSetTarget:
            elsewhere = !p.String().empty();
            control = false;
            break;
        case action::kSetTarget2: // a computed target
            elsewhere = true;
            control = false;
            break;
        default:
            control = false;
            break;
        }
        last = pushed;
        if (control && !elsewhere) actions.push_back(std::move(a));
    }
    return actions;
}

Filter ReadFilter(SwfStream& in) {
    Filter f;
    uint8_t id = in.U8();
    if (id > 7) in.Fail("unknown filter " + std::to_string(id));
    f.kind = static_cast<FilterKind>(id);
    size_t size = 0;
    switch (f.kind) {
    case FilterKind::DropShadow:
        size = 23;
        break;
    case FilterKind::Blur:
        size = 9;
        break;
    case FilterKind::Glow:
        size = 15;
        break;
    case FilterKind::Bevel:
        size = 27;
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        if (in.AtEnd()) in.Fail("filter cut short");
        size_t colors = in.Data()[in.Position()]; // the colour count leads the filter
        size = 1 + colors * 5 + 19;
        break;
    }
    case FilterKind::Convolution: {
        if (in.Remaining() < 2) in.Fail("filter cut short");
        size_t x = in.Data()[in.Position()], y = in.Data()[in.Position() + 1];
        size = 2 + 4 + 4 + x * y * 4 + 4 + 1;
        break;
    }
    case FilterKind::ColorMatrix:
        size = 80;
        break;
    }
    auto bytes = in.Bytes(size);
    f.data.assign(bytes.begin(), bytes.end());
    return f;
}

std::vector<Filter> ReadFilters(SwfStream& in) {
    std::vector<Filter> filters;
    uint8_t n = in.U8();
    for (uint8_t i = 0; i < n; ++i)
        filters.push_back(ReadFilter(in));
    return filters;
}

SoundFormat ReadSoundFormat(uint8_t bits) {
    SoundFormat f;
    f.codec = bits >> 4;
    f.rateCode = (bits >> 2) & 3;
    f.sixteenBit = bits & 2;
    f.stereo = bits & 1;
    return f;
}

SoundInfo ReadSoundInfo(SwfStream& in) {
    SoundInfo info;
    uint8_t flags = in.U8();
    info.syncStop = flags & 0x20;
    info.noMultiple = flags & 0x10;
    if (flags & 0x01) info.inPoint = in.U32();
    if (flags & 0x02) info.outPoint = in.U32();
    if (flags & 0x04) info.loops = in.U16();
    if (flags & 0x08) {
        uint8_t points = in.U8();
        for (uint8_t i = 0; i < points; ++i) {
            SoundEnvelopePoint p;
            p.position44 = in.U32();
            p.left = in.U16();
            p.right = in.U16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

BlendMode ToBlendMode(uint8_t v) {
    return v >= 2 && v <= 14 ? static_cast<BlendMode>(v) : BlendMode::Normal;
}

} // namespace

void TagReader::ReadMovie() {
    SwfStream in(data_);
    in.Skip(8);
    try {
        movie_.header.stage = in.ReadRect();
        movie_.header.frameRate = in.U16() / 256.0;
        movie_.header.frameCount = in.U16();
    } catch (const StreamError& e) {
        throw MovieError(movie_.fileName, "", e.Offset(), "movie header cut short");
    }
    ReadTimeline(in, movie_.timeline, 0);
}

void TagReader::Warn(const std::string& tag, size_t offset, const std::string& what) {
    if (movie_.warnings.size() < 100)
        movie_.warnings.push_back(tag + " at byte " + std::to_string(offset) + ": " + what);
}

void TagReader::ReadTimeline(SwfStream& in, Timeline& timeline, int nesting) {
    Frame frame;
    bool pending = false; // tags since the last ShowFrame
    bool ended = false;   // by an End tag
    while (!in.AtEnd()) {
        size_t tagAt = in.FileOffset();
        if (in.Remaining() < 2) {
            Warn("tag header", tagAt, "cut short; the rest is ignored");
            break;
        }
        uint16_t head = in.U16();
        uint16_t code = head >> 6;
        size_t length = head & 0x3f;
        if (length == 0x3f) {
            if (in.Remaining() < 4) {
                Warn(TagName(code), tagAt, "header cut short; the rest is ignored");
                break;
            }
            length = in.U32();
        }
        if (length > in.Remaining()) {
            Warn(TagName(code), tagAt,
                 "declares " + std::to_string(length) + " bytes, " + std::to_string(in.Remaining()) +
                     " remain; the rest is ignored");
            break;
        }
        size_t bodyAt = in.FileOffset();
        auto bytes = in.Bytes(length);
        SwfStream body(bytes, bodyAt);
        if (code == tag::kEnd) {
            ended = true;
            break;
        }
        if (code == tag::kShowFrame) {
            PushFrame(timeline, frame, tagAt);
            pending = false;
            continue;
        }
        pending = true;
        try {
            ReadTag(code, body, timeline, frame, nesting);
        } catch (const StreamError& e) {
            throw MovieError(movie_.fileName, TagName(code), e.Offset(), e.what());
        } catch (const BitmapLimitError& e) {
            throw MovieError(movie_.fileName, TagName(code), tagAt, e.what());
        } catch (const BitmapError& e) {
            // The character stays, empty: its placements and names still count.
            Warn(TagName(code), tagAt, std::string(e.what()) + "; the bitmap shows nothing");
            bool defines = code == tag::kDefineBits || code == tag::kDefineBitsJpeg2 ||
                           code == tag::kDefineBitsJpeg3 || code == tag::kDefineBitsJpeg4 ||
                           code == tag::kDefineBitsLossless || code == tag::kDefineBitsLossless2;
            if (defines && bytes.size() >= 2)
                Define(static_cast<uint16_t>(bytes[0] | bytes[1] << 8), Bitmap{});
        }
    }
    // What follows the last ShowFrame is a frame still loading: it plays,
    // but a timeline that never finished loading does not loop.
    bool partial = pending && (!frame.tags.empty() || !frame.actions.empty() || !frame.scripts.empty() ||
                               !frame.initScripts.empty() || !frame.label.empty());
    if (partial) PushFrame(timeline, frame, in.FileOffset());
    timeline.complete = ended && !partial;
    if (timeline.frames.empty()) timeline.frames.emplace_back();
}

void TagReader::PushFrame(Timeline& timeline, Frame& frame, size_t offset) {
    if (timeline.frames.size() >= Limits::kMaxFrames)
        throw MovieError(movie_.fileName, "ShowFrame", offset,
                         "more than " + std::to_string(Limits::kMaxFrames) + " frames");
    if (!frame.label.empty())
        timeline.labels.emplace(frame.label, static_cast<uint32_t>(timeline.frames.size()));
    timeline.frames.push_back(std::move(frame));
    frame = Frame{};
}

void TagReader::Define(uint16_t id, CharacterData data) {
    auto c = std::make_shared<Character>();
    c->id = id;
    c->data = std::move(data);
    movie_.dictionary.Add(std::move(c));
}

void TagReader::AddBitmap(uint16_t id, Bitmap&& bitmap, size_t tagAt, uint16_t code) {
    bitmapPixels_ += uint64_t(bitmap.width) * bitmap.height;
    if (bitmapPixels_ > Limits::kMaxTotalBitmapPixels)
        throw MovieError(movie_.fileName, TagName(code), tagAt,
                         "bitmaps exceed the limit of " + std::to_string(Limits::kMaxTotalBitmapPixels) +
                             " pixels in all");
    Define(id, std::move(bitmap));
}

void TagReader::ReadTag(uint16_t code, SwfStream& in, Timeline& timeline, Frame& frame, int nesting) {
    size_t tagAt = in.FileOffset();
    switch (code) {
    case tag::kDefineShape:
    case tag::kDefineShape2:
    case tag::kDefineShape3:
    case tag::kDefineShape4: {
        int version = code == tag::kDefineShape    ? 1
                      : code == tag::kDefineShape2 ? 2
                      : code == tag::kDefineShape3 ? 3
                                                   : 4;
        uint16_t id = in.U16();
        Define(id, ShapeReader::ReadShape(in, version));
        break;
    }
    case tag::kDefineMorphShape:
    case tag::kDefineMorphShape2: {
        uint16_t id = in.U16();
        Define(id, ShapeReader::ReadMorphShape(in, code == tag::kDefineMorphShape ? 1 : 2));
        break;
    }
    case tag::kJpegTables: {
        auto rest = in.Rest();
        jpegTables_.assign(rest.begin(), rest.end());
        break;
    }
    case tag::kDefineBits: {
        uint16_t id = in.U16();
        AddBitmap(id, BitmapDecoder::DecodeJpeg(jpegTables_, in.Rest()), tagAt, code);
        break;
    }
    case tag::kDefineBitsJpeg2:
    case tag::kDefineBitsJpeg3:
    case tag::kDefineBitsJpeg4: {
        uint16_t id = in.U16();
        size_t imageSize = in.Remaining();
        if (code != tag::kDefineBitsJpeg2) {
            imageSize = in.U32();
            if (code == tag::kDefineBitsJpeg4) in.U16(); // deblocking
            if (imageSize > in.Remaining()) in.Fail("image data runs past the end of the tag");
        }
        auto image = in.Bytes(imageSize);
        bool jpeg = true;
        Bitmap b = BitmapDecoder::DecodeImage(image, &jpeg);
        // A PNG or GIF carries its own transparency; an alpha plane after it is ignored.
        if (code != tag::kDefineBitsJpeg2 && jpeg) BitmapDecoder::ApplyAlpha(b, in.Rest());
        AddBitmap(id, std::move(b), tagAt, code);
        break;
    }
    case tag::kDefineBitsLossless:
    case tag::kDefineBitsLossless2: {
        uint16_t id = in.U16();
        uint8_t format = in.U8();
        uint16_t width = in.U16();
        uint16_t height = in.U16();
        uint32_t tableSize = format == 3 ? in.U8() + 1u : 0;
        AddBitmap(id,
                  BitmapDecoder::DecodeLossless(format, width, height, tableSize,
                                                code == tag::kDefineBitsLossless2, in.Rest()),
                  tagAt, code);
        break;
    }
    case tag::kDefineFont:
        ReadFont1(in);
        break;
    case tag::kDefineFont2:
    case tag::kDefineFont3:
        ReadFont23(in, code == tag::kDefineFont3);
        break;
    case tag::kDefineFontInfo:
    case tag::kDefineFontInfo2:
        ReadFontInfo(in);
        break;
    case tag::kDefineText:
    case tag::kDefineText2:
        ReadText(in, code == tag::kDefineText2);
        break;
    case tag::kDefineEditText:
        ReadEditText(in);
        break;
    case tag::kDefineButton:
    case tag::kDefineButton2:
        ReadButton(in, code == tag::kDefineButton2);
        break;
    case tag::kDefineSprite: {
        if (nesting >= Limits::kMaxSpriteNesting)
            in.Fail("sprites nested more than " + std::to_string(Limits::kMaxSpriteNesting) + " deep");
        uint16_t id = in.U16();
        in.U16(); // frame count: the tags say
        Sprite sprite;
        ReadTimeline(in, sprite.timeline, nesting + 1);
        Define(id, std::move(sprite));
        break;
    }
    case tag::kScriptLimits:
        movie_.maxRecursion = in.U16();
        in.U16(); // seconds a script may run: the saver keeps its own budget
        break;
    case tag::kSetBackgroundColor: {
        RGBA colour = in.ReadRGB();
        if (!backgroundSet_) movie_.background = colour;
        backgroundSet_ = true;
        break;
    }
    case tag::kPlaceObject:
    case tag::kPlaceObject2:
    case tag::kPlaceObject3:
    case tag::kPlaceObject4:
        frame.tags.push_back(ReadPlace(in, code));
        break;
    case tag::kRemoveObject:
        in.U16();
        frame.tags.push_back(RemoveObject{in.U16()});
        break;
    case tag::kRemoveObject2:
        frame.tags.push_back(RemoveObject{in.U16()});
        break;
    case tag::kFrameLabel:
        frame.label = in.String();
        break;
    case tag::kDefineSound: {
        SoundDefinition sound;
        sound.id = in.U16();
        sound.format = ReadSoundFormat(in.U8());
        sound.sampleCount = in.U32();
        auto data = in.Rest();
        sound.data.assign(data.begin(), data.end());
        if (!sound.format.Playable())
            Warn(TagName(code), tagAt,
                 "sound " + std::to_string(sound.id) + " is " + sound.format.CodecName() + "; it is skipped");
        movie_.sounds[sound.id] = std::move(sound);
        break;
    }
    case tag::kStartSound: {
        StartSound start;
        start.soundId = in.U16();
        start.info = ReadSoundInfo(in);
        frame.sounds.push_back(std::move(start));
        break;
    }
    case tag::kSoundStreamHead:
    case tag::kSoundStreamHead2: {
        in.U8(); // the rate the writer advised to play at
        SoundStreamHead head;
        head.format = ReadSoundFormat(in.U8());
        head.samplesPerBlock = in.U16();
        if (!head.format.Playable())
            Warn(TagName(code), tagAt,
                 (nesting ? "a sprite's" : std::string("the movie's")) + " sound stream is " +
                     head.format.CodecName() + "; it is skipped");
        timeline.streamHead = head;
        break;
    }
    case tag::kSoundStreamBlock: {
        auto data = in.Rest();
        if (!frame.streamBlock) frame.streamBlock.emplace();
        frame.streamBlock->insert(frame.streamBlock->end(), data.begin(), data.end());
        break;
    }
    case tag::kDoInitAction: {
        uint16_t sprite = in.U16();
        auto bytes = in.Rest();
        frame.initScripts.emplace_back(
            sprite, std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end()));
        break;
    }
    case tag::kExportAssets: {
        uint16_t count = in.U16();
        for (uint16_t i = 0; i < count && !in.AtEnd(); ++i) {
            uint16_t id = in.U16();
            std::string symbol = in.String();
            movie_.exports[symbol] = id;
            movie_.exportFrames[symbol] = static_cast<uint32_t>(timeline.frames.size());
        }
        break;
    }
    case tag::kDoAction: {
        auto bytes = in.Data().subspan(in.Position());
        frame.scripts.push_back(std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end()));
        frame.scriptAt.push_back(static_cast<uint32_t>(frame.tags.size()));
        auto actions = ReadActions(in);
        frame.actions.insert(frame.actions.end(), actions.begin(), actions.end());
        break;
    }
    case tag::kDefineVideoStream: {
        // Placed and named like any character, though its frames are skipped.
        size_t size = in.Remaining();
        if (size >= 8) {
            uint16_t id = in.U16();
            Video video;
            in.U16(); // frame count
            video.width = in.U16();
            video.height = in.U16();
            Define(id, video);
        }
        Skip(code, size);
        break;
    }
    default:
        Skip(code, in.Remaining());
        break;
    }
}

void TagReader::Skip(uint16_t code, size_t bytes) {
    SkippedTag& s = movie_.skipped[code];
    if (s.name.empty()) s.name = TagName(code);
    ++s.count;
    s.bytes += bytes;
}

PlaceObject TagReader::ReadPlace(SwfStream& in, uint16_t code) {
    PlaceObject p;
    if (code == tag::kPlaceObject) {
        p.characterId = in.U16();
        p.depth = in.U16();
        p.matrix = in.ReadMatrix();
        if (!in.AtEnd()) p.colorTransform = in.ReadColorTransform(false);
        return p;
    }
    uint8_t flags = in.U8();
    uint8_t flags2 = code == tag::kPlaceObject2 ? 0 : in.U8();
    p.depth = in.U16();
    p.move = flags & 0x01;
    if (flags2 & 0x08) in.String(); // class name
    if (flags & 0x02) p.characterId = in.U16();
    if (flags & 0x04) p.matrix = in.ReadMatrix();
    if (flags & 0x08) p.colorTransform = in.ReadColorTransform(true);
    if (flags & 0x10) p.ratio = in.U16();
    if (flags & 0x20) p.name = in.String();
    if (flags & 0x40) p.clipDepth = in.U16();
    if (flags2 & 0x01) p.filters = ReadFilters(in);
    if (flags2 & 0x02) p.blendMode = ToBlendMode(in.U8());
    if (flags2 & 0x04) p.cacheAsBitmap = in.AtEnd() ? true : in.U8() != 0;
    if (flags2 & 0x20) p.visible = in.AtEnd() ? true : in.U8() != 0;
    if (flags2 & 0x40 && in.Remaining() >= 4) p.opaqueBackground = in.ReadRGBA();
    if (flags & 0x80) ReadClipActions(in, p);
    return p;
}

// onClipEvent handlers: reserved word, all-event flags, then records until a
// zero flag word. The flags are 16 bits before SWF 6. A record list that runs
// past the tag keeps the records read whole. The player sends a clip only
// the events of the all-event flags: a record answers those of its own.
void TagReader::ReadClipActions(SwfStream& in, PlaceObject& p) {
    bool wide = movie_.header.version >= 6;
    size_t flagSize = wide ? 4 : 2;
    auto flags = [&] { return wide ? in.U32() : static_cast<uint32_t>(in.U16()); };
    if (in.Remaining() < 2 + flagSize) return;
    in.U16();
    const uint32_t sent = flags();
    while (in.Remaining() >= flagSize) {
        uint32_t events = flags();
        if (events == 0 || in.Remaining() < 4) break;
        uint32_t size = in.U32();
        ClipAction action;
        action.events = events & sent;
        if (events & 0x00020000u && size > 0 && !in.AtEnd()) { // key press carries its key code
            action.keyCode = in.U8();
            --size;
        }
        auto bytes = in.Bytes(std::min<size_t>(size, in.Remaining()));
        action.code = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
        if (action.events) p.clipActions.push_back(std::move(action));
    }
}

void TagReader::ReadFont1(SwfStream& in) {
    uint16_t id = in.U16();
    Font font;
    auto table = in.Rest();
    SwfStream t(table, in.FileOffset() - table.size());
    if (!table.empty()) {
        size_t first = t.U16();
        size_t count = first / 2;
        std::vector<size_t> offsets{first};
        for (size_t i = 1; i < count; ++i)
            offsets.push_back(t.U16());
        offsets.push_back(table.size());
        for (size_t i = 0; i < count; ++i)
            font.glyphs.push_back({GlyphAt(table, t, offsets[i], offsets[i + 1]), 0, 0});
    }
    font.IndexCodes();
    Define(id, std::move(font));
}

Shape TagReader::GlyphAt(std::span<const uint8_t> table, const SwfStream& t, size_t from, size_t to) {
    if (from > to || to > table.size()) t.Fail("glyph offset outside the glyph table");
    SwfStream g(table.subspan(from, to - from), t.FileOffset() - t.Position() + from);
    if (g.AtEnd()) return Shape{};
    return ShapeReader::ReadGlyph(g);
}

void TagReader::ReadFont23(SwfStream& in, bool font3) {
    uint16_t id = in.U16();
    Font font;
    font.emSquare = font3 ? 20480 : 1024;
    uint8_t flags = in.U8();
    font.hasLayout = flags & 0x80;
    bool wideOffsets = flags & 0x08;
    bool wideCodes = flags & 0x04;
    font.italic = flags & 0x02;
    font.bold = flags & 0x01;
    in.U8(); // language
    auto name = in.Bytes(in.U8());
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == 0)
        font.name.pop_back();
    uint16_t count = in.U16();
    size_t tableAt = in.Position();
    auto data = in.Data();
    SwfStream t(data.subspan(tableAt), in.FileOffset());
    std::vector<size_t> offsets;
    for (uint16_t i = 0; i < count; ++i)
        offsets.push_back(wideOffsets ? t.U32() : t.U16());
    size_t codeTable = 0;
    if (count > 0 || t.Remaining() >= (wideOffsets ? 4u : 2u)) codeTable = wideOffsets ? t.U32() : t.U16();
    auto table = data.subspan(tableAt);
    offsets.push_back(count ? codeTable : 0);
    for (uint16_t i = 0; i < count; ++i)
        font.glyphs.push_back({GlyphAt(table, t, offsets[i], offsets[i + 1]), 0, 0});
    if (count > 0) {
        SwfStream c(table.subspan(std::min(codeTable, table.size())), in.FileOffset() + codeTable);
        for (Glyph& g : font.glyphs)
            g.code = wideCodes ? c.U16() : c.U8();
        if (font.hasLayout && c.Remaining() >= 6) {
            font.ascent = c.U16();
            font.descent = c.U16();
            font.leading = c.S16();
            // Advances are unsigned: a glyph can reach 64k units on.
            for (Glyph& g : font.glyphs)
                g.advance = c.AtEnd() ? 0 : c.U16();
            // The glyphs' bounds (not needed), then the kerning pairs. A
            // table cut short keeps the pairs read before the cut.
            try {
                for (size_t i = 0; i < font.glyphs.size(); ++i)
                    c.ReadRect();
                uint16_t pairs = c.AtEnd() ? 0 : c.U16();
                for (uint16_t i = 0; i < pairs; ++i) {
                    KerningPair k;
                    k.left = wideCodes ? c.U16() : c.U8();
                    k.right = wideCodes ? c.U16() : c.U8();
                    k.adjust = c.S16();
                    font.kerning.push_back(k);
                }
            } catch (const StreamError&) {
            }
        }
    }
    font.IndexCodes();
    Define(id, std::move(font));
}

// DefineFontInfo 1-2: the name, style and character codes of a DefineFont
// font. A font id that is not a font is left alone.
void TagReader::ReadFontInfo(SwfStream& in) {
    uint16_t id = in.U16();
    const Font* found = movie_.dictionary.FindAs<Font>(id);
    if (!found) return;
    Font font = *found;
    auto name = in.Bytes(in.U8());
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == 0)
        font.name.pop_back();
    uint8_t flags = in.U8();
    font.italic = flags & 0x04;
    font.bold = flags & 0x02;
    const bool wideCodes = flags & 0x01;
    for (Glyph& g : font.glyphs) {
        if (in.Remaining() < (wideCodes ? 2u : 1u)) break;
        g.code = wideCodes ? in.U16() : in.U8();
    }
    font.IndexCodes();
    Define(id, std::move(font));
}

void TagReader::ReadText(SwfStream& in, bool withAlpha) {
    uint16_t id = in.U16();
    Text text;
    text.bounds = in.ReadRect();
    text.matrix = in.ReadMatrix();
    int glyphBits = in.U8();
    int advanceBits = in.U8();
    if (glyphBits > 32 || advanceBits > 32) in.Fail("glyph or advance bit count above 32");
    TextRecord state;
    int64_t x = 0, y = 0;
    while (!in.AtEnd()) {
        uint8_t flags = in.U8();
        if (flags == 0) break;
        TextRecord r = state;
        r.glyphs.clear();
        if (flags & 0x08) r.fontId = in.U16();
        if (flags & 0x04) r.color = withAlpha ? in.ReadRGBA() : in.ReadRGB();
        if (flags & 0x01) x = in.S16();
        if (flags & 0x02) y = in.S16();
        if (flags & 0x08) r.height = in.U16();
        uint8_t n = in.U8();
        r.x = static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
        r.y = static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
        for (uint8_t i = 0; i < n; ++i) {
            GlyphEntry g;
            g.index = in.Bits(glyphBits == 32 ? 31 : glyphBits);
            g.advance = in.SignedBits(advanceBits == 32 ? 31 : advanceBits);
            x += g.advance;
            r.glyphs.push_back(g);
        }
        in.Align();
        state = r;
        text.records.push_back(std::move(r));
    }
    Define(id, std::move(text));
}

void TagReader::ReadEditText(SwfStream& in) {
    uint16_t id = in.U16();
    EditText e;
    e.bounds = in.ReadRect();
    uint8_t flags = in.U8();
    uint8_t flags2 = in.U8();
    const bool hasText = flags & 0x80;
    e.wordWrap = flags & 0x40;
    e.multiline = flags & 0x20;
    e.password = flags & 0x10;
    e.readOnly = flags & 0x08;
    const bool hasColor = flags & 0x04;
    const bool hasMaxLength = flags & 0x02;
    e.hasFont = flags & 0x01;
    const bool hasFontClass = flags2 & 0x80;
    e.autoSize = flags2 & 0x40;
    const bool hasLayout = flags2 & 0x20;
    e.noSelect = flags2 & 0x10;
    e.border = flags2 & 0x08;
    e.html = flags2 & 0x02;
    e.useOutlines = flags2 & 0x01;
    if (e.hasFont) e.fontId = in.U16();
    if (hasFontClass) e.fontClass = in.String();
    if (e.hasFont || hasFontClass) e.fontHeight = in.U16();
    if (hasColor) e.color = in.ReadRGBA();
    if (hasMaxLength) e.maxLength = in.U16();
    if (hasLayout) {
        uint8_t align = in.U8();
        e.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        e.leftMargin = in.U16();
        e.rightMargin = in.U16();
        e.indent = in.S16();
        e.leading = in.S16();
    }
    e.variableName = in.String();
    if (hasText) e.initialText = in.String();
    Define(id, std::move(e));
}

void TagReader::ReadButton(SwfStream& in, bool button2) {
    uint16_t id = in.U16();
    Button button;
    if (button2) {
        in.U8();  // track as menu
        in.U16(); // offset of the actions
    }
    while (!in.AtEnd()) {
        uint8_t flags = in.U8();
        if (flags == 0) break;
        ButtonRecord r;
        r.up = flags & 0x01;
        r.over = flags & 0x02;
        r.down = flags & 0x04;
        r.hitTest = flags & 0x08;
        r.characterId = in.U16();
        r.depth = in.U16();
        r.matrix = in.ReadMatrix();
        if (button2) {
            r.colorTransform = in.ReadColorTransform(true);
            if (flags & 0x10) r.filters = ReadFilters(in);
            if (flags & 0x20) r.blendMode = ToBlendMode(in.U8());
        }
        button.records.push_back(std::move(r));
    }
    // Button actions and sounds are not used.
    Define(id, std::move(button));
}

} // namespace movie
